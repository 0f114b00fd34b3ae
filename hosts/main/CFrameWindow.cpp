#include "CFrameWindow.h"

#include <dbghelp.h>

#include "CAtlModule.h"
#include "CTextDef.h"
#include "CWBDialog.h"
#include "ProgramFolder.h"

namespace {

const UINT kForwardMessage = 0x037F;
const UINT kBackgroundBitmapId = 5;

HBITMAP LoadBackground()
{
    // The picture belongs to the core library; the program's own copy is the fallback.
    HMODULE core = ::LoadLibraryA(GetProgramFolder() + "\\kavocore.dll");
    if (core) {
        HBITMAP picture = static_cast<HBITMAP>(::LoadImageA(core, MAKEINTRESOURCEA(kBackgroundBitmapId), IMAGE_BITMAP,
                                                            0, 0, LR_CREATEDIBSECTION));
        ::FreeLibrary(core);
        return picture;
    }
    return static_cast<HBITMAP>(::LoadImageA(AtlGetResourceInstance(), MAKEINTRESOURCEA(kBackgroundBitmapId),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

CFrameWindow::CFrameWindow(bool opsTraceSwitch)
{
    context.traceLog.SetLogFile(GetProgramFolder(), CTextDef::GetText("COMMON_NAME_LOGFILE"));
    // The order system's protocol files are written only on a machine that asks for them.
    const CString switchFile = CTextDef::GetText("COMMON_NAME_OPSLOGSWITCH");
    if (opsTraceSwitch && !switchFile.IsEmpty() && ::GetFileAttributesA(switchFile) != INVALID_FILE_ATTRIBUTES) {
        ::MakeSureDirectoryPathExists(CTextDef::GetText("COMMON_NAME_OPSLOGDIR"));
        context.traceLog.SetOpsTrace(1);
    }
    defaultBackground.Attach(LoadBackground());
}

CFrameWindow::~CFrameWindow()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

HWND CFrameWindow::Create()
{
    return CreateEx(nullptr, nullptr, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                    WS_EX_APPWINDOW | WS_EX_WINDOWEDGE);
}

CWBDialog* CFrameWindow::GetLivePage() const
{
    return currentPage && currentPageWindow && ::IsWindow(currentPageWindow) ? currentPage : nullptr;
}

void CFrameWindow::SetCurrentPage(CWBDialog* page, int exitCode)
{
    currentPage = page;
    currentPageWindow = page ? page->m_hWnd : nullptr;
    busy = 0;
    if (backgroundOverride) {
        backgroundOverride = nullptr;
        RedrawWindow(RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    }
    if (!page) {
        ::PostQuitMessage(exitCode);
        return;
    }
    if (!IsWindowVisible())
        ShowWindow(SW_SHOW);
    if (currentPageWindow) {
        ::ShowWindow(currentPageWindow, SW_SHOW);
        ::SetFocus(currentPageWindow);
    }
    pageStarted = 0;
}

BOOL CFrameWindow::OnIdle(int)
{
    if (!pageStarted) {
        pageStarted = 1;
        if (GetLivePage())
            ::PostMessageA(currentPageWindow, WM_KAVO_PAGE, PAGECMD_START, 0);
    }
    return FALSE;
}

BOOL CFrameWindow::PreTranslateMessage(MSG* message)
{
    if (!GetLivePage())
        return FALSE;
    if (message->message == WM_KEYDOWN && message->wParam == VK_F5)
        return FALSE;
    if (busy) {
        switch (message->message) {
        case WM_NCLBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
            ::SendMessageA(currentPageWindow, WM_KAVO_PAGE, PAGECMD_BUSYINPUT, reinterpret_cast<LPARAM>(message));
            // The page may have moved on while it looked at the input.
            if (!GetLivePage())
                return FALSE;
            break;
        default:
            break;
        }
    }
    const UINT id = message->message;
    const bool keyboard = id >= WM_KEYFIRST && id <= WM_KEYLAST;
    const bool mouse = id >= WM_MOUSEFIRST && id <= 0x020E;
    if (!keyboard && !mouse)
        return FALSE;

    HWND focus = ::GetFocus();
    if (focus && ::IsChild(currentPageWindow, focus)) {
        while (::GetParent(focus) != currentPageWindow)
            focus = ::GetParent(focus);
        if (::SendMessageA(focus, kForwardMessage, 0, reinterpret_cast<LPARAM>(message)) == 1)
            return TRUE;
    }
    return ::IsDialogMessageA(currentPageWindow, message);
}

LRESULT CFrameWindow::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    SetWindowText(CTextDef::GetText("COMMON_CAPTION"));
    const LONG style = GetStyle();
    const LONG wanted = (style & ~LONG(WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME)) | WS_DLGFRAME;
    if (wanted != style) {
        ::SetWindowLongA(m_hWnd, GWL_STYLE, wanted);
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
    }
    SetWindowLongPtr(GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&context));
    return 0;
}

LRESULT CFrameWindow::OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (!GetLivePage()) {
        bHandled = FALSE;
        return 0;
    }
    return ::SendMessageA(currentPageWindow, WM_ACTIVATE, wParam, lParam);
}

LRESULT CFrameWindow::OnQueryEndSession(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (!GetLivePage())
        return TRUE;
    return ::SendMessageA(currentPageWindow, WM_QUERYENDSESSION, wParam, lParam);
}

LRESULT CFrameWindow::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (!wParam) {
        bHandled = FALSE;
        return 0;
    }
    PaintBackground(reinterpret_cast<HDC>(wParam));
    return 1;
}

void CFrameWindow::PaintBackground(HDC dc)
{
    RECT client;
    GetClientRect(&client);
    const int clientWidth = client.right - client.left;
    BITMAP picture = {};
    if (defaultBackground)
        ::GetObjectA(defaultBackground, sizeof picture, &picture);
    if (clientWidth > picture.bmWidth)
        ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    CMemoryDC memory(dc);
    if (!memory)
        return;
    HBITMAP shown = backgroundOverride ? backgroundOverride : defaultBackground.Get();
    if (shown)
        memory.Select(shown);
    ::BitBlt(dc, (clientWidth - picture.bmWidth) / 2, 0, clientWidth, picture.bmHeight, memory, 0, 0, SRCCOPY);
}

LRESULT CFrameWindow::OnWindowPosChanging(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (GetLivePage())
        ::SendMessageA(currentPageWindow, WM_KAVO_PAGE, PAGECMD_FRAMEMOVING, 0);
    bHandled = FALSE;
    return 0;
}

LRESULT CFrameWindow::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (wParam != SC_CLOSE) {
        bHandled = FALSE;
        return 0;
    }
    // The frame never closes itself: the page asks the user and ends the wizard.
    if (GetLivePage())
        ::PostMessageA(currentPageWindow, WM_COMMAND, ID_PAGE_CLOSE, 0);
    return 0;
}

LRESULT CFrameWindow::OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    HMENU system = GetSystemMenu(FALSE);
    if (system && (::GetMenuState(system, SC_CLOSE, MF_BYCOMMAND) & (MF_DISABLED | MF_GRAYED)))
        ::EnableMenuItem(reinterpret_cast<HMENU>(wParam), SC_CLOSE, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
    bHandled = FALSE;
    return 0;
}

LRESULT CFrameWindow::OnPageCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    switch (wParam) {
    case PAGECMD_SETPAGE:
        SetCurrentPage(reinterpret_cast<CWBDialog*>(lParam), 0);
        break;
    case PAGECMD_SETBUSY:
        busy = lParam != 0;
        break;
    case PAGECMD_SETBACKGROUND:
        backgroundOverride = reinterpret_cast<HBITMAP>(lParam);
        RedrawWindow(RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
        break;
    default:
        break;
    }
    return 0;
}
