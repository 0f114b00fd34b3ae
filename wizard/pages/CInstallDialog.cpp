#include "CInstallDialog.h"

#include "PageTexts.h"

// No browser control: the page shows its progress or result in plain controls.
CInstallDialog::CInstallDialog() : CKAVODlg(0xFFFF) {}

CInstallDialog::~CInstallDialog() = default;

void CInstallDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N09_IDC_STATIC1"},
        {IDC_STATIC2, "B_N09_IDC_STATIC2"},
        {IDC_STATIC3, "B_N09_IDC_STATIC3"},
        {IDC_STATIC4, "B_N09_IDC_STATIC4_0"},
        {IDC_STATIC5, "B_N09_IDC_STATIC5"},
        {IDC_STATIC6, "B_N09_IDC_STATIC6_0"},
        {IDC_STATIC7, "B_N09_IDC_STATIC7"},
        {IDC_STATIC8, "B_N09_IDC_STATIC8_0"},
        {IDC_STATIC9, "B_N09_IDC_STATIC9"},
        {IDC_STATIC10, "B_N09_IDC_STATIC10_0"},
        {IDC_STATIC11, "B_N09_IDC_STATIC11"},
        {IDC_STATIC12, "B_N09_IDC_STATIC12_0"},
        {IDC_STATIC13, "B_N09_IDC_STATIC13"},
    };
    SetPageTexts(*this, kTexts);
}
