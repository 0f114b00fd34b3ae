#include "CPostSignupDialog.h"

CPostSignupDialog::CPostSignupDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPostSignupDialog::~CPostSignupDialog() = default;
