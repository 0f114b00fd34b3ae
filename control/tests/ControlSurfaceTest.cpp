// The control as a page meets it: created by its class id in a hosting window, scripted by
// name, asked for its safety, error and connection answers; and its defaults and stored
// texts, read from the state block of the test's own copy of the class.
#include <windows.h>
#include <commctrl.h>
#include <objsafe.h>

#include <vector>

#include "AxPevlinResource.h"
#include "CComObjectImpl.h"
#include "ControlTestSupport.h"
#include "Cpevlin.h"
#include "PevlinObject.h"

namespace {

// The built library, registered in the prefix for the suite.
class HostedControl : public ComApartment {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(RunRegsvr32("/s"), 0u); }
    static void TearDownTestSuite() { EXPECT_EQ(RunRegsvr32("/u /s"), 0u); }
};

TEST_F(HostedControl, PanelIsActiveInItsHostWithStatusClearedAndButtonsHidden)
{
    ControlHost host;
    ASSERT_NE(host.Dispatch(), nullptr);
    HWND panel = host.Panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(Shown(panel));
    EXPECT_TRUE(GetWindowLongA(panel, GWL_STYLE) & WS_CHILD);

    char text[256] = {};
    GetDlgItemTextA(panel, IDC_PEVLIN_STATUS, text, sizeof text);
    EXPECT_STREQ(text, "");
    for (int hidden : {IDC_PEVLIN_ABORT, IDC_PEVLIN_CHOOSER_FRAME, IDC_PEVLIN_CHOOSER_TEXT, IDC_PEVLIN_PROFILES,
                       IDC_PEVLIN_CONNECT})
        EXPECT_FALSE(Shown(GetDlgItem(panel, hidden))) << hidden;
    EXPECT_TRUE(Shown(GetDlgItem(panel, IDC_PEVLIN_PROGRESS)));
    PBRANGE range = {};
    SendDlgItemMessageA(panel, IDC_PEVLIN_PROGRESS, PBM_GETRANGE, FALSE, LPARAM(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    GetDlgItemTextA(panel, IDC_PEVLIN_CONNECT, text, sizeof text);
    EXPECT_STREQ(text, "接続");
    GetDlgItemTextA(panel, IDC_PEVLIN_ABORT, text, sizeof text);
    EXPECT_STREQ(text, "中断");
}

TEST_F(HostedControl, ScriptSetsPropertiesCallsMethodsAndReadsResultsByName)
{
    ControlHost host;
    IDispatch* control = host.Dispatch();
    ASSERT_NE(control, nullptr);

    struct Put {
        const wchar_t* name;
        CComVariant value;
    };
    const Put puts[] = {
        {L"CheckURL", CComVariant(L"http://127.0.0.1:1/check.html")},
        {L"LogPath", CComVariant(L"C:\\logs")},
        {L"CompanyCode", CComVariant(L"KELM")},
        {L"RetryV6", CComVariant(2)},
        {L"RetryNB", CComVariant(-1)},
        {L"RetryNA1", CComVariant(3)},
        {L"Enabled", CComVariant(true)},
    };
    for (const Put& put : puts) {
        CComVariant value(put.value);
        EXPECT_EQ(CallByName(control, put.name, DISPATCH_PROPERTYPUT, &value), S_OK) << Narrow(put.name);
    }

    struct Get {
        const wchar_t* name;
        VARTYPE type;
        LONG value;
    };
    const Get gets[] = {{L"Version", VT_I4, 5}, {L"RtnCode", VT_I4, 0}, {L"Enabled", VT_BOOL, VARIANT_TRUE}};
    for (const Get& get : gets) {
        CComVariant result;
        ASSERT_EQ(CallByName(control, get.name, DISPATCH_PROPERTYGET, nullptr, &result), S_OK) << Narrow(get.name);
        ASSERT_EQ(result.vt, get.type) << Narrow(get.name);
        EXPECT_EQ(get.type == VT_BOOL ? LONG(result.boolVal) : result.lVal, get.value) << Narrow(get.name);
    }

    // The methods run real diagnostics, which only the worker tests may start (beside their
    // fakes); here each name must be known to the dispatch interface.
    for (const wchar_t* method : {L"ExecuteLSQ", L"ExecuteISP", L"ExecuteV6TR", L"ExecuteVELDIN"}) {
        DISPID id = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(method)};
        EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << Narrow(method);
    }

    CComVariant unused;
    EXPECT_EQ(CallByName(control, L"CheckURL", DISPATCH_PROPERTYGET, nullptr, &unused), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(CallByName(control, L"NoSuchMember", DISPATCH_METHOD), DISP_E_UNKNOWNNAME);
}

TEST_F(HostedControl, GettersRefuseANullOutPointer)
{
    ControlHost host;
    CComPtr<Ipevlin> control;
    ASSERT_NE(host.Dispatch(), nullptr);
    ASSERT_EQ(host.Dispatch()->QueryInterface(kIidIpevlin, reinterpret_cast<void**>(&control)), S_OK);
    EXPECT_EQ(control->get_RtnCode(nullptr), E_POINTER);
    EXPECT_EQ(control->get_Version(nullptr), E_POINTER);
    EXPECT_EQ(control->get_Enabled(nullptr), E_POINTER);
}

TEST_F(HostedControl, ObjectSafetyOffersTheUntrustedCallerOptionOnly)
{
    ControlHost host;
    CComPtr<IObjectSafety> safety;
    ASSERT_NE(host.Dispatch(), nullptr);
    ASSERT_EQ(host.Dispatch()->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety)), S_OK);

    DWORD supported = 0;
    DWORD enabled = 0;
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, DWORD(INTERFACESAFE_FOR_UNTRUSTED_CALLER));
    EXPECT_EQ(enabled, 0u);

    struct Request {
        IID iid;
        DWORD mask;
        HRESULT answer;
    };
    const Request requests[] = {
        {IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER, S_OK},
        {IID_IPersistStreamInit, INTERFACESAFE_FOR_UNTRUSTED_DATA, E_FAIL},
        {IID_IPersistStreamInit, INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA, E_FAIL},
        {IID_IClassFactory, INTERFACESAFE_FOR_UNTRUSTED_CALLER, E_NOINTERFACE},
    };
    for (const Request& request : requests)
        EXPECT_EQ(safety->SetInterfaceSafetyOptions(request.iid, request.mask, request.mask), request.answer)
            << request.mask;
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(enabled, DWORD(INTERFACESAFE_FOR_UNTRUSTED_CALLER));
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IClassFactory, &supported, &enabled), E_NOINTERFACE);
}

