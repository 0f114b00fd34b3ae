// The frame of the four Execute methods with test workers in the table: the panel during a
// run, the abort and profile hand-shakes, calls made by page script during the pump, the end
// of the browser's loop during a run, and what the process keeps afterwards.
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>

#include "AxPevlinResource.h"
#include "ControlTestSupport.h"
#include "Cpevlin.h"
#include "PevlinPanel.h"
#include "PevlinWorkers.h"

namespace {

// What a test worker and the test's page side tell each other.
struct WorkerRun {
    std::atomic<int> starts{0};
    std::atomic<bool> reported{false};  // the worker is in the middle of its run
    std::atomic<bool> released{false};  // the page side lets it finish
    std::atomic<bool> sawAbort{false};
    std::atomic<bool> ended{false};
    std::atomic<int> priority{0};
    LONG codeAtStart = -1;
    int abortAtStart = -1;
    std::string chosen;
};
WorkerRun* g_run = nullptr;

bool WaitFor(const std::atomic<bool>& flag, DWORD milliseconds)
{
    for (DWORD waited = 0; !flag && waited < milliseconds; waited += 10)
        Sleep(10);
    return flag;
}

// Polls the abort flag as the diagnostics do; true when it was set within the time.
bool WaitForAbort(PevlinState* state, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 10) {
        if (state->abortFlag)
            return true;
        Sleep(10);
    }
    return false;
}

void Report(PevlinState* state, LONG code, LONG progress, const char* text)
{
    state->RtnCode = code;
    state->progress = progress;
    state->statusText = text;
    SetStatus(state);
}

unsigned __stdcall StepWorker(void* argument)
{
    auto* state = static_cast<PevlinState*>(argument);
    g_run->codeAtStart = state->RtnCode;
    g_run->abortAtStart = state->abortFlag;
    g_run->priority = GetThreadPriority(GetCurrentThread());
    Report(state, 2004, 40, "CTU検出中...");
    g_run->reported = true;
    WaitFor(g_run->released, 10000);
    Report(state, 101, 100, "接続しました...");
    return 0;
}

unsigned __stdcall AbortableWorker(void* argument)
{
    auto* state = static_cast<PevlinState*>(argument);
    g_run->reported = true;
    if (WaitForAbort(state, 10000)) {
        g_run->sawAbort = true;
        Report(state, 250, 100, "中断しました...");
    }
    return 0;
}

unsigned __stdcall ChoosingWorker(void* argument)
{
    auto* state = static_cast<PevlinState*>(argument);
    state->profileList.RemoveAll();
    for (const char* profile : {"プロファイルA", "プロファイルB", "プロファイルC"})
        state->profileList.Add(CString(profile));
    FillProfileList(state);
    ShowProfileChooser(state, true);
    state->waitFlag = 1;
    g_run->reported = true;
    for (DWORD waited = 0; waited < 10000; waited += 10) {
        if (state->abortFlag) {
            Report(state, 250, 100, "中断しました...");
            return 0;
        }
        if (!state->waitFlag)
            break;
        Sleep(10);
    }
    ShowProfileChooser(state, false);
    g_run->chosen = state->profileName;
    Report(state, 102, 100, "接続しました...");
    return 0;
}

unsigned __stdcall CountingWorker(void*)
{
    ++g_run->starts;
    g_run->reported = true;
    WaitFor(g_run->released, 3000);
    return 0;
}

unsigned __stdcall QuitAwareWorker(void* argument)
{
    auto* state = static_cast<PevlinState*>(argument);
    g_run->reported = true;
    if (WaitForAbort(state, 10000)) {
        g_run->sawAbort = true;
        // Still busy a while after the abort, and still updating the panel.
        Sleep(200);
        Report(state, 250, 100, "中断しました...");
    }
    g_run->ended = true;
    return 0;
}

// Runs step on the page's thread, from its message pump, until it answers true: what page
// script does from a timer while a diagnosis runs.
// A step that pumps (a nested Execute) sees no timer of its own.
std::function<bool()> g_pageStep;
bool g_inPageStep = false;
void CALLBACK PageTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!g_pageStep || g_inPageStep)
        return;
    g_inPageStep = true;
    const bool done = g_pageStep();
    g_inPageStep = false;
    if (done) {
        KillTimer(nullptr, id);
        g_pageStep = nullptr;
    }
}
void DuringThePump(std::function<bool()> step)
{
    g_pageStep = std::move(step);
    SetTimer(nullptr, 0, 20, PageTimer);
}

std::string ItemText(HWND panel, int id)
{
    char text[512] = {};
    GetDlgItemTextA(panel, id, text, sizeof text);
    return text;
}

bool ItemVisible(HWND panel, int id)
{
    return Shown(GetDlgItem(panel, id));
}

