#pragma once
// A top-level frame window of a named window class.
#include "CWindowImpl.h"

#define DECLARE_FRAME_WND_CLASS(name, resourceId)                                                                   \
    static const char* GetWndClassName() { return name; }

template <typename T>
class CFrameWindowImpl : public CWindowImpl<T> {
public:
    HWND CreateEx(HWND parent = nullptr, const RECT* rect = nullptr, DWORD style = WS_OVERLAPPEDWINDOW,
                  DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, void* param = nullptr)
    {
        return CWindowImpl<T>::Create(parent, rect, nullptr, style, exStyle, nullptr, param);
    }
};
