#include "CPreSignupDialog.h"

CPreSignupDialog::CPreSignupDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPreSignupDialog::~CPreSignupDialog() = default;
