#include "PageBench.h"

#include <commctrl.h>

#include <cstring>

#include "CAxHost.h"
#include "StepBar.h"

namespace {

const char kFrameClass[] = "KavoPageBenchFrame";

std::vector<std::string>& Opened()
{
    static std::vector<std::string> opened;
    return opened;
}

void RecordOpened(const char* url)
{
    Opened().push_back(url ? url : "");
}

bool IsInside(HWND outer, HWND window)
{
    return window && (window == outer || ::IsChild(outer, window));
}

}  // namespace

HeldKeys::HeldKeys(const std::vector<BYTE>& keys)
{
    ::GetKeyboardState(m_saved);
    BYTE state[256];
    std::memcpy(state, m_saved, sizeof state);
    for (BYTE key : keys)
        state[key] = 0x80;
    ::SetKeyboardState(state);
}

HeldKeys::~HeldKeys()
{
    ::SetKeyboardState(m_saved);
}

MSG KeyMessage(HWND window, UINT message, WPARAM key)
{
    MSG result = {};
    result.hwnd = window;
    result.message = message;
    result.wParam = key;
    result.lParam = 1;
    return result;
}

const std::vector<std::string>& PageBench::OpenedInDefaultBrowser()
{
    return Opened();
}

void PageBench::SetUpTestSuite()
{
    AtlAxWinInit();
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    FillStepBitmapMap();
    WNDCLASSEXA windowClass = {sizeof windowClass};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kFrameClass;
    ::RegisterClassExA(&windowClass);
}

void PageBench::SetUp()
{
    Opened().clear();
    m_formerOpener = SetDefaultBrowserOpener(RecordOpened);
    ole.reset(new CScopedOleInit);
    ASSERT_TRUE(ole->Succeeded()) << std::hex << ole->Result();
    registration.reset(new scripted::Registration);
    ASSERT_TRUE(registration->ok());
    frame = ::CreateWindowExA(0, kFrameClass, "frame", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(frame, nullptr);
    context.phase = kStartPhase;
    context.exitValue = EXIT_PRESET;
    for (LONG& result : context.requirementResults)
        result = 7;
}

void PageBench::TearDown()
{
    if (frame)
        ::DestroyWindow(frame);
    frame = nullptr;
    // A page's last messages and the browsers' queued work run before COM goes.
    Settle(2000);
    registration.reset();
    ole.reset();
    SetDefaultBrowserOpener(m_formerOpener);
}

scripted::Browser PageBench::BrowserOf(const CWBDialog* page)
{
    if (!page || !page->m_hWnd)
        return scripted::Browser();
    for (const scripted::Browser& browser : scripted::Browsers())
        if (IsInside(page->m_hWnd, browser.Window()))
            return browser;
    return scripted::Browser();
}

bool PageBench::Settle(DWORD timeoutMs)
{
    return scripted::PumpUntilIdle(timeoutMs);
}

std::vector<std::string> PageBench::WrittenDocuments(const CWBDialog* page)
{
    return BrowserOf(page).WrittenDocuments();
}

std::vector<std::string> PageBench::StyleSheets(const CWBDialog* page)
{
    return BrowserOf(page).StyleSheets();
}

bool PageBench::Navigate(const CWBDialog* page, const std::string& url)
{
    const scripted::Browser browser = BrowserOf(page);
    if (!browser.Alive() || !scripted::SendCommand(browser.Window(), ("navigate " + url).c_str()))
        return false;
    return Settle();
}

HWND PageBench::PageChildOf(HWND page, HWND window)
{
    if (!window || !::IsChild(page, window))
        return nullptr;
    while (::GetParent(window) != page)
        window = ::GetParent(window);
    return window;
}

FakeServer& PageBench::Server()
{
    FakeServer* server = FakeServer::Shared();
    EXPECT_NE(server, nullptr) << "the fake server did not start";
    static FakeServer none;
    return server ? *server : none;
}
