#include "CPostUpgradeDialog.h"

CPostUpgradeDialog::CPostUpgradeDialog() = default;

CPostUpgradeDialog::~CPostUpgradeDialog() = default;
