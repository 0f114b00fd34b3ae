#pragma once
// The update-check page: runs the self-update when the frame starts it and turns the
// worker's result into the next page.
#include "CKAVODlg.h"
#include "resource.h"

class CUpdateDialog : public CKAVODlg<CUpdateDialog, IDD_UPDATE> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CUpdateDialog();

    BEGIN_MSG_MAP(CUpdateDialog)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageMessage)
        MESSAGE_HANDLER(WM_KAVO_UPDATEPROGRESS, OnUpdateProgressMessage)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    void InitTexts() override;
    void InitFonts() override;

protected:
    // A page or sequence of the core library; tests put a core of their own in its place.
    virtual CWBDialog* CreateCorePage(const char* name);

private:
    LRESULT OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnUpdateProgressMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    void ShowText(const char* key);
    void GoToErrorPage(const char* code);
};
