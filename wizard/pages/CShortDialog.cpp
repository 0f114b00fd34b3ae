#include "CShortDialog.h"

CShortDialog::CShortDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CShortDialog::~CShortDialog() = default;
