#pragma once
// A requirement shortfall met while upgrading.
#include "CShortDialog.h"

class CUpgradeShortDialog : public CShortDialog {
public:
    CUpgradeShortDialog();
    ~CUpgradeShortDialog() override;
};
