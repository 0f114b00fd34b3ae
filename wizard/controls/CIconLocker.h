#pragma once
// Keeps a window's icon as it is: WM_SETICON is swallowed while attached (SubclassWindow),
// every other message goes to the window's own procedure. Whoever attaches it owns it and
// detaches it (UnsubclassWindow, or by destroying it) before the window goes.
#include <windows.h>

#include "CWindowImpl.h"

class CIconLocker : public CWindowImpl<CIconLocker> {
public:
    CIconLocker() = default;
    ~CIconLocker() override;

    BEGIN_MSG_MAP(CIconLocker)
        MESSAGE_HANDLER(WM_SETICON, OnSetIcon)
    END_MSG_MAP()

private:
    LRESULT OnSetIcon(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
};
