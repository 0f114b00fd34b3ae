#include "CSignupDialog.h"

// No browser control: the page shows its progress or result in plain controls.
CSignupDialog::CSignupDialog() : CKAVODlg(0xFFFF) {}

CSignupDialog::~CSignupDialog() = default;
