#pragma once
// The top-level window of the wizard. It owns the run's page context and ends the message
// loop when it is asked to show no page. The module owns the frame object and deletes it
// after the loop; the window is destroyed by the module before that.
#include <windows.h>

#include "CPageContext.h"

class CWBDialog;

class CFrameWindow {
public:
    CFrameWindow();
    ~CFrameWindow();
    CFrameWindow(const CFrameWindow&) = delete;
    CFrameWindow& operator=(const CFrameWindow&) = delete;

    // Hidden until a page is shown. Null when the window could not be made.
    HWND Create();
    // A null page ends the message loop with exitCode.
    void SetCurrentPage(CWBDialog* page, int exitCode);
    int RunMessageLoop();

    HWND m_hWnd = nullptr;
    CPageContext context;
    CWBDialog* currentPage = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

extern const char kFrameWindowClass[];
