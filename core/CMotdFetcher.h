#pragma once
// The notice shown before sign-in: a block of "name: value" header lines, an empty line and a
// body. One header tells whether the order system is open. Fetched on a worker thread.
#include <windows.h>

#include "CHandle.h"
#include "CSimpleArray.h"
#include "CStringT.h"

class CMotdFetcher {
public:
    CMotdFetcher();
    ~CMotdFetcher();
    CMotdFetcher(const CMotdFetcher&) = delete;
    CMotdFetcher& operator=(const CMotdFetcher&) = delete;

    // Fetches COMMON_URI_MOTD on a worker thread that posts WM_KAVO_REQUESTDONE (wParam 0,
    // lParam this) to notifyWnd at its end, success or not; nothing is posted to a null
    // window. With wait, returns when the fetch has ended. Returns 0.
    int Start(HWND notifyWnd, BOOL wait);

    CString GetBody() const;
    // The value of the status header (COMMON_NAME_OPSSTATUSFIELD, else "OPS-Status") as a
    // number; -1 when the header is missing or empty or its value does not start with one.
    int GetOpsStatus() const;

    // Appends the headers and body of a notice text to this fetcher's.
    void Parse(const char* text);

    int GetHeaderCount() const { return m_names.GetSize(); }
    const CString& GetHeaderName(int i) const { return m_names[i]; }
    const CString& GetHeaderValue(int i) const { return m_values[i]; }

private:
    static unsigned __stdcall ThreadProc(void* self);
    void Fetch();
    void WaitForWorker();

    CSimpleArray<CString> m_names;
    CSimpleArray<CString> m_values;
    HWND m_notifyWnd = nullptr;
    CString m_body;
    CHandle m_worker;
};
