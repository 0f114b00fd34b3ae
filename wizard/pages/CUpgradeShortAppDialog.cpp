#include "CUpgradeShortAppDialog.h"

CUpgradeShortAppDialog::CUpgradeShortAppDialog() = default;

CUpgradeShortAppDialog::~CUpgradeShortAppDialog() = default;
