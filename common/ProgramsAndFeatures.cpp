#include "ProgramsAndFeatures.h"

// psapi.dll's own exports: the K32 names are missing from older kernel32 versions.
#define PSAPI_VERSION 1
#include <psapi.h>
#include <process.h>
#include <shellapi.h>

#include <cstring>

namespace {

struct RemovalWindow {
    const char* module;
    const char* title;
    const char* className;
};

// One row per Windows generation that has shown this window.
const RemovalWindow kRemovalWindows[] = {
    {"explorer.exe", "プログラムと機能", "CabinetWClass"},
    {"rundll32.exe", "プログラムの追加と削除", "NativeHWNDHost"},
    {"mshta.exe", "アプリケーションの追加と削除", "HTML Application Host Window Class"},
};

const DWORD kWaitMilliseconds = 30000;
// Between two searches: a window that takes seconds to appear is found soon enough, and
// the search leaves the processor to the program that is starting.
const DWORD kSearchPauseMilliseconds = 100;

bool GetProcessModuleName(HWND window, char (&name)[MAX_PATH])
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
    if (!process)
        process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        return false;
    const DWORD length = GetModuleBaseNameA(process, nullptr, name, MAX_PATH);
    CloseHandle(process);
    return length > 0;
}

BOOL CALLBACK MatchRemovalWindow(HWND window, LPARAM found)
{
    if (!IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    char title[256] = "";
    char className[256] = "";
    GetWindowTextA(window, title, sizeof title);
    GetClassNameA(window, className, sizeof className);
    for (const RemovalWindow& row : kRemovalWindows) {
        if (std::strcmp(title, row.title) != 0 || std::strcmp(className, row.className) != 0)
            continue;
        // The title and class alone could be any program's; only the system host counts.
        char module[MAX_PATH];
        if (GetProcessModuleName(window, module) && lstrcmpiA(module, row.module) == 0) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
    }
    return TRUE;
}

}  // namespace

HWND FindProgramsAndFeaturesWindow()
{
    HWND found = nullptr;
    EnumWindows(MatchRemovalWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND WaitForProgramsAndFeaturesWindow(DWORD timeoutMs, HWND (*find)())
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = find())
            return window;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return nullptr;
        Sleep(timeoutMs - elapsed < kSearchPauseMilliseconds ? timeoutMs - elapsed : kSearchPauseMilliseconds);
    }
}

bool MoveToWorkAreaTopRight(HWND window)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return false;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
        return false;
    const int width = rect.right - rect.left;
    return SetWindowPos(window, nullptr, info.rcWork.right - width, info.rcWork.top, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

unsigned __stdcall OpenProgramsAndFeaturesProc(void*)
{
    try {
        HWND window = FindProgramsAndFeaturesWindow();
        if (!window) {
            SHELLEXECUTEINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOZONECHECKS;
            info.lpFile = "appwiz.cpl";
            info.nShow = SW_SHOWNORMAL;
            if (ShellExecuteExA(&info) && info.hProcess) {
                WaitForInputIdle(info.hProcess, kWaitMilliseconds);
                CloseHandle(info.hProcess);
            }
            // The control panel may hand the window to another process, so the one we
            // started tells nothing: look until it appears.
            window = WaitForProgramsAndFeaturesWindow(kWaitMilliseconds);
        }
        if (window) {
            SetForegroundWindow(window);
            BringWindowToTop(window);
            MoveToWorkAreaTopRight(window);
        }
    } catch (...) {
    }
    return 0;
}

void OpenProgramsAndFeaturesAsync()
{
    const uintptr_t thread = _beginthreadex(nullptr, 0, OpenProgramsAndFeaturesProc, nullptr, 0, nullptr);
    if (thread)
        CloseHandle(reinterpret_cast<HANDLE>(thread));
}
