#pragma once
// The window of a control that is a dialog: the template T::IDD, made as a child of the
// container's window when the control goes in-place active and destroyed when it leaves. The
// control object owns the window; the COM references, never the window, decide when the
// object goes.
#include "CComControlBase.h"
#include "CDialogImpl.h"

template <typename T>
class CComCompositeControl : public CDialogImpl<T>, public CComControlBase {
public:
    HWND ControlWindow() const override { return this->m_hWnd; }
    HWND CreateControlWindow(HWND parent, const RECT& position) override
    {
        HWND window = CDialogImpl<T>::Create(parent);
        if (!window)
            return nullptr;
        ::MoveWindow(window, position.left, position.top, position.right - position.left,
                     position.bottom - position.top, FALSE);
        return window;
    }
    void DestroyControlWindow() override
    {
        if (this->m_hWnd)
            ::DestroyWindow(this->m_hWnd);
    }

    // The extent of the template's size, in HIMETRIC, from the system's dialog base units.
    static SIZEL TemplateExtent(HINSTANCE module)
    {
        SIZE pixels = {0, 0};
        HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(T::IDD), MAKEINTRESOURCEA(5));
        HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
        const auto* words = static_cast<const WORD*>(loaded ? ::LockResource(loaded) : nullptr);
        if (words) {
            // An extended template starts with 1, 0xFFFF and has its width 22 bytes in; a
            // plain one has it 14 bytes in; the height follows the width.
            const bool extended = words[0] == 1 && words[1] == 0xFFFF;
            const auto* size = reinterpret_cast<const short*>(reinterpret_cast<const BYTE*>(words) + (extended ? 22 : 14));
            const LONG units = ::GetDialogBaseUnits();
            pixels.cx = ::MulDiv(size[0], LOWORD(units), 4);
            pixels.cy = ::MulDiv(size[1], HIWORD(units), 8);
        }
        return AtlPixelToHiMetric(pixels);
    }

protected:
    CComCompositeControl() = default;
};
