#include "CMotdDialog.h"

CMotdDialog::CMotdDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CMotdDialog::~CMotdDialog() = default;
