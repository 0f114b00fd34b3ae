#include "CMotdFetcher.h"

#include <shlwapi.h>

#include "CTextDef.h"
#include "KavoMessages.h"
#include "ThreadStart.h"
#include "UrlText.h"

CMotdFetcher::CMotdFetcher() = default;

CMotdFetcher::~CMotdFetcher()
{
    // A fetch still running writes into this object.
    WaitForWorker();
}

void CMotdFetcher::WaitForWorker()
{
    if (m_worker) {
        WaitForSingleObject(m_worker, INFINITE);
        m_worker.Close();
    }
}

int CMotdFetcher::Start(HWND notifyWnd, BOOL wait)
{
    WaitForWorker();
    m_notifyWnd = notifyWnd;
    HANDLE thread = StartThread(&ThreadProc, this);
    if (!thread) {
        // No thread: the fetch has ended empty, and its end is reported all the same.
        if (m_notifyWnd)
            ::PostMessageA(m_notifyWnd, WM_KAVO_REQUESTDONE, 0, reinterpret_cast<LPARAM>(this));
        return 0;
    }
    m_worker.Attach(thread);
    if (wait)
        WaitForWorker();
    return 0;
}

unsigned __stdcall CMotdFetcher::ThreadProc(void* self)
{
    CMotdFetcher* fetcher = static_cast<CMotdFetcher*>(self);
    fetcher->Fetch();
    if (fetcher->m_notifyWnd)
        ::PostMessageA(fetcher->m_notifyWnd, WM_KAVO_REQUESTDONE, 0, reinterpret_cast<LPARAM>(fetcher));
    return 0;
}

void CMotdFetcher::Fetch()
{
    const CString url = CTextDef::GetUrlText("COMMON_URI_MOTD");
    CString text;
    if (FetchUrlText(url, text))
        Parse(text);
}

void CMotdFetcher::Parse(const char* text)
{
    if (!text)
        return;
    bool inHeaders = true;
    const char* line = text;
    while (*line) {
        const char* end = line;
        while (*end && *end != '\n')
            ++end;
        // Runs of LF are one separator: an LF-only empty line is no line at all.
        if (end != line) {
            const CString current(line, int(end - line));
            if (!inHeaders) {
                m_body += current;
                m_body += "\n";
            } else if (current == "\r") {
                inHeaders = false;
            } else if ((current[0] == ' ' || current[0] == '\t') && m_values.GetSize() > 0) {
                CString more = current;
                more.Trim();
                CString& last = m_values[m_values.GetSize() - 1];
                last += "\r\n";
                last += more;
            } else {
                const int colon = current.Find(':');
                if (colon >= 0) {
                    CString name = current.Left(colon);
                    CString value = current.Mid(colon + 1);
                    name.Trim();
                    value.Trim();
                    m_names.Add(name);
                    m_values.Add(value);
                }
            }
        }
        line = *end ? end + 1 : end;
    }
}

CString CMotdFetcher::GetBody() const
{
    return m_body;
}

int CMotdFetcher::GetOpsStatus() const
{
    CString name = CTextDef::GetText("COMMON_NAME_OPSSTATUSFIELD");
    if (name.IsEmpty())
        name = "OPS-Status";
    for (int i = 0; i < m_names.GetSize(); ++i) {
        if (m_names[i] != name)
            continue;
        if (m_values[i].IsEmpty())
            return -1;
        int status = 0;
        return StrToIntExA(m_values[i], STIF_DEFAULT, &status) ? status : -1;
    }
    return -1;
}
