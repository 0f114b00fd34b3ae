#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CMotdDialog : public CKAVODlg<CMotdDialog, IDD_MOTD> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CMotdDialog();
    ~CMotdDialog() override;

    // The notice body as it came, without entity expansion: the operator's text is shown as
    // it was written.
    void LoadBrowserContent(WORD controlId) override;
};
