#pragma once
// Message maps: a class lists the messages it handles; an unhandled message goes on to the
// next entry, a chained map, and finally the default processing. bHandled is local to each
// dispatch, so a nested message or a chained map can never change the outer one's answer.
#include <windows.h>

class CMessageMap {
public:
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                                      DWORD dwMsgMapID = 0) = 0;
};

#define BEGIN_MSG_MAP(theClass)                                                                                     \
public:                                                                                                             \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,                 \
                              DWORD dwMsgMapID = 0) override                                                        \
    {                                                                                                               \
        BOOL bHandled = TRUE;                                                                                       \
        (void)hWnd;                                                                                                 \
        (void)uMsg;                                                                                                 \
        (void)wParam;                                                                                               \
        (void)lParam;                                                                                               \
        (void)lResult;                                                                                              \
        (void)bHandled;                                                                                             \
        switch (dwMsgMapID) {                                                                                       \
        case 0:

#define MESSAGE_HANDLER(msg, func)                                                                                  \
    if (uMsg == (msg)) {                                                                                            \
        bHandled = TRUE;                                                                                            \
        lResult = func(uMsg, wParam, lParam, bHandled);                                                             \
        if (bHandled)                                                                                               \
            return TRUE;                                                                                            \
    }

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func)                                                              \
    if (uMsg >= (msgFirst) && uMsg <= (msgLast)) {                                                                  \
        bHandled = TRUE;                                                                                            \
        lResult = func(uMsg, wParam, lParam, bHandled);                                                             \
        if (bHandled)                                                                                               \
            return TRUE;                                                                                            \
    }

#define COMMAND_ID_HANDLER(id, func)                                                                                \
    if (uMsg == WM_COMMAND && (id) == LOWORD(wParam)) {                                                             \
        bHandled = TRUE;                                                                                            \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);                   \
        if (bHandled)                                                                                               \
            return TRUE;                                                                                            \
    }

#define COMMAND_CODE_HANDLER(code, func)                                                                            \
    if (uMsg == WM_COMMAND && (code) == HIWORD(wParam)) {                                                           \
        bHandled = TRUE;                                                                                            \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);                   \
        if (bHandled)                                                                                               \
            return TRUE;                                                                                            \
    }

#define CHAIN_MSG_MAP(theChainClass)                                                                                \
    if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))                                   \
        return TRUE;

#define REFLECT_NOTIFICATIONS()                                                                                     \
    {                                                                                                               \
        bHandled = TRUE;                                                                                            \
        lResult = this->ReflectNotifications(uMsg, wParam, lParam, bHandled);                                       \
        if (bHandled)                                                                                               \
            return TRUE;                                                                                            \
    }

#define END_MSG_MAP()                                                                                               \
    break;                                                                                                          \
    default:                                                                                                        \
        break;                                                                                                      \
        }                                                                                                           \
        return FALSE;                                                                                               \
    }

// Reflected notifications arrive at the control that sent them with this offset.
enum : UINT { OCM__BASE = WM_USER + 0x1c00 };
