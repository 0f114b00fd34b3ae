#pragma once
// One request to the operator's order system: posts the form for a request id to the
// endpoint named by COMMON_URI_OPS on a worker thread, stores the XML answer in the page
// context and, for the requests that start work on the operator's side ("1003", "1004",
// "1006"), asks for the status ("1002") until that work is done or the time limit passes.
//
// A waiting run returns the outcome. A run that does not wait returns at once; its worker
// posts WM_KAVO_REQUESTDONE (wParam -1, lParam this object) to the context's notify window
// when it has ended, and only then may the page read the context's order-system fields.
// A waiting run posts nothing: its caller already has the outcome, and a late message could
// otherwise be taken for the end of another run. The object waits for its worker before it
// is run again or destroyed, so a page may keep it as a member.
#include <windows.h>

#include "CComPtr.h"
#include "CHandle.h"
#include "CStringT.h"
#include "PcInfo.h"

struct CPageContext;
struct IXMLDOMDocument;
class CWinInetRequest;

class COpsRequest {
public:
    // pcInfo: where the PC-information texts of "1011" come from; null means this PC.
    explicit COpsRequest(const PcInfoSource* pcInfo = nullptr);
    ~COpsRequest();
    COpsRequest(const COpsRequest&) = delete;
    COpsRequest& operator=(const COpsRequest&) = delete;

    // procId and ctx must stay valid until the run has ended. With wait: -1 after a failure
    // (the context's error code says which), 0 for ResultCode "0000", else the code's number.
    // Without wait: 0 when the worker runs, -1 (error code "EXG0000") when it cannot start.
    int Run(const char* procId, CPageContext* ctx, BOOL wait);
    // The request itself, on the calling thread: 0, or -1 after a failure.
    int Send();
    // Status requests until the ordered work is done; the error code tells a failure.
    void PollUntilDone();

    // The form for id (null: this run's id) from the context's customer data.
    void BuildFormBody(CString& out, const char* id = nullptr) const;
    static void EscapeValue(CString& out, const char* value);
    // Fills the context's answer fields from its raw response text; FALSE, with nothing
    // changed, when the text does not load as XML.
    BOOL ParseResponse();

    // The context BuildFormBody and ParseResponse use outside a run.
    void SetContext(CPageContext* ctx) { m_context = ctx; }

    const char* GetProcId() const { return m_procId; }
    CPageContext* GetContext() const { return m_context; }

private:
    enum class Exchange { TransportFailed, NotParsed, Parsed };
    // Traces, posts, stores the server time and the raw answer, and parses it.
    Exchange PostForm(CWinInetRequest& http, const char* path, const char* id, const CString& body);
    bool Connect(CWinInetRequest& http, CString& path) const;
    bool IsDone() const;
    int Outcome() const;
    void WaitForWorker();
    void SetError(const char* code);
    // The parser of this run's answers, made on first use by the thread that parses.
    IXMLDOMDocument* Parser();


    BOOL m_wait = FALSE;
    CPageContext* m_context = nullptr;
    const char* m_procId = nullptr;
    PcInfoSource m_pcInfo;
    CHandle m_worker;
    // Kept across the status polls: making and setting up a parser for each answer took
    // most of the worker's processor time. Released by the thread that made it.
    CComPtr<IXMLDOMDocument> m_parser;
};

// Thread entry of a run: COM for the worker, then Send; the exit code is Send's result.
unsigned __stdcall OpsRequestThreadProc(void* request);

// Reports the installed product's PC information ("1011") when its serial allows it. mode
// 0 refreshes the status ("1002") before the report, 1 after it, 2 both. -1 when a refresh
// fails, else 0.
int SendPcInfoReport(CPageContext* ctx, int mode, const PcInfoSource* pcInfo = nullptr);
