#pragma once
// Private window messages between the pages and the frame. The programs and the core library
// use the same numbers.
#include <windows.h>

#include "resource.h"

enum : UINT {
    WM_KAVO_PAGE = WM_USER + 0x3001,
    WM_KAVO_REQUESTDONE = WM_USER + 0x3002,
    WM_KAVO_INSTALLPROGRESS = WM_USER + 0x3003,
    WM_KAVO_UPDATEPROGRESS = WM_USER + 0x3004,
};

// wParam of WM_KAVO_PAGE. 0 means "show this page" to the frame and "you are shown" to a page.
enum : WPARAM {
    PAGECMD_SETPAGE = 0,
    PAGECMD_START = 0,
    PAGECMD_FRAMEMOVING = 0x1000,
    PAGECMD_SETBUSY = 0x1001,
    PAGECMD_BUSYINPUT = 0x1002,
    PAGECMD_SETBACKGROUND = 0xFFFF,
    PAGECMD_NAVERROR = WPARAM(-1),
};
