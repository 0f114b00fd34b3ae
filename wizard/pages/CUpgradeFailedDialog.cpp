#include "CUpgradeFailedDialog.h"

CUpgradeFailedDialog::CUpgradeFailedDialog() = default;

CUpgradeFailedDialog::~CUpgradeFailedDialog() = default;
