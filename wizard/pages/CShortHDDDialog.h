#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CShortHDDDialog : public CKAVODlg<CShortHDDDialog, IDD_SHORTHDD> {
public:
    static constexpr const char* kStepLetters = "C";
    static constexpr bool kCloseEnabled = true;

    CShortHDDDialog();
    ~CShortHDDDialog() override;

    // The disk figures of the requirement check.
    BOOL ResolveEntity(CString& text) override;
    // One row for each drive of the check's drive mask that answers the size query; a drive
    // that does not answer (no medium, gone) has no row, as its sizes are unknown.
    void LoadBrowserContent(WORD controlId) override;

    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;
};