// Writes the screen area of window as a BMP file.
void WriteWindowPicture(HWND window, const std::string& path)
{
    RECT area;
    GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, height, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = DWORD((width * 3 + 3) & ~3);
    BITMAPFILEHEADER file = {0x4d42, DWORD(sizeof file + sizeof info.bmiHeader + rowBytes * height), 0, 0,
                             DWORD(sizeof file + sizeof info.bmiHeader)};
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(out, &file, sizeof file, &written, nullptr);
        WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
        WriteFile(out, bits, rowBytes * height, &written, nullptr);
        CloseHandle(out);
    }
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// The test's own copy of the control, hosted by its class id as the page hosts it.
class ExecutionFrame : public ComApartment {
protected:
    void SetUp() override
    {
        ComApartment::SetUp();
        g_run = &m_run;
        ASSERT_EQ(CoRegisterClassObject(kClsidPevlin, PevlinClassFactory(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                        &m_registration),
                  S_OK);
        char folder[MAX_PATH];
        m_pictureFolder = GetEnvironmentVariableA("KAVO_GALLERY_DIR", folder, MAX_PATH) ? folder : "";
        m_host = new ControlHost(!m_pictureFolder.empty());
        ASSERT_NE(m_host->Dispatch(), nullptr);
        CComPtr<Ipevlin> control;
        ASSERT_EQ(m_host->Dispatch()->QueryInterface(kIidIpevlin, reinterpret_cast<void**>(&control)), S_OK);
        m_control = static_cast<Cpevlin*>(static_cast<Ipevlin*>(control));
        m_panel = m_host->Panel();
        ASSERT_NE(m_panel, nullptr);
    }
    void TearDown() override
    {
        delete m_host;
        if (m_registration)
            CoRevokeClassObject(m_registration);
        for (PevlinWorker& worker : g_pevlinWorkers)
            worker = nullptr;
        g_pageStep = nullptr;
        g_run = nullptr;
        ComApartment::TearDown();
    }

    LONG ScriptRtnCode()
    {
        CComVariant code;
        EXPECT_EQ(CallByName(m_host->Dispatch(), L"RtnCode", DISPATCH_PROPERTYGET, nullptr, &code), S_OK);
        return code.lVal;
    }
    HRESULT ScriptCall(const wchar_t* method) { return CallByName(m_host->Dispatch(), method, DISPATCH_METHOD); }

    WorkerRun m_run;
    // Where the run's picture of the panel goes (KAVO_GALLERY_DIR); empty for none.
    std::string m_pictureFolder;
    DWORD m_registration = 0;
    ControlHost* m_host = nullptr;
    Cpevlin* m_control = nullptr;
    HWND m_panel = nullptr;
};

TEST_F(ExecutionFrame, WorkerDrivesThePanelWhileThePageReadsItsStepCode)
{
    g_pevlinWorkers[kPevlinV6TR] = StepWorker;
    m_control->State().RtnCode = 77;
    m_control->State().abortFlag = 1;
    std::string statusDuring;
    LRESULT positionDuring = -1;
    bool abortShownDuring = false;
    LONG codeDuring = 0;
    DuringThePump([&] {
        if (!m_run.reported)
            return false;
        statusDuring = ItemText(m_panel, IDC_PEVLIN_STATUS);
        positionDuring = SendDlgItemMessageA(m_panel, IDC_PEVLIN_PROGRESS, PBM_GETPOS, 0, 0);
        abortShownDuring = ItemVisible(m_panel, IDC_PEVLIN_ABORT);
        codeDuring = ScriptRtnCode();
        if (!m_pictureFolder.empty())
            WriteWindowPicture(m_panel, m_pictureFolder + "\\progress-panel.bmp");
        m_run.released = true;
        return true;
    });

    EXPECT_EQ(ScriptCall(L"ExecuteV6TR"), S_OK);

    EXPECT_EQ(m_run.codeAtStart, 77);
    EXPECT_EQ(m_run.abortAtStart, 0);
    EXPECT_EQ(m_run.priority, THREAD_PRIORITY_HIGHEST);
    EXPECT_EQ(statusDuring, "CTU検出中...");
    EXPECT_EQ(positionDuring, 40);
    EXPECT_TRUE(abortShownDuring);
    EXPECT_EQ(codeDuring, 2004);
    EXPECT_EQ(ScriptRtnCode(), 101);
    EXPECT_EQ(ItemText(m_panel, IDC_PEVLIN_STATUS), "接続しました...");
    EXPECT_FALSE(ItemVisible(m_panel, IDC_PEVLIN_ABORT));
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &process, &system));
    EXPECT_EQ(process, DWORD_PTR(1));

    // The next run starts from the code the last one left.
    m_run.reported = false;
    m_run.released = true;
    g_pevlinWorkers[kPevlinLSQ] = StepWorker;
    EXPECT_EQ(ScriptCall(L"ExecuteLSQ"), S_OK);
    EXPECT_EQ(m_run.codeAtStart, 101);
}

