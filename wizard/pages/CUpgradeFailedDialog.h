#pragma once
// An upgrade that failed; its texts and retry will differ from an installation's.
#include "CInstallFailedDialog.h"

class CUpgradeFailedDialog : public CInstallFailedDialog {
public:
    CUpgradeFailedDialog();
    ~CUpgradeFailedDialog() override;

    void LoadBrowserContent(WORD controlId) override;

    void InitTexts() override;
};
