#include "CFrameWindow.h"

#include <dbghelp.h>

#include "CTextDef.h"
#include "ProgramFolder.h"

const char kFrameWindowClass[] = "KAVOWizardWindowClass";

CFrameWindow::CFrameWindow()
{
    context.traceLog.SetLogFile(GetProgramFolder(), CTextDef::GetText("COMMON_NAME_LOGFILE"));
    // The order system's protocol files are written only on a machine that asks for them.
    const CString switchFile = CTextDef::GetText("COMMON_NAME_OPSLOGSWITCH");
    if (!switchFile.IsEmpty() && GetFileAttributesA(switchFile) != INVALID_FILE_ATTRIBUTES) {
        MakeSureDirectoryPathExists(CTextDef::GetText("COMMON_NAME_OPSLOGDIR"));
        context.traceLog.SetOpsTrace(1);
    }
}

CFrameWindow::~CFrameWindow()
{
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

HWND CFrameWindow::Create()
{
    WNDCLASSEXA windowClass = {sizeof windowClass};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kFrameWindowClass;
    RegisterClassExA(&windowClass);

    m_hWnd = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, kFrameWindowClass, CTextDef::GetText("COMMON_TITLE"),
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, windowClass.hInstance, this);
    return m_hWnd;
}

void CFrameWindow::SetCurrentPage(CWBDialog* page, int exitCode)
{
    currentPage = page;
    if (!page)
        PostQuitMessage(exitCode);
}

int CFrameWindow::RunMessageLoop()
{
    MSG message;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0)
            return int(message.wParam);
        if (got == -1)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

LRESULT CALLBACK CFrameWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* frame = static_cast<CFrameWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        // Pages created without a context find the run's context here.
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&frame->context));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