TEST_F(ExecutionFrame, AbortButtonEndsTheRunWithItsCode)
{
    g_pevlinWorkers[kPevlinLSQ] = AbortableWorker;
    DuringThePump([&] {
        if (!m_run.reported || !ItemVisible(m_panel, IDC_PEVLIN_ABORT))
            return false;
        SendDlgItemMessageA(m_panel, IDC_PEVLIN_ABORT, BM_CLICK, 0, 0);
        return true;
    });
    const DWORD started = GetTickCount();

    EXPECT_EQ(ScriptCall(L"ExecuteLSQ"), S_OK);

    EXPECT_TRUE(m_run.sawAbort);
    EXPECT_LT(GetTickCount() - started, 5000u);
    EXPECT_EQ(ScriptRtnCode(), 250);
    EXPECT_FALSE(ItemVisible(m_panel, IDC_PEVLIN_ABORT));
}

TEST_F(ExecutionFrame, ProfileChooserWaitsForConnectOrAbort)
{
    struct Case {
        int button;
        LONG code;
        const char* chosen;
    };
    const Case cases[] = {{IDC_PEVLIN_CONNECT, 102, "プロファイルC"}, {IDC_PEVLIN_ABORT, 250, ""}};
    for (const Case& one : cases) {
        SCOPED_TRACE(one.button);
        m_run.reported = false;
        m_run.chosen.clear();
        g_pevlinWorkers[kPevlinISP] = ChoosingWorker;
        LRESULT countDuring = 0;
        LRESULT selectedDuring = -1;
        bool chooserShownDuring = false;
        DuringThePump([&] {
            if (!m_run.reported)
                return false;
            HWND list = GetDlgItem(m_panel, IDC_PEVLIN_PROFILES);
            countDuring = SendMessageA(list, LB_GETCOUNT, 0, 0);
            selectedDuring = SendMessageA(list, LB_GETCURSEL, 0, 0);
            chooserShownDuring = true;
            for (int id : {IDC_PEVLIN_CHOOSER_FRAME, IDC_PEVLIN_CHOOSER_TEXT, IDC_PEVLIN_PROFILES, IDC_PEVLIN_CONNECT})
                chooserShownDuring = chooserShownDuring && ItemVisible(m_panel, id);
            SendMessageA(list, LB_SETCURSEL, 2, 0);
            SendDlgItemMessageA(m_panel, one.button, BM_CLICK, 0, 0);
            return true;
        });

        EXPECT_EQ(ScriptCall(L"ExecuteISP"), S_OK);

        EXPECT_EQ(countDuring, 3);
        EXPECT_EQ(selectedDuring, 0);
        EXPECT_TRUE(chooserShownDuring);
        EXPECT_EQ(m_run.chosen, one.chosen);
        EXPECT_EQ(ScriptRtnCode(), one.code);
        EXPECT_FALSE(ItemVisible(m_panel, IDC_PEVLIN_PROFILES));
        EXPECT_FALSE(ItemVisible(m_panel, IDC_PEVLIN_CONNECT));
    }
}

TEST_F(ExecutionFrame, ExecuteCalledByScriptDuringThePumpReturnsWithoutASecondRun)
{
    g_pevlinWorkers[kPevlinLSQ] = CountingWorker;
    g_pevlinWorkers[kPevlinVELDIN] = CountingWorker;
    HRESULT nested = E_FAIL;
    DWORD nestedTook = INFINITE;
    DuringThePump([&] {
        if (!m_run.reported)
            return false;
        const DWORD started = GetTickCount();
        nested = ScriptCall(L"ExecuteVELDIN");
        nestedTook = GetTickCount() - started;
        m_run.released = true;
        return true;
    });

    EXPECT_EQ(ScriptCall(L"ExecuteLSQ"), S_OK);

    EXPECT_EQ(nested, S_OK);
    EXPECT_LT(nestedTook, 1000u);
    EXPECT_EQ(m_run.starts, 1);
}

TEST_F(ExecutionFrame, QuitDuringThePumpAbortsWaitsForTheWorkerAndQuitsAgain)
{
    g_pevlinWorkers[kPevlinVELDIN] = QuitAwareWorker;
    DuringThePump([&] {
        if (!m_run.reported)
            return false;
        PostQuitMessage(42);
        return true;
    });

    EXPECT_EQ(ScriptCall(L"ExecuteVELDIN"), S_OK);

    EXPECT_TRUE(m_run.sawAbort);
    EXPECT_TRUE(m_run.ended);
    // The worker's last panel update went through while the frame waited for it.
    EXPECT_EQ(ItemText(m_panel, IDC_PEVLIN_STATUS), "中断しました...");
    MSG quit = {};
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, WPARAM(42));
}

TEST_F(ExecutionFrame, ControlOutlivesTheLastReleaseMadeDuringItsExecute)
{
    g_pevlinWorkers[kPevlinLSQ] = CountingWorker;
    auto* control = new Cpevlin;
    control->AddRef();
    const LONG liveBefore = AtlComModule().GetObjectCount();
    LONG liveAfterRelease = -1;
    DuringThePump([&] {
        if (!m_run.reported)
            return false;
        control->Release();
        liveAfterRelease = AtlComModule().GetObjectCount();
        m_run.released = true;
        return true;
    });

    EXPECT_EQ(control->ExecuteLSQ(), S_OK);

    EXPECT_EQ(liveAfterRelease, liveBefore);
    EXPECT_EQ(AtlComModule().GetObjectCount(), liveBefore - 1);
}

}  // namespace
