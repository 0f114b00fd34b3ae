#pragma once
// Message-map entry for a page's button: a command from a control that is not shown is
// swallowed, so a hidden button cannot act through its mnemonic key or a posted command.
#include <windows.h>

#include "CMessageMap.h"

// True when page has a control with that id and the control itself has WS_VISIBLE (the
// page's own visibility does not count).
inline bool IsDlgItemShown(HWND page, int id)
{
    const HWND control = ::GetDlgItem(page, id);
    return control && (::GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

#define VISIBLE_COMMAND_ID_HANDLER(id, func)                                                                        \
    if (uMsg == WM_COMMAND && (id) == LOWORD(wParam)) {                                                             \
        bHandled = TRUE;                                                                                            \
        lResult = IsDlgItemShown(hWnd, (id))                                                                        \
                      ? func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled)              \
                      : 0;                                                                                          \
        if (bHandled)                                                                                               \
            return TRUE;                                                                                            \
    }
