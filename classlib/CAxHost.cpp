#include "CAxHost.h"

const char kWebBrowserClassName[] = "{8856F961-340A-11D0-A96B-00C04FD705A2}";

namespace {

LRESULT CALLBACK HostWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

}  // namespace

bool AtlAxWinInit()
{
    WNDCLASSEXA existing = {sizeof existing};
    if (::GetClassInfoExA(::GetModuleHandleA(nullptr), kWebBrowserClassName, &existing))
        return true;
    WNDCLASSEXA windowClass = {sizeof windowClass};
    // Global: dialog templates of any module in the process find it.
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kWebBrowserClassName;
    return ::RegisterClassExA(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
