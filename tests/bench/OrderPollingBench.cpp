// How much of one core the wizard's process takes while an order polls: the order page runs
// a new-contract order against the order-system URL given and its CPU time (GetProcessTimes)
// is taken from the start notice to the arrival of the order's end.
// OrderPollingBench.exe OPS_URL. Prints seconds, CPU seconds and percent of one core.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "CPageContext.h"
#include "CTextDef.h"
#include "KavoMessages.h"
#include "PageFactory.h"
#include "pages/CSignupDialog.h"

namespace {

double CpuSeconds()
{
    FILETIME creation, exit, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user))
        return -1;
    const auto seconds = [](const FILETIME& time) {
        return double((ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// The page's own share: what the window thread took, the marquee's painting among it.
double UiThreadCpuSeconds()
{
    FILETIME creation, exit, kernel, user;
    if (!::GetThreadTimes(::GetCurrentThread(), &creation, &exit, &kernel, &user))
        return -1;
    const auto seconds = [](const FILETIME& time) {
        return double((ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

double WallSeconds()
{
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

double g_startCpu, g_startWall, g_endCpu = -1, g_endWall, g_startUi, g_endUi;
HHOOK g_hook;

// Takes the times as the order's end is taken from the queue, before the next page is made.
LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_KAVO_REQUESTDONE && g_endCpu < 0) {
        g_endCpu = CpuSeconds();
        g_endUi = UiThreadCpuSeconds();
        g_endWall = WallSeconds();
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KAVO_PAGE && wParam == PAGECMD_SETPAGE) {
        if (CWBDialog* next = reinterpret_cast<CWBDialog*>(lParam))
            DestroyPage(next);
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: OrderPollingBench OPS_URL\n");
        return 2;
    }
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    if (!CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3)) {
        std::fprintf(stderr, "no built-in definition\n");
        return 1;
    }
    CTextDef::SetText("COMMON_URI_OPS", argv[1]);
    CTextDef::SetText("COMMON_CFG_OPS_BUSYTIME_START", "0000");
    CTextDef::SetText("COMMON_CFG_OPS_BUSYTIME_END", "0000");
    CTextDef::SetText("COMMON_CFG_OPS_TIMEOUT", "120");

    WNDCLASSA frameClass = {};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = ::GetModuleHandleA(nullptr);
    frameClass.lpszClassName = "OrderPollingBenchFrame";
    ::RegisterClassA(&frameClass);
    const HWND frame = ::CreateWindowExA(0, frameClass.lpszClassName, "bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                                         nullptr, nullptr, frameClass.hInstance, nullptr);
    CPageContext context;
    context.autoFlow = 0;
    // Straight on to the registration page afterwards, which the frame here does not keep.
    context.runMode = 3;
    context.customer.VeldinCommonID = "C0001";
    context.customer.AccessKey = "KEY0001";
    context.SetValue("AN08_ORDER", "新規契約");
    CWBDialog* page = CreatePageWindow(new CSignupDialog, frame, &context);
    if (!frame || !page) {
        std::fprintf(stderr, "no page\n");
        return 1;
    }
    g_hook = ::SetWindowsHookExA(WH_GETMESSAGE, OnGetMessage, nullptr, ::GetCurrentThreadId());
    g_startCpu = CpuSeconds();
    g_startUi = UiThreadCpuSeconds();
    g_startWall = WallSeconds();
    ::PostMessageA(page->m_hWnd, WM_KAVO_PAGE, PAGECMD_START, 0);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    ::UnhookWindowsHookEx(g_hook);
    if (g_endCpu < 0) {
        std::fprintf(stderr, "the order did not end\n");
        return 1;
    }
    const double wall = g_endWall - g_startWall;
    const double cpu = g_endCpu - g_startCpu;
    std::printf("error_code %s\n", context.errorCode.IsEmpty() ? "-" : context.errorCode.GetString());
    std::printf("wall_seconds %.2f\n", wall);
    std::printf("cpu_seconds %.3f\n", cpu);
    std::printf("percent_of_one_core %.3f\n", wall > 0 ? 100 * cpu / wall : 0.0);
    std::printf("window_thread_cpu_seconds %.3f\n", g_endUi - g_startUi);
    // The order's worker and whatever threads WinINet and COM keep meanwhile.
    std::printf("other_threads_cpu_seconds %.3f\n", cpu - (g_endUi - g_startUi));
    ::DestroyWindow(frame);
    ::OleUninitialize();
    return context.errorCode.IsEmpty() ? 0 : 1;
}
