#pragma once
// Installs the security product on a worker thread: downloads the vendor's package, runs it,
// writes the setup ini and runs the setup. Progress goes to the notify window as
// WM_KAVO_INSTALLPROGRESS messages.
#include <windows.h>
#include <urlmon.h>

#include <atomic>
#include <memory>

#include "CComObjectImpl.h"
#include "CHandle.h"
#include "CStringT.h"
#include "CTraceLog.h"

class CXGInstall : public CComObjectImpl<CXGInstall, CComOwnedLifetime, IBindStatusCallback> {
public:
    enum Flags { FlagCustom = 1, FlagCopyPreparation = 2, FlagInstallFolder = 4 };
    // Step codes: lParam of the final message (wParam 0xFFFF) and the worker's exit code.
    enum Result {
        ResultSuccess = 0,
        ResultDownloadFailed = 1,
        ResultPackageFailed = 2,
        ResultIniFailed = 3,
        ResultPackageRefused = 4,
        ResultSetupFailed = 5,
        ResultSetupStarted = 6,
    };
    // Outlives the installer, so the page may cancel at any time, even after the worker ended.
    using CancelToken = std::shared_ptr<std::atomic<bool>>;

    CXGInstall();
    virtual ~CXGInstall() = default;
    CXGInstall(const CXGInstall&) = delete;
    CXGInstall& operator=(const CXGInstall&) = delete;

    // The object must come from new. Stores the arguments (null texts become empty; an empty
    // serial becomes the installed product's), clears the cancel flag and starts the detached
    // worker. Returns 0 when the worker runs: it then owns the object and deletes it after
    // its last message, so the caller keeps only the cancel token. Nonzero: no thread, the
    // caller still owns the object.
    int Start(HWND notifyWnd, const char* serial, const char* installFolder, const char* extra, int flags);
    CancelToken GetCancelToken() const { return m_cancel; }
    // The installer's own lines go to the file this trace-log pattern names (the page passes
    // its log's pattern); empty, the default, writes none.
    void SetLogPattern(const char* pattern) { m_log.SetPattern(pattern); }

    // Start's argument handling without a thread.
    void SetArguments(HWND notifyWnd, const char* serial, const char* installFolder, const char* extra, int flags);
    // The whole installation on the calling thread; returns the step code.
    int Run();

    // IBindStatusCallback for the package download; the worker, not the count, ends the object.
    STDMETHODIMP OnStartBinding(DWORD reserved, IBinding* binding) override;
    STDMETHODIMP GetPriority(LONG* priority) override;
    STDMETHODIMP OnLowResource(DWORD reserved) override;
    STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR statusText) override;
    STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR error) override;
    STDMETHODIMP GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) override;
    STDMETHODIMP OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP OnObjectAvailable(REFIID riid, IUnknown* object) override;

private:
    static unsigned __stdcall WorkerProc(void* param);
    void Post(WPARAM wParam, LPARAM lParam);
    int Download();
    int VerifyPackage(CHandle& package);
    int RunPackage(CHandle& package);
    int WriteSetupIni();
    int RunSetup();

    CancelToken m_cancel;
    ULONG m_lastPercent = 0;
    CString m_serial;
    CString m_installFolder;
    // Given by the page and kept; no step reads it.
    CString m_extra;
    HWND m_notifyWnd = nullptr;
    int m_flags = 0;
    CTraceLog m_log;
};

// The serial number of an installed product of the vendor; empty when none.
CString GetInstalledProductSerial();
