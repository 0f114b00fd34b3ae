#include "CInstallDialog.h"

// No browser control: the page shows its progress or result in plain controls.
CInstallDialog::CInstallDialog() : CKAVODlg(0xFFFF) {}

CInstallDialog::~CInstallDialog() = default;
