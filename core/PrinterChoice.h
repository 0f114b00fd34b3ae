#pragma once
// The printer that the user chooses in the system's print dialog. The dialog's DC and its
// DEVMODE and DEVNAMES blocks belong to this object and go with it, whatever the dialog
// answered.
#include <windows.h>
#include <commdlg.h>

#include "CHandleT.h"

class CPrinterChoice {
public:
    CPrinterChoice() = default;
    CPrinterChoice(const CPrinterChoice&) = delete;
    CPrinterChoice& operator=(const CPrinterChoice&) = delete;

    // All pages, no page range or selection, copies and collation kept in the device mode.
    // True when the user chose a printer; false on cancel or when the dialog fails.
    bool Show(HWND owner);
    // Takes over the DC and blocks that a dialog answer holds; pd's handles are null after.
    void Adopt(PRINTDLGA& pd);
    // A new DC of the chosen driver, device, port and device mode, which the caller deletes;
    // null without a choice or when the driver refuses.
    HDC CreatePrinterDC() const;

private:
    CHandleT<HDC, &::DeleteDC> m_dialogDC;
    CHandleT<HGLOBAL, &::GlobalFree> m_devMode;
    CHandleT<HGLOBAL, &::GlobalFree> m_devNames;
};
