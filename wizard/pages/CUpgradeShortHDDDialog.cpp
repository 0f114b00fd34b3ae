#include "CUpgradeShortHDDDialog.h"

CUpgradeShortHDDDialog::CUpgradeShortHDDDialog() = default;

CUpgradeShortHDDDialog::~CUpgradeShortHDDDialog() = default;