// Records the property changes it is told of.
class ChangeSink final : public CComObjectImpl<ChangeSink, CComOwnedLifetime, IPropertyNotifySink> {
public:
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override
    {
        changed.push_back(id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

    std::vector<DISPID> changed;
};

TEST_F(HostedControl, ErrorInfoClassInfoAndConnectionPointsAnswerForTheirInterfacesOnly)
{
    ControlHost host;
    IDispatch* control = host.Dispatch();
    ASSERT_NE(control, nullptr);

    CComPtr<ISupportErrorInfo> errors;
    ASSERT_EQ(control->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&errors)), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(kIidIpevlin), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);

    CComPtr<IProvideClassInfo2> classInfo;
    ASSERT_EQ(control->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&classInfo)), S_OK);
    GUID source = GUID_NULL;
    ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_TRUE(IsEqualGUID(source, kDiidIpevlinEvents));
    CComPtr<ITypeInfo> coclass;
    ASSERT_EQ(classInfo->GetClassInfo(&coclass), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, kClsidPevlin));
    coclass->ReleaseTypeAttr(attributes);

    CComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)), S_OK);
    CComPtr<IConnectionPoint> events;
    EXPECT_EQ(points->FindConnectionPoint(kDiidIpevlinEvents, &events), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(events, nullptr);
    CComPtr<IConnectionPoint> changes;
    ASSERT_EQ(points->FindConnectionPoint(IID_IPropertyNotifySink, &changes), S_OK);
    ChangeSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(changes->Advise(&sink, &cookie), S_OK);
    CComVariant enabled(true);
    ASSERT_EQ(CallByName(control, L"Enabled", DISPATCH_PROPERTYPUT, &enabled), S_OK);
    EXPECT_EQ(sink.changed, std::vector<DISPID>{DISPID_ENABLED});
    CComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    EXPECT_EQ(changes->Unadvise(cookie), S_OK);
    EXPECT_EQ(changes->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(sink.OutstandingReferences(), 0);
}

TEST_F(PevlinObject, NewControlHoldsThePropertyDefaults)
{
    const PevlinState& state = m_control->State();
    EXPECT_EQ(std::string(state.CheckURL).rfind("http://", 0), 0u) << state.CheckURL.GetString();
    const std::string url = state.CheckURL.GetString();
    const std::string page = "/contents/security/kavo/ipv6/connect_k.html";
    ASSERT_GT(url.size(), page.size());
    EXPECT_EQ(url.substr(url.size() - page.size()), page);
    EXPECT_STREQ(state.LogPath, ".\\support");
    EXPECT_STREQ(state.CompanyCode, "JARO");
    EXPECT_EQ(state.RetryV6, 0);
    EXPECT_EQ(state.RetryNB, 0);
    EXPECT_EQ(state.RetryNA1, 7);
    EXPECT_EQ(state.RtnCode, 0);
    VARIANT_BOOL enabled = VARIANT_TRUE;
    ASSERT_EQ(m_control->get_Enabled(&enabled), S_OK);
    EXPECT_EQ(enabled, VARIANT_FALSE);
}

TEST_F(PevlinObject, SettersStoreTextInTheThreadCodePageAndNumbersUnchanged)
{
    struct TextCase {
        const wchar_t* text;  // null: a null BSTR
        const char* stored;
    };
    const TextCase cases[] = {
        {L"KELM", "KELM"},
        {L"C:\\ルミオ\\log", "C:\\ルミオ\\log"},
        {L"", ""},
        {nullptr, ""},
    };
    for (const TextCase& one : cases) {
        BSTR text = one.text ? SysAllocString(one.text) : nullptr;
        EXPECT_EQ(m_control->put_CheckURL(text), S_OK);
        EXPECT_EQ(m_control->put_LogPath(text), S_OK);
        EXPECT_EQ(m_control->put_CompanyCode(text), S_OK);
        SysFreeString(text);
        const PevlinState& state = m_control->State();
        EXPECT_STREQ(state.CheckURL, one.stored);
        EXPECT_STREQ(state.LogPath, one.stored);
        EXPECT_STREQ(state.CompanyCode, one.stored);
    }

    for (LONG value : {LONG(-5), LONG(0), LONG(100000)}) {
        EXPECT_EQ(m_control->put_RetryV6(value), S_OK);
        EXPECT_EQ(m_control->put_RetryNB(value + 1), S_OK);
        EXPECT_EQ(m_control->put_RetryNA1(value + 2), S_OK);
        EXPECT_EQ(m_control->State().RetryV6, value);
        EXPECT_EQ(m_control->State().RetryNB, value + 1);
        EXPECT_EQ(m_control->State().RetryNA1, value + 2);
    }
}

TEST_F(PevlinObject, ConnectionPointsEnumerateTheirOnePointWithSkipResetAndClone)
{
    CComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(m_control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
    CComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(&points), S_OK);
    ASSERT_NE(points, nullptr);

    IConnectionPoint* got[2] = {};
    ULONG fetched = 5;
    ASSERT_EQ(points->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(got[1], nullptr);
    IID iid = GUID_NULL;
    EXPECT_EQ(got[0]->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualGUID(iid, IID_IPropertyNotifySink));
    CComPtr<IConnectionPoint> found;
    ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &found), S_OK);
    EXPECT_EQ(got[0], found);
    got[0]->Release();

    IConnectionPoint* none = nullptr;
    EXPECT_EQ(points->Next(1, &none, nullptr), S_FALSE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(points->Next(2, got, nullptr), E_POINTER);
    EXPECT_EQ(points->Skip(1), S_FALSE);
    EXPECT_EQ(points->Reset(), S_OK);

    CComPtr<IEnumConnectionPoints> atStart;
    ASSERT_EQ(points->Clone(&atStart), S_OK);
    EXPECT_EQ(points->Skip(1), S_OK);
    EXPECT_EQ(points->Next(1, &none, nullptr), S_FALSE);
    CComPtr<IEnumConnectionPoints> atEnd;
    ASSERT_EQ(points->Clone(&atEnd), S_OK);
    EXPECT_EQ(atEnd->Next(1, &none, nullptr), S_FALSE);
    ASSERT_EQ(atStart->Next(1, &none, nullptr), S_OK);
    ASSERT_NE(none, nullptr);
    none->Release();
    EXPECT_EQ(container->EnumConnectionPoints(nullptr), E_POINTER);
}

TEST_F(PevlinObject, ConnectionsEnumerateTheSinksAdvisedWhenTheEnumeratorWasMade)
{
    CComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(m_control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
    CComPtr<IConnectionPoint> changes;
    ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &changes), S_OK);
    ChangeSink first;
    ChangeSink second;
    DWORD cookies[2] = {};
    ASSERT_EQ(changes->Advise(&first, &cookies[0]), S_OK);
    ASSERT_EQ(changes->Advise(&second, &cookies[1]), S_OK);

    CComPtr<IEnumConnections> connections;
    ASSERT_EQ(changes->EnumConnections(&connections), S_OK);
    // Disconnecting afterwards leaves the enumerator's view as it was.
    ASSERT_EQ(changes->Unadvise(cookies[0]), S_OK);

    CONNECTDATA data[3] = {};
    ULONG fetched = 0;
    ASSERT_EQ(connections->Next(3, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    const IUnknown* sinks[2] = {static_cast<IPropertyNotifySink*>(&first), static_cast<IPropertyNotifySink*>(&second)};
    for (ULONG i = 0; i < fetched; ++i) {
        EXPECT_EQ(data[i].dwCookie, cookies[i]);
        CComPtr<IUnknown> identity;
        ASSERT_EQ(data[i].pUnk->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
        CComPtr<IUnknown> expected;
        ASSERT_EQ(const_cast<IUnknown*>(sinks[i])->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&expected)), S_OK);
        EXPECT_EQ(identity, expected);
        data[i].pUnk->Release();
    }

    ASSERT_EQ(connections->Reset(), S_OK);
    ASSERT_EQ(connections->Skip(1), S_OK);
    CComPtr<IEnumConnections> copy;
    ASSERT_EQ(connections->Clone(&copy), S_OK);
    CONNECTDATA one = {};
    ASSERT_EQ(copy->Next(1, &one, nullptr), S_OK);
    EXPECT_EQ(one.dwCookie, cookies[1]);
    one.pUnk->Release();
    EXPECT_EQ(copy->Skip(1), S_FALSE);

    CComPtr<IEnumConnections> afterUnadvise;
    ASSERT_EQ(changes->EnumConnections(&afterUnadvise), S_OK);
    ASSERT_EQ(afterUnadvise->Next(1, &one, nullptr), S_OK);
    EXPECT_EQ(one.dwCookie, cookies[1]);
    one.pUnk->Release();
    EXPECT_EQ(afterUnadvise->Next(1, &one, nullptr), S_FALSE);

    // The enumerators hold the sinks only while they live.
    connections.Release();
    copy.Release();
    afterUnadvise.Release();
    EXPECT_EQ(first.OutstandingReferences(), 0);
    ASSERT_EQ(changes->Unadvise(cookies[1]), S_OK);
    EXPECT_EQ(second.OutstandingReferences(), 0);
}

}  // namespace
