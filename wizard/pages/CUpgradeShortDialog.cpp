#include "CUpgradeShortDialog.h"

CUpgradeShortDialog::CUpgradeShortDialog() = default;

CUpgradeShortDialog::~CUpgradeShortDialog() = default;
