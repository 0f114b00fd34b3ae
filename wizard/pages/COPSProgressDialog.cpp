#include "COPSProgressDialog.h"

// No browser control: the page shows its progress or result in plain controls.
COPSProgressDialog::COPSProgressDialog() : CKAVODlg(0xFFFF) {}

COPSProgressDialog::~COPSProgressDialog() = default;
