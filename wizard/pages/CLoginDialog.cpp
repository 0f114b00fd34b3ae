#include "CLoginDialog.h"

CLoginDialog::CLoginDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CLoginDialog::~CLoginDialog() = default;
