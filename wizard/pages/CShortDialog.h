#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CShortDialog : public CKAVODlg<CShortDialog, IDD_SHORT> {
public:
    static constexpr const char* kStepLetters = "C";
    static constexpr bool kCloseEnabled = true;

    CShortDialog();
    ~CShortDialog() override;

    // The six results, the requirement texts of the OS definition and the error code.
    BOOL ResolveEntity(CString& text) override;
    void LoadBrowserContent(WORD controlId) override;

    void InitTexts() override;
    void InitFonts() override;

    BEGIN_MSG_MAP(CShortDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_NEXT, OnNextCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // An error leaves only the close button, centred where both buttons were; warnings keep
    // the next button. The message is the code's "ERR_" or "WARN_" text.
    LRESULT OnInitDialog(HWND focus, LPARAM initParam);
    // Warnings accepted: on by the order.
    void OnShortfallNext();

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnNextCommand(WORD, WORD, HWND, BOOL&);

    // The notice bitmap shown, deleted with the page.
    HBITMAP m_notice = nullptr;
};
