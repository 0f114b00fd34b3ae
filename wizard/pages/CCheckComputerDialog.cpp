#include "CCheckComputerDialog.h"

CCheckComputerDialog::CCheckComputerDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CCheckComputerDialog::~CCheckComputerDialog() = default;
