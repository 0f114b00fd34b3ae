#include "BrowserEvents.h"

#include <cstring>

#include "CComPtr.h"
#include "CScriptedConnectionPoint.h"
#include "ScriptedIids.h"
#include "Text.h"

namespace scripted {

namespace {

// The value behind a by-reference argument, owned for one firing.
class Value {
public:
    Value() { ::VariantInit(&v); }
    ~Value() { ::VariantClear(&v); }
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;

    void Text(const std::string& text)
    {
        v.vt = VT_BSTR;
        v.bstrVal = AllocBstr(text);
    }
    void Long(long number)
    {
        v.vt = VT_I4;
        v.lVal = number;
    }
    void Bytes(const std::string& bytes)
    {
        SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, ULONG(bytes.size()));
        if (!array)
            return;
        void* data = nullptr;
        if (SUCCEEDED(::SafeArrayAccessData(array, &data))) {
            if (!bytes.empty())
                std::memcpy(data, bytes.data(), bytes.size());
            ::SafeArrayUnaccessData(array);
        }
        v.vt = VT_ARRAY | VT_UI1;
        v.parray = array;
    }

    VARIANT v;
};

void ByRef(VARIANT& argument, Value& value)
{
    argument.vt = VT_BYREF | VT_VARIANT;
    argument.pvarVal = &value.v;
}

void ByRefBool(VARIANT& argument, VARIANT_BOOL* flag)
{
    argument.vt = VT_BYREF | VT_BOOL;
    argument.pboolVal = flag;
}

void Dispatch(VARIANT& argument, IDispatch* object)
{
    argument.vt = VT_DISPATCH;
    argument.pdispVal = object;
}

DISPPARAMS Params(VARIANT* arguments, UINT count)
{
    DISPPARAMS params = {};
    params.rgvarg = arguments;
    params.cArgs = count;
    return params;
}

}  // namespace

bool BrowserEvents::BeforeNavigate2(const NavigationRequest& request)
{
    Value url, flags, target, postData, postDataRef, headers;
    url.Text(request.url);
    flags.Long(request.flags);
    target.Text(request.target);
    // The post data comes one reference deeper than the other arguments: the handler's
    // PostData is itself a by-reference variant that holds the byte array (empty without data).
    if (request.hasPostData)
        postData.Bytes(request.postData);
    ByRef(postDataRef.v, postData);
    headers.Text(request.headers);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT arguments[7];
    Dispatch(arguments[6], m_browser);
    ByRef(arguments[5], url);
    ByRef(arguments[4], flags);
    ByRef(arguments[3], target);
    ByRef(arguments[2], postDataRef);
    ByRef(arguments[1], headers);
    ByRefBool(arguments[0], &cancel);
    DISPPARAMS params = Params(arguments, 7);
    m_point.Fire(kDispidBeforeNavigate2, params);
    return cancel != VARIANT_FALSE;
}

bool BrowserEvents::NavigateError(const std::string& url, const std::string& target, long status)
{
    Value address, frame, code;
    address.Text(url);
    frame.Text(target);
    code.Long(status);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT arguments[5];
    Dispatch(arguments[4], m_browser);
    ByRef(arguments[3], address);
    ByRef(arguments[2], frame);
    ByRef(arguments[1], code);
    ByRefBool(arguments[0], &cancel);
    DISPPARAMS params = Params(arguments, 5);
    m_point.Fire(kDispidNavigateError, params);
    return cancel != VARIANT_FALSE;
}

bool BrowserEvents::NewWindow3(const std::string& url, const std::string& context, long flags)
{
    Value address, from;
    address.Text(url);
    from.Text(context);
    // No new browser is made here: whatever a sink offers as the new window is let go.
    CComPtr<IDispatch> window;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT arguments[5];
    arguments[4].vt = VT_BYREF | VT_DISPATCH;
    arguments[4].ppdispVal = &window;
    ByRefBool(arguments[3], &cancel);
    arguments[2].vt = VT_I4;
    arguments[2].lVal = flags;
    arguments[1] = from.v;
    arguments[0] = address.v;
    DISPPARAMS params = Params(arguments, 5);
    m_point.Fire(kDispidNewWindow3, params);
    return cancel != VARIANT_FALSE;
}

void BrowserEvents::DocumentComplete(const std::string& url)
{
    FireWithUrl(kDispidDocumentComplete, url);
}

void BrowserEvents::NavigateComplete2(const std::string& url)
{
    FireWithUrl(kDispidNavigateComplete2, url);
}

void BrowserEvents::FireWithUrl(DISPID id, const std::string& url)
{
    Value address;
    address.Text(url);
    VARIANT arguments[2];
    Dispatch(arguments[1], m_browser);
    ByRef(arguments[0], address);
    DISPPARAMS params = Params(arguments, 2);
    m_point.Fire(id, params);
}

void BrowserEvents::CommandStateChange(long command, bool enable)
{
    VARIANT arguments[2];
    arguments[1].vt = VT_I4;
    arguments[1].lVal = command;
    arguments[0].vt = VT_BOOL;
    arguments[0].boolVal = enable ? VARIANT_TRUE : VARIANT_FALSE;
    DISPPARAMS params = Params(arguments, 2);
    m_point.Fire(kDispidCommandStateChange, params);
}

}  // namespace scripted
