#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CErrorDialog : public CKAVODlg<CErrorDialog, IDD_ERROR> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CErrorDialog();
    ~CErrorDialog() override;
    void InitTexts() override;

    // The code whose message the page shows; the page fills it when it starts.
    CString m_pageCode;
};
