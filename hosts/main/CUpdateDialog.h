#pragma once
// The update-check page. Its check comes with the self-update; until then it only shows.
#include "CKAVODlg.h"
#include "resource.h"

class CUpdateDialog : public CKAVODlg<CUpdateDialog, IDD_UPDATE> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CUpdateDialog();
};
