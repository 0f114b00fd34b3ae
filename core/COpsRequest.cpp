#include "COpsRequest.h"

#include <msxml2.h>
#include <shlwapi.h>
#include <wininet.h>

#include <cstring>

#include "CComBSTR.h"
#include "CComPtr.h"
#include "CComVariant.h"
#include "COpsCustomerData.h"
#include "COpsResponse.h"
#include "CPageContext.h"
#include "CSimpleHttpStrStream.h"
#include "CTextDef.h"
#include "CWinInetRequest.h"
#include "CXGInstall.h"
#include "InputChecks.h"
#include "KavoMessages.h"
#include "OpsTiming.h"
#include "OpsTrace.h"
#include "ThreadStart.h"
#include "UrlParts.h"
#include "XmlAnswerText.h"

namespace {

// MSXML's DOMDocument.
const CLSID kDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
// IXMLDOMDocument2, which has the parser's properties.
const IID kDomDocument2 = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const char kFailure[] = "EXG0000";

bool Is(const char* id, const char* wanted)
{
    return id && std::strcmp(id, wanted) == 0;
}

bool IsOrder(const char* id)
{
    return Is(id, "1003") || Is(id, "1004");
}

// The requests that start work on the operator's side and are followed by status requests.
bool StartsWork(const char* id)
{
    return IsOrder(id) || Is(id, "1006");
}

bool IsKept(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           (c != '\0' && std::strchr("!'()*-./:_~", c) != nullptr);
}

// The text of the child (or attribute, "@name") of node; false when there is none.
bool ChildText(IXMLDOMNode* node, const wchar_t* name, CString& out)
{
    CComPtr<IXMLDOMNode> child;
    if (node->selectSingleNode(CComBSTR(name), &child) != S_OK || !child)
        return false;
    CComBSTR value;
    if (FAILED(child->get_text(&value)))
        return false;
    out = static_cast<const wchar_t*>(value ? static_cast<BSTR>(value) : L"");
    return true;
}

template <typename T>
void TakeText(IXMLDOMNode* node, const wchar_t* name, T& target)
{
    CString text;
    if (ChildText(node, name, text))
        target = text;
}

int TakeNumber(IXMLDOMNode* node, const wchar_t* name, int fallback)
{
    CString text;
    return ChildText(node, name, text) ? StrToIntA(text) : fallback;
}

CComPtr<IXMLDOMNodeList> SelectAll(IXMLDOMDocument* document, const wchar_t* path)
{
    CComPtr<IXMLDOMNodeList> list;
    if (document->selectNodes(CComBSTR(path), &list) != S_OK)
        list.Release();
    return list;
}

CComPtr<IXMLDOMNode> Item(IXMLDOMNodeList* list, long index)
{
    CComPtr<IXMLDOMNode> node;
    if (list->get_item(index, &node) != S_OK)
        node.Release();
    return node;
}

long Count(IXMLDOMNodeList* list)
{
    long count = 0;
    if (!list || FAILED(list->get_length(&count)))
        return 0;
    return count;
}

}  // namespace

COpsRequest::COpsRequest(const PcInfoSource* pcInfo)
{
    if (pcInfo)
        m_pcInfo = *pcInfo;
}

COpsRequest::~COpsRequest()
{
    WaitForWorker();
}

void COpsRequest::WaitForWorker()
{
    if (m_worker) {
        WaitForSingleObject(m_worker, INFINITE);
        m_worker.Close();
    }
}

void COpsRequest::SetError(const char* code)
{
    m_context->errorCode = code;
}

