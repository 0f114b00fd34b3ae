#include <gtest/gtest.h>

#include <windows.h>
#include <mshtmhst.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "CAxHost.h"
#include "CComPtr.h"
#include "CIEServer.h"
#include "CShortcutkeySuppressor.h"
#include "CWBDialog.h"
#include "PageBench.h"

namespace {

// The container's UI handler as a document sees it through its client site.
class FakeSite final : public IOleClientSite, public IDocHostUIHandler {
public:
    explicit FakeSite(bool withHandler) : m_withHandler(withHandler) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *object = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IDocHostUIHandler && m_withHandler)
            *object = static_cast<IDocHostUIHandler*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }

    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override
    {
        return Note("ShowContextMenu", S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override
    {
        info->dwFlags = 0x4000d;
        return Note("GetHostInfo", S_OK);
    }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) override
    {
        return Note("ShowUI", S_FALSE);
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return Note("HideUI", S_OK); }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return Note("UpdateUI", S_OK); }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return Note("EnableModeless", S_OK); }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return Note("OnDocWindowActivate", S_OK); }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return Note("OnFrameWindowActivate", S_OK); }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override
    {
        return Note("ResizeBorder", S_OK);
    }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override
    {
        return Note("TranslateAccelerator", S_FALSE);
    }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR*, DWORD) override { return Note("GetOptionKeyPath", S_FALSE); }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget**) override
    {
        return Note("GetDropTarget", E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch**) override { return Note("GetExternal", S_FALSE); }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR*) override { return Note("TranslateUrl", S_FALSE); }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject**) override
    {
        return Note("FilterDataObject", S_FALSE);
    }

    HRESULT Note(const char* call, HRESULT result)
    {
        calls.push_back(call);
        return result;
    }

    const bool m_withHandler;
    long refs = 1;
    std::vector<std::string> calls;
};

// Just the parts of a document that the suppressor uses: its client site and SetUIHandler.
class FakeDocument final : public IOleObject, public ICustomDoc {
public:
    explicit FakeDocument(IOleClientSite* site) : m_site(site) {}
    ~FakeDocument() { DropHandler(); }

