#include "CUpdateDialog.h"

CUpdateDialog::CUpdateDialog() : CKAVODlg(0xFFFF) {}
