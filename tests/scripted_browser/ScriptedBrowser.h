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
// a folder, each document (each Load, each document written with open / write / close, each
// fetched page) is written there as <pid>-<nnnn>.html, that document's style sheets as
// <pid>-<nnnn>.css (the cssText of its sheets in the order they were made, one line break
// between, CP932; rewritten whenever a sheet is added or its cssText changes), and each fired
// event appended to events.txt as "<pid> <nnnn> <event line>", where nnnn is the number of
// that browser's latest written document (0000 before the first) and the event line is as
// Browser::Events gives it. Another process acts on a page with SendCommand.
//
// Event lines (CScriptedBrowser.cpp has the order in which they come, modelled on the real
// control's): "BeforeNavigate2 <url>", "NavigateComplete2 <url>", "DocumentComplete <url>",
// "NavigateError <url> <status>" (HTTP status in decimal, other failures as 0x800C0004
// cannot connect, 0x800C0005 not found or not a loopback address, 0x800C0008 download
// failure, 0x800C000B timeout, 0x800C0014 too many redirects, 0x800C0019 certificate not
// trusted), "NewWindow3 <url>", "CommandStateChange <command> <0|1>" (-1 update commands,
// 1 forward, 2 back; then whether the command is possible). After a redirect, <url> is the
// final address. A navigation's address is fetched over http or https from 127.0.0.0/8 or
// localhost only; over https only the fake server's test certificate, at 127.0.0.1, is trusted.
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
    // The current value of the named input, button or text area, or of the named select's
    // selected option; empty when there is none.
    std::string Value(const char* name) const;
    // Clicks the first submitting element of that name and submits its form.
    bool Submit(const char* inputName);
    // The user's actions of SendCommand's press, pressin, select and type verbs, below; a
    // navigation they lead to starts inside the call. Refused (false) for a missing or
    // disabled element (and a read-only field for Type).
    bool Press(const char* name, int index);
    bool PressIn(const char* field, const char* value, const char* name);
    bool Select(const char* name, const char* value);
    bool Type(const char* name, const char* text);
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

// Sends a command (one line of CP932 bytes) to a browser's "Shell Embedding" window, which
// may be in another process. True when the browser took it; a navigation it leads to runs
// from that browser's message loop, after the answer. Names match an element's name or id.
//   check <name> 0|1          ticks or clears the first input box (checkbox or radio) of
//                             that name; refused when disabled
//   submit <input>            clicks the first submitting element (submit or image input,
//                             submit button) of that name, which submits its form
//   click <href>              follows the first link whose href attribute is <href>
//   navigate <url>            navigates as if the user had typed the address
//   press <name> <index>      clicks the index-th (from 0, document order) element of that
//                             name among inputs of type submit, image, button, reset,
//                             checkbox and radio and <button> elements: a submit or image
//                             input or submit button submits its form, a checkbox toggles, a
//                             radio is chosen, a reset puts its form back
//   pressin <field>=<value> <name>
//                             clicks the element <name> (as press does) inside the form that
//                             holds an input named <field> (hidden ones too) whose value is <value>
//   select <name> <value>     chooses the option with that value in the named <select>
//   type <name> <text>        sets the value of the named text input or text area to the
//                             rest of the line
// Each is refused for a missing or disabled element. A change of state fires
// CommandStateChange(-1); a submission fires the navigation's events.
bool SendCommand(HWND shellEmbedding, const char* command);

}  // namespace scripted
