#pragma once
// The end of an upgrade; its texts and next page will differ from an installation's.
#include "CPostInstallDialog.h"

class CPostUpgradeDialog : public CPostInstallDialog {
public:
    CPostUpgradeDialog();
    ~CPostUpgradeDialog() override;

    void LoadBrowserContent(WORD controlId) override;

    void InitTexts() override;
};
