#include "CPreUpgradeDialog.h"

CPreUpgradeDialog::CPreUpgradeDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPreUpgradeDialog::~CPreUpgradeDialog() = default;
