#pragma once
// The main program's error page for the context's errorCode ("EXG6001" or "EPN0260").
#include "CKAVODlg.h"
#include "resource.h"

class CKavoErrorDialog : public CKAVODlg<CKavoErrorDialog, IDD_KAVOERROR> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CKavoErrorDialog();

    BEGIN_MSG_MAP(CKavoErrorDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    void InitTexts() override;
    void InitFonts() override;
    // The text of "ERR_" and the error code, expanded.
    void LoadBrowserContent(WORD controlId) override;

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
};
