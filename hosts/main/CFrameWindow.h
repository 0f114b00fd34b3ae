#pragma once
// The top-level window of the wizard and the thread's message loop. It owns the run's page
// context, shows one page at a time as its child and routes dialog keys to it. The module
// owns the frame object and deletes it after destroying the window. The frame keeps the
// current page's window handle beside its pointer: a page deletes itself when its window
// goes, so the pointer is used only while that window exists.
#include <windows.h>

#include "CFrameWindowImpl.h"
#include "CGdiObjects.h"
#include "CMessageLoop.h"
#include "CPageContext.h"
#include "KavoMessages.h"

class CWBDialog;

class CFrameWindow : public CFrameWindowImpl<CFrameWindow>, public CMessageLoop {
public:
    DECLARE_FRAME_WND_CLASS("KAVOWizardWindowClass", 0)

    CFrameWindow() : CFrameWindow(true) {}
    // opsTraceSwitch: the main program honours the order system's trace switch file; the
    // companion does not.
    explicit CFrameWindow(bool opsTraceSwitch);
    ~CFrameWindow() override;

    BEGIN_MSG_MAP(CFrameWindow)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
        MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSession)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
        MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageCommand)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    // Hidden until the first page is shown. Null when the window could not be made.
    HWND Create();
    // A null page ends the message loop with exitCode.
    void SetCurrentPage(CWBDialog* page, int exitCode);
    int RunMessageLoop() { return Run(); }

    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnIdle(int idleCount) override;

    // The page on screen, or null when there is none or its window is gone.
    CWBDialog* GetLivePage() const;

    CBitmap defaultBackground;
    // The page's picture, which the page keeps and deletes.
    HBITMAP backgroundOverride = nullptr;
    CWBDialog* currentPage = nullptr;
    HWND currentPageWindow = nullptr;
    LONG pageStarted = 0;
    LONG busy = 0;
    CPageContext context;

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnQueryEndSession(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnWindowPosChanging(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnPageCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    void PaintBackground(HDC dc);
};
