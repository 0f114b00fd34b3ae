#pragma once
// The self-update: compares the core library's file version with the published version file
// and downloads and starts an installer or a patch. Runs on a worker thread and reports to
// the notify window only with WM_KAVO_UPDATEPROGRESS posts.
#include <windows.h>
#include <urlmon.h>

#include "CComObjectImpl.h"
#include "CStringT.h"

struct LiveUpdateVersion {
    WORD major = 0;
    WORD minor = 0;
    WORD third = 0;
    WORD fourth = 0;
    CString text;      // the version token as written
    CString patchUrl;  // empty when the file names none

    ULONGLONG Number() const;
};

// What a newer published version asks for.
enum class LiveUpdateAction { None, Installer, Patch };
LiveUpdateAction ChooseUpdateAction(const LiveUpdateVersion& own, const LiveUpdateVersion& remote);

// Heap-owned: the worker deletes it at its end, so the page that started it may go at any time.
class CLiveUpdate : public CComObjectImpl<CLiveUpdate, CComOwnedLifetime, IBindStatusCallback> {
public:
    CLiveUpdate() = default;
    virtual ~CLiveUpdate() = default;
    CLiveUpdate(const CLiveUpdate&) = delete;
    CLiveUpdate& operator=(const CLiveUpdate&) = delete;

    // Starts a new worker for notifyWindow; waits for its end only when wait is set. Returns 0,
    // or -1 when no thread could be started (then result -1 is posted).
    static int Start(HWND notifyWindow, const char* libraryPath, bool wait);

    // True when token 1 gave a major part other than 0; version holds what was read even then.
    static bool ParseVersionFile(const char* text, LiveUpdateVersion& version);
    // 0.0.0.0 when the file has no version resource.
    static LiveUpdateVersion ReadOwnVersion(const char* path);

    // The worker's whole run; returns the result it posted last.
    int Run();
    // Downloads url to download.tmp beside the library, verifies its signature and starts it
    // with "-v versionText". False when any step fails; a refused program is deleted unrun.
    bool DownloadAndRun(const char* url, const char* versionText, bool wait);

    STDMETHODIMP OnStartBinding(DWORD reserved, IBinding* binding) override;
    STDMETHODIMP GetPriority(LONG* priority) override;
    STDMETHODIMP OnLowResource(DWORD reserved) override;
    STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR statusText) override;
    STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR error) override;
    STDMETHODIMP GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) override;
    STDMETHODIMP OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP OnObjectAvailable(REFIID riid, IUnknown* object) override;

    HWND notifyWindow = nullptr;
    CString libraryPath;

private:
    void Post(WPARAM kind, LPARAM value) const;
    int Finish(int result) const;
    static unsigned __stdcall ThreadMain(void* self);
};
