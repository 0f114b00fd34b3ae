#include "CStartDialog.h"

CStartDialog::CStartDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CStartDialog::~CStartDialog() = default;
