#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
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

    BEGIN_MSG_MAP(CShortHDDDialog)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        VISIBLE_COMMAND_ID_HANDLER(IDC_NEXT, OnNextCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // The shortfall accepted: on by the order.
    void OnShortfallNext();

private:
    // The required space stands out in red; the base gives the brush.
    LRESULT OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNextCommand(WORD, WORD, HWND, BOOL&);
};
