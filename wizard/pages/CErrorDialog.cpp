#include "CErrorDialog.h"

CErrorDialog::CErrorDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CErrorDialog::~CErrorDialog() = default;
