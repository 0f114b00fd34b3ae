#include "CPostCancelDialog.h"

// No browser control: the page shows its progress or result in plain controls.
CPostCancelDialog::CPostCancelDialog() : CKAVODlg(0xFFFF) {}

CPostCancelDialog::~CPostCancelDialog() = default;