int COpsRequest::Run(const char* procId, CPageContext* ctx, BOOL wait)
{
    WaitForWorker();
    m_wait = wait;
    m_context = ctx;
    m_procId = procId;
    if (!ctx || !procId)
        return -1;
    // Nothing of an earlier run may pass for this run's outcome.
    ctx->errorCode.Empty();
    ctx->response.ResultCode.Empty();

    HANDLE thread = StartThread(&OpsRequestThreadProc, this);
    if (!thread) {
        SetError(kFailure);
        // The page waits for the end of a run that does not wait: it is told this one ended.
        if (!wait && IsWindow(ctx->notifyWindow))
            PostMessageA(ctx->notifyWindow, ctx->notifyMessage, WPARAM(-1), reinterpret_cast<LPARAM>(this));
        return -1;
    }
    if (!wait) {
        // The worker owns the context's order-system fields now; nothing here reads them.
        m_worker.Attach(thread);
        return 0;
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return Outcome();
}

int COpsRequest::Outcome() const
{
    const CPageContext& ctx = *m_context;
    if (!ctx.errorCode.IsEmpty() || ctx.response.ResultCode.IsEmpty())
        return -1;
    if (ctx.response.ResultCode == "0000")
        return 0;
    const int code = StrToIntA(ctx.response.ResultCode);
    return code == 0 ? -1 : code;
}

unsigned __stdcall OpsRequestThreadProc(void* request)
{
    const HRESULT com = CoInitialize(nullptr);
    int result = -1;
    try {
        result = static_cast<COpsRequest*>(request)->Send();
    } catch (...) {
        result = -1;
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return unsigned(result);
}

bool COpsRequest::Connect(CWinInetRequest& http, CString& path) const
{
    const CString url = CTextDef::GetText("COMMON_URI_OPS");
    CUrlParts parts;
    if (!SplitUrl(url, parts))
        return false;
    path = parts.path;
    return http.ConnectUrl(parts.host, parts.port, parts.user, parts.password, url);
}

int COpsRequest::Send()
{
    CPageContext& ctx = *m_context;
    try {
        CWinInetRequest http(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
        CString path;
        if (StartsWork(m_procId) && !ctx.GetValue("ops_retry_counter").IsEmpty()) {
            // A retry: the work was ordered before, only its end is waited for.
            PollUntilDone();
        } else if (!Connect(http, path)) {
            SetError(kFailure);
        } else {
            CString body;
            BuildFormBody(body);
            if (PostForm(http, path, m_procId, body) != Exchange::Parsed) {
                SetError(kFailure);
            } else if (ctx.response.ResultCode == "0000" && StartsWork(m_procId)) {
                if (IsOrder(m_procId)) {
                    ctx.customer.selectedSerialIDs.RemoveAll();
                    for (int i = 0; i < ctx.response.serials.GetSize(); ++i)
                        ctx.customer.selectedSerialIDs.Add(ctx.response.serials[i].SerialID);
                    // Without the ordered contract there is nothing whose end could be seen.
                    if (ctx.response.agreements.GetSize() == 0)
                        SetError(kFailure);
                    else
                        ctx.customer.orderedSecurityID = ctx.response.agreements[0].SecurityID;
                }
                if (ctx.errorCode.IsEmpty())
                    PollUntilDone();
            }
        }
    } catch (...) {
        SetError(kFailure);
    }
    // The worker's COM ends after this call.
    m_parser.Release();
    const int result = ctx.errorCode.IsEmpty() ? 0 : -1;
    // After this message the page may delete this object: nothing of it is used afterwards.
    if (!m_wait && IsWindow(ctx.notifyWindow))
        PostMessageA(ctx.notifyWindow, ctx.notifyMessage, WPARAM(-1), reinterpret_cast<LPARAM>(this));
    return result;
}

COpsRequest::Exchange COpsRequest::PostForm(CWinInetRequest& http, const char* path, const char* id,
                                            const CString& body)
{
    CPageContext& ctx = *m_context;
    const BOOL trace = ctx.traceLog.GetOpsTrace() != 0;
    WriteOpsTrace(body, id, trace, TRUE);
    CSimpleHttpStrStream stream;
    const bool posted = http.Post(path, body.GetString(), DWORD(body.GetLength()), &stream);
    const CString received = stream.GetText();
    WriteOpsTrace(received, id, trace, FALSE);
    if (!posted)
        return Exchange::TransportFailed;
    SYSTEMTIME date = {};
    const LONGLONG serverTime = http.QueryDateHeader(HTTP_QUERY_DATE, &date) ? ServerTimeFromDate(date) : ServerTimeNow();
    ctx.response.serverTime = ULONGLONG(serverTime);
    ctx.response.rawText = received;
    return ParseResponse() ? Exchange::Parsed : Exchange::NotParsed;
}

void COpsRequest::PollUntilDone()
{
    if (!StartsWork(m_procId))
        return;
    CPageContext& ctx = *m_context;
    CWinInetRequest http(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
    CString path;
    if (!Connect(http, path)) {
        SetError(kFailure);
        return;
    }
    CString body;
    BuildFormBody(body, "1002");

    const int limit = OpsTimeLimitSeconds(
        CTextDef::GetText("COMMON_CFG_OPS_BUSYTIME_START"), CTextDef::GetText("COMMON_CFG_OPS_BUSYTIME_END"),
        CTextDef::GetText("COMMON_CFG_OPS_TIMEOUT"), CTextDef::GetText("COMMON_CFG_OPS_TIMEOUT2"),
        ServerTimeHhmm(LONGLONG(ctx.response.serverTime)));
    const DWORD interval = OpsPollIntervalMs(CTextDef::GetText("COMMON_CFG_OPS_POLLINGINTERVAL"), limit);
    const DWORD limitMs = DWORD(limit) * 1000;
    const DWORD start = GetTickCount();
    CString timedOut;
    timedOut.Format("EXG%s", m_procId);

    for (;;) {
        Sleep(interval);
        // Each status answer must carry its own ResultCode; the order's "0000" is no answer.
        ctx.response.ResultCode.Empty();
        if (PostForm(http, path, "1002", body) != Exchange::Parsed || ctx.response.ResultCode != "0000") {
            SetError(kFailure);
            return;
        }
        if (Is(m_procId, "1006")) {
            bool found = false;
            for (int i = ctx.response.serials.GetSize() - 1; i >= 0 && !found; --i)
                found = ctx.response.serials[i].SerialID == ctx.customer.SerialID;
            if (!found) {
                SetError(kFailure);
                return;
            }
        }
        if (IsDone())
            return;
        if (DeadlinePassed(start, limitMs, GetTickCount())) {
            SetError(timedOut);
            return;
        }
    }
}

bool COpsRequest::IsDone() const
{
    const COpsResponse& response = m_context->response;
    if (Is(m_procId, "1006")) {
        for (int i = response.serials.GetSize() - 1; i >= 0; --i)
            if (response.serials[i].SerialID == m_context->customer.SerialID)
                return response.serials[i].SerialStatus == 4;
        return false;
    }
    // An answer that does not list the ordered contract yet is not done.
    for (int i = response.agreements.GetSize() - 1; i >= 0; --i)
        if (response.agreements[i].SecurityID == m_context->customer.orderedSecurityID)
            return response.agreements[i].SecurityStatus == "2";
    return false;
}

void COpsRequest::EscapeValue(CString& out, const char* value)
{
    static const char kDigits[] = "0123456789abcdef";
    out.Empty();
    for (const char* p = value ? value : ""; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (IsKept(c)) {
            out += char(c);
        } else {
            const char escaped[] = {'%', kDigits[c >> 4], kDigits[c & 15], '\0'};
            out += escaped;
        }
    }
}

void COpsRequest::BuildFormBody(CString& out, const char* id) const
{
    const char* requestId = id ? id : m_procId;
    const CPageContext& ctx = *m_context;
    const COpsCustomerData& customer = ctx.customer;
    const auto field = [&out](const char* name, const char* value) {
        CString escaped;
        EscapeValue(escaped, value);
        out += name;
        out += escaped;
    };
    const auto isAny = [requestId](std::initializer_list<const char*> ids) {
        for (const char* wanted : ids)
            if (Is(requestId, wanted))
                return true;
        return false;
    };

    out.Empty();
    field("ID=", requestId);
    field("&VeldinCommonID=", customer.VeldinCommonID);
    field("&AccessKey=", customer.AccessKey);
    out += "&CompanyID=J";
    if (isAny({"1005", "1006", "1007", "1009", "1010"}))
        field("&SerialID=", customer.SerialID);
    if (Is(requestId, "1011"))
        field("&SerialID=", customer.SerialID.IsEmpty() ? GetInstalledProductSerial() : customer.SerialID);
    if (isAny({"1005", "1006", "1007"}))
        field("&NickName=", customer.NickName);
    if (isAny({"1005", "1006", "1010"}))
        field("&MailAddressSN=", customer.MailAddressSN);
    if (isAny({"1010", "1011"}))
        field("&GrantGetMailAddress=", customer.GrantGetMailAddress);
    if (!Is(requestId, "1011"))
        return;

    field("&GrantGetPCInfo=", customer.GrantGetPCInfo);
    out += ctx.GetValue("OPTIONAL_FUNCTION") == "ENABLE" ? "&GrantExtraFunction=1" : "&GrantExtraFunction=0";
    if (customer.GrantGetPCInfo != "1") {
        out += "&OsVerInfo=&CpuInfo=&MemInfo=&HddInfo=&IeVerInfo=&KavoVerInfo=&StVerInfo=";
        return;
    }
    const BOOL useDefinitionText = ctx.GetValue("PCINFO_CONTROL") != "STVER_EXISTENT";
    const struct {
        const char* name;
        CString text;
    } texts[] = {
        {"&OsVerInfo=", GetOsInfoText(m_pcInfo)},         {"&CpuInfo=", GetCpuInfoText(m_pcInfo)},
        {"&MemInfo=", GetMemoryInfoText(m_pcInfo)},       {"&HddInfo=", GetDiskInfoText(m_pcInfo)},
        {"&IeVerInfo=", GetIeVersionText(m_pcInfo)},      {"&KavoVerInfo=", GetToolVersionText(m_pcInfo)},
        {"&StVerInfo=", GetStVersionText(useDefinitionText)},
    };
    for (const auto& text : texts) {
        CString clean;
        RemoveProblemDbcsChars(clean, text.text);
        field(text.name, clean);
    }
}

IXMLDOMDocument* COpsRequest::Parser()
{
    if (m_parser)
        return m_parser;
    CComPtr<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(kDomDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                reinterpret_cast<void**>(&document))) ||
        !document)
        return nullptr;
    document->put_async(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_preserveWhiteSpace(VARIANT_TRUE);
    // Where the parser knows it (not every msxml3 does), it refuses DTDs itself too.
    CComPtr<IXMLDOMDocument2> settings;
    if (SUCCEEDED(document->QueryInterface(kDomDocument2, reinterpret_cast<void**>(&settings))) && settings)
        settings->setProperty(CComBSTR(L"ProhibitDTD"), CComVariant(true));
    m_parser = document;
    return m_parser;
}

BOOL COpsRequest::ParseResponse()
{
    CPageContext& ctx = *m_context;
    IXMLDOMDocument* document = Parser();
    if (!document)
        return FALSE;

    CStringW text;
    if (!DecodeXmlAnswer(ctx.response.rawText.GetString(), ctx.response.rawText.GetLength(), text))
        return FALSE;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT hr = document->loadXML(CComBSTR(text.GetString()), &loaded);
    if (hr != S_OK || loaded != VARIANT_TRUE)
        return FALSE;

    COpsResponse& response = ctx.response;
    CComPtr<IXMLDOMNode> base;
    if (document->selectSingleNode(CComBSTR(L"/VeldinSecurityListing/BaseData"), &base) == S_OK && base) {
        TakeText(base, L"ID", response.BaseDataID);
        TakeText(base, L"ResultCode", response.ResultCode);
    }
    CComPtr<IXMLDOMNode> customer;
    if (document->selectSingleNode(CComBSTR(L"/VeldinSecurityListing/CustomerInformation"), &customer) == S_OK &&
        customer) {
        TakeText(customer, L"VeldinCommonID", response.customerInformation.VeldinCommonID);
        ctx.customer.BasicSerialCount = TakeNumber(customer, L"BasicSerialCount", ctx.customer.BasicSerialCount);
        TakeText(customer, L"CustomerName", response.customerInformation.CustomerName);
        TakeText(customer, L"MailAddressAL", response.customerInformation.MailAddressAL);
    }

    response.agreements.RemoveAll();
    CComPtr<IXMLDOMNodeList> agreements = SelectAll(document, L"/VeldinSecurityListing/SecurityAgreement");
    for (long i = 0; i < Count(agreements); ++i) {
        CComPtr<IXMLDOMNode> node = Item(agreements, i);
        if (!node)
            continue;
        COpsAgreement entry;
        TakeText(node, L"@SecurityID", entry.SecurityID);
        TakeText(node, L"@AgreementID", entry.AgreementID);
        TakeText(node, L"SecurityStatus", entry.SecurityStatus);
        TakeText(node, L"DateServiceStart", entry.DateServiceStart);
        response.agreements.Add(entry);
    }

    response.serials.RemoveAll();
    CComPtr<IXMLDOMNodeList> serials = SelectAll(document, L"/VeldinSecurityListing/SecuritySerial");
    for (long i = 0; i < Count(serials); ++i) {
        CComPtr<IXMLDOMNode> node = Item(serials, i);
        if (!node)
            continue;
        COpsSerialInfo entry;
        TakeText(node, L"@SerialID", entry.SerialID);
        TakeText(node, L"NickName", entry.NickName);
        entry.SerialStatus = TakeNumber(node, L"SerialStatus", 0);
        TakeText(node, L"ConstructionEndDate", entry.ConstructionEndDate);
        TakeText(node, L"MailAddressSN", entry.MailAddressSN);
        entry.GrantGetMailAddress = TakeNumber(node, L"GrantGetMailAddress", 0) != 0;
        entry.GrantGetPCInfo = TakeNumber(node, L"GrantGetPCInfo", 0) != 0;
        entry.GrantExtraFunction = TakeNumber(node, L"GrantExtraFunction", 0) != 0;
        TakeText(node, L"OsVerInfo", entry.OsVerInfo);
        TakeText(node, L"MemInfo", entry.MemInfo);
        TakeText(node, L"HddInfo", entry.HddInfo);
        TakeText(node, L"IeVerInfo", entry.IeVerInfo);
        TakeText(node, L"KavoVerInfo", entry.KavoVerInfo);
        TakeText(node, L"StVerInfo", entry.StVerInfo);
        response.serials.Add(entry);
    }
    return TRUE;
}

int SendPcInfoReport(CPageContext* ctx, int mode, const PcInfoSource* pcInfo)
{
    if (!ctx)
        return -1;
    COpsRequest refresh(pcInfo);
    if ((mode == 0 || mode == 2) && refresh.Run("1002", ctx, TRUE) != 0)
        return -1;
    const CString serial = GetInstalledProductSerial();
    if (serial.IsEmpty())
        return 0;
    const COpsSerialInfo* entry = nullptr;
    for (int i = ctx->response.serials.GetSize() - 1; i >= 0 && !entry; --i)
        if (ctx->response.serials[i].SerialID == serial)
            entry = &ctx->response.serials[i];
    if (!entry || !entry->GrantGetPCInfo)
        return 0;

    CPageContext copy;
    copy.customer = ctx->customer;
    copy.traceLog.SetOpsTrace(ctx->traceLog.GetOpsTrace());
    // The consent flags are the installed serial's, so the report goes out under its id.
    copy.customer.SerialID = serial;
    copy.customer.GrantGetPCInfo = "1";
    copy.customer.GrantGetMailAddress = entry->GrantGetMailAddress ? "1" : "0";
    copy.SetValue("OPTIONAL_FUNCTION", entry->GrantExtraFunction ? "ENABLE" : "DISABLE");
    copy.SetValue("PCINFO_CONTROL", "STVER_EXISTENT");
    COpsRequest report(pcInfo);
    report.Run("1011", &copy, TRUE);

    if ((mode == 1 || mode == 2) && refresh.Run("1002", ctx, TRUE) != 0)
        return -1;
    return 0;
}
