#pragma once
// Too little disk space met while upgrading.
#include "CShortHDDDialog.h"

class CUpgradeShortHDDDialog : public CShortHDDDialog {
public:
    CUpgradeShortHDDDialog();
    ~CUpgradeShortHDDDialog() override;
};
