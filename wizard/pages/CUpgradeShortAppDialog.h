#pragma once
// Conflicting software met while upgrading.
#include "CShortAppDialog.h"

class CUpgradeShortAppDialog : public CShortAppDialog {
public:
    CUpgradeShortAppDialog();
    ~CUpgradeShortAppDialog() override;
};