    void DropHandler()
    {
        if (handler)
            handler->Release();
        handler = nullptr;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleObject)
            *object = static_cast<IOleObject*>(this);
        else if (iid == kIID_ICustomDoc)
            *object = static_cast<ICustomDoc*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE SetUIHandler(IDocHostUIHandler* newHandler) override
    {
        if (newHandler)
            newHandler->AddRef();
        DropHandler();
        handler = newHandler;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override
    {
        *site = m_site;
        if (m_site)
            m_site->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    IOleClientSite* m_site;
    IDocHostUIHandler* handler = nullptr;
};

MSG KeyDown(WPARAM key)
{
    MSG message = {};
    message.message = WM_KEYDOWN;
    message.wParam = key;
    return message;
}

TEST(ShortcutkeySuppressor, InstallsOnTheDocumentAndForwardsToTheFormerHandler)
{
    FakeSite site(true);
    {
        FakeDocument document(&site);
        ASSERT_EQ(CShortcutkeySuppressor::Install(static_cast<IOleObject*>(&document)), S_OK);
        ASSERT_NE(document.handler, nullptr);
        DOCHOSTUIINFO info = {sizeof info};
        EXPECT_EQ(document.handler->GetHostInfo(&info), S_OK);
        EXPECT_EQ(info.dwFlags, 0x4000du);
        EXPECT_EQ(document.handler->ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK);
        EXPECT_EQ(site.calls, (std::vector<std::string>{"GetHostInfo", "ShowContextMenu"}));
        // A second document completion puts a new suppressor in place of the first.
        ASSERT_EQ(CShortcutkeySuppressor::Install(static_cast<IOleObject*>(&document)), S_OK);
    }
    // Both suppressors are gone with the document, and with them every reference they held.
    EXPECT_EQ(site.refs, 1);
}

TEST(ShortcutkeySuppressor, DocumentWithoutClientSiteGetsNoHandler)
{
    FakeDocument document(nullptr);
    EXPECT_EQ(CShortcutkeySuppressor::Install(static_cast<IOleObject*>(&document)), S_FALSE);
    EXPECT_EQ(document.handler, nullptr);
}

TEST(ShortcutkeySuppressor, WithoutFormerHandlerCallsFailInsteadOfThrowing)
{
    FakeSite site(false);
    {
        FakeDocument document(&site);
        ASSERT_EQ(CShortcutkeySuppressor::Install(static_cast<IOleObject*>(&document)), S_OK);
        ASSERT_NE(document.handler, nullptr);
        DOCHOSTUIINFO info = {sizeof info};
        EXPECT_EQ(document.handler->GetHostInfo(&info), E_POINTER);
        MSG copy = KeyDown('C');
        EXPECT_EQ(document.handler->TranslateAccelerator(&copy, nullptr, 0), E_POINTER);
    }
    EXPECT_EQ(site.refs, 1);
}

struct AcceleratorCase {
    const char* name;
    std::vector<BYTE> held;
    WPARAM key;
    bool swallowed;
};

class ShortcutKeys : public testing::TestWithParam<AcceleratorCase> {};

TEST_P(ShortcutKeys, CtrlShortcutsThatLeaveThePageAreSwallowed)
{
    const AcceleratorCase& c = GetParam();
    FakeSite site(true);
    FakeDocument document(&site);
    ASSERT_EQ(CShortcutkeySuppressor::Install(static_cast<IOleObject*>(&document)), S_OK);
    HeldKeys held(c.held);
    MSG message = KeyDown(c.key);
    const HRESULT hr = document.handler->TranslateAccelerator(&message, nullptr, 0);
    EXPECT_EQ(hr, c.swallowed ? S_OK : S_FALSE);
    EXPECT_EQ(site.calls.size(), c.swallowed ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortcutKeys,
    testing::Values(AcceleratorCase{"CtrlP", {VK_CONTROL}, 'P', true},
                    AcceleratorCase{"CtrlN", {VK_CONTROL}, 'N', true},
                    AcceleratorCase{"CtrlO", {VK_CONTROL}, 'O', true},
                    AcceleratorCase{"CtrlL", {VK_CONTROL}, 'L', true},
                    AcceleratorCase{"CtrlPlus", {VK_CONTROL}, VK_OEM_PLUS, true},
                    AcceleratorCase{"CtrlMinus", {VK_CONTROL}, VK_OEM_MINUS, true},
                    AcceleratorCase{"CtrlKeypadPlus", {VK_CONTROL, VK_ADD}, VK_ADD, true},
                    AcceleratorCase{"CtrlKeypadMinus", {VK_CONTROL, VK_SUBTRACT}, VK_SUBTRACT, true},
                    AcceleratorCase{"CtrlCCopies", {VK_CONTROL}, 'C', false},
                    AcceleratorCase{"CtrlAlone", {VK_CONTROL}, VK_CONTROL, false},
                    AcceleratorCase{"PWithoutCtrl", {}, 'P', false},
                    AcceleratorCase{"KeypadPlusWithoutCtrl", {VK_ADD}, VK_ADD, false}),
    [](const testing::TestParamInfo<AcceleratorCase>& info) { return std::string(info.param.name); });

// A window that counts the wheel messages its own procedure receives.
int g_wheels;
int g_destroys;
LRESULT CALLBACK CountingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_MOUSEWHEEL)
        ++g_wheels;
    if (uMsg == WM_DESTROY)
        ++g_destroys;
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

HWND MakeCountingWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KavoCountingWindow";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "KavoCountingWindow", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void PressControl(bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_CONTROL;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

TEST(IEServer, CtrlWheelNeverReachesTheDocumentAndTheSubclassEndsWithTheWindow)
{
    g_wheels = 0;
    g_destroys = 0;
    HWND window = MakeCountingWindow();
    ASSERT_NE(window, nullptr);
    CIEServer server;
    ASSERT_TRUE(server.SubclassWindow(window));
    EXPECT_FALSE(server.SubclassWindow(window));

    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(g_wheels, 1);
    PressControl(true);
    if (GetAsyncKeyState(VK_CONTROL) != 0) {
        SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
        EXPECT_EQ(g_wheels, 1);
    } else {
        ADD_FAILURE() << "no keyboard input on this display";
    }
    PressControl(false);

    DestroyWindow(window);
    EXPECT_EQ(g_destroys, 1);
    EXPECT_FALSE(server.HasLiveWindow());
    EXPECT_EQ(server.m_hWnd, nullptr);
}

class HostedPage : public CWBDialog {
public:
    explicit HostedPage(DWORD flags) : CWBDialog(901, 200), m_flags(flags) {}
    DWORD GetHostFlags() override { return m_flags; }
    const DWORD m_flags;
};

TEST(BrowserSetUp, PageHostFlagsAndNoContextMenuReachTheDocumentsHandler)
{
    CScopedOleInit ole;
    ASSERT_TRUE(ole.Succeeded());
    AtlAxWinInit();
    HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  nullptr, nullptr);
    for (DWORD flags : {0x4000du, 0x40000u, 0x40005u, 0x40001u}) {
        HostedPage page(flags);
        ASSERT_NE(page.Create(parent), nullptr);
        CComPtr<IUnknown> host;
        ASSERT_EQ(AtlAxGetHost(page.GetDlgItem(200), &host), S_OK);
        CComPtr<IDocHostUIHandler> handler;
        ASSERT_TRUE(SUCCEEDED(host->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler))));
        DOCHOSTUIINFO info = {sizeof info};
        ASSERT_EQ(handler->GetHostInfo(&info), S_OK);
        EXPECT_EQ(info.dwFlags, flags);
        EXPECT_EQ(handler->ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK) << "a context menu would show";
        page.DestroyWindow();
    }
    DestroyWindow(parent);
}

TEST(BrowserSetUp, WindowWithoutControlHasNoHost)
{
    CComPtr<IUnknown> host;
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(AtlAxGetHost(plain, &host), S_FALSE);
    EXPECT_EQ(host, nullptr);
    EXPECT_EQ(AtlAxGetHost(nullptr, &host), S_FALSE);
    DestroyWindow(plain);
}

}  // namespace
