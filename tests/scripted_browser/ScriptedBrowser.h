#pragma once
// The scripted WebBrowser double, as tests use it.
//
// In a test process: keep a scripted::Registration alive (COM initialised by the test) and
// every CoCreateInstance(CLSID_WebBrowser) of the process gets a scripted browser. Views
// (scripted::Browser) read what a browser did and act on its document as a user would; a
// view holds no reference, and a view of a browser that is gone answers with empty values.
//
// For end-to-end runs of the real programs, KavoScriptedBrowser.dll (beside the programs in
// the build's bin folder) is registered in the prefix's 32-bit machine-wide view, run from /
// so that no reg.exe of ours shadows Wine's:
//   key='HKLM\Software\Classes\CLSID\{8856F961-340A-11D0-A96B-00C04FD705A2}\InprocServer32'
//   cd / && wine reg add "$key" /ve /d "$(winepath -w "$BUILD/bin/KavoScriptedBrowser.dll")" /f /reg:32
//   cd / && wine reg add "$key" /v ThreadingModel /d Apartment /f /reg:32
// (tests/env/wine-env.sh: kavo_register_scripted_browser). With KAVO_SCRIPTED_BROWSER_DIR set to
// a folder, each document (each Load, each fetched page) is written there as <pid>-<nnnn>.html
// and each fired event appended to events.txt as "<pid> <nnnn> <event line>", where nnnn is
// the number of that browser's latest written document (0000 before the first) and the
// event line is as Browser::Events gives it. Another process acts on a page with SendCommand.
//
// Event lines: "BeforeNavigate2 <url>", "DocumentComplete <url>", "NavigateError <url>
// <status>" (HTTP status in decimal, other failures as 0x800C0004 cannot connect or
// 0x800C0005 not found), "NewWindow3 <url>", "CommandStateChange -1 1".
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace scripted {

// Makes CLSID_WebBrowser the scripted browser for this process while it lives.
class Registration {
public:
    Registration();
    ~Registration();
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

    bool ok() const { return m_cookie != 0; }

private:
    DWORD m_cookie = 0;
};

// A view of one browser object, by identity; copying the view copies only that identity.
class Browser {
public:
    Browser() = default;
    explicit Browser(unsigned long id) : m_id(id) {}

    bool Alive() const;
    std::string Html() const;                           // the current document's bytes
    std::vector<std::string> WrittenDocuments() const;  // every Load, in order
    std::vector<std::string> StyleSheets() const;       // cssText of the current document's sheets (CP932)
    std::string LocationUrl() const;
    std::vector<std::string> Events() const;
    HWND Window() const;                                // "Shell Embedding"
    HWND DocumentWindow() const;                        // "Internet Explorer_Server"
    DWORD HostFlags() const;                            // DOCHOSTUIINFO flags the last GetHostInfo gave
    bool RegisteredAsDropTarget() const;
    // Through the document's current UI handler (S_FALSE when it has none): S_OK means the host
    // showed or suppressed the menu itself.
    HRESULT ShowContextMenu();
    HRESULT TranslateAccelerator(const MSG& message);

    // As a user's click: refused for a disabled or missing box; CommandStateChange on a change.
    bool SetChecked(const char* name, bool checked);
    bool IsChecked(const char* name) const;
    bool IsDisabled(const char* name) const;
    // Clicks that image or submit input and submits its form.
    bool Submit(const char* inputName);
    bool ClickLink(const char* href);
    int WheelMessages() const;  // WM_MOUSEWHEEL that reached the document window's own procedure
    bool Idle() const;          // nothing left for the message loop to finish

    unsigned long Id() const { return m_id; }

private:
    unsigned long m_id = 0;
};

std::vector<Browser> Browsers();  // live ones, in creation order
Browser Latest();                 // the newest live one (an empty view when there is none)
// Browsers, documents, elements, collections and style sheets alive in this process.
long LiveObjects();
// Pumps the thread's messages until done() or the timeout; done() is checked first.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
bool PumpUntilIdle(DWORD timeoutMs);

// Sends command ("check <name> 0|1", "submit <input>", "click <href>", "navigate <url>") to
// a browser's "Shell Embedding" window, which may be in another process. True when the
// browser took it; a navigation it starts runs from that browser's message loop.
bool SendCommand(HWND shellEmbedding, const char* command);

}  // namespace scripted
