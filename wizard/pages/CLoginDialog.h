#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "controls/CCustomerIdEdit.h"
#include "resource.h"

class CLoginDialog : public CKAVODlg<CLoginDialog, IDD_LOGIN> {
public:
    static constexpr const char* kStepLetters = "=Lp";
    static constexpr bool kCloseEnabled = true;

    CLoginDialog();
    ~CLoginDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    BEGIN_MSG_MAP(CLoginDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        COMMAND_CODE_HANDLER(EN_SETFOCUS, OnEditSetFocus)
        COMMAND_CODE_HANDLER(EN_CHANGE, OnInputChangeCommand)
        COMMAND_CODE_HANDLER(1, OnInputChangeCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_MASK, OnMaskCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_LOGIN, OnLoginCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // Content and entities: the sign-in text, or the refused sign-in's message when the
    // context's "CLoginDialog::InitialState" is "ERROR".
    void LoadBrowserContent(WORD controlId) override;
    BOOL ResolveEntity(CString& text) override;
    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;

    // The base start-up, then the fields: the launcher's customer id and access key in run
    // modes 2 and 3, else the saved ones (none saved: empty); key hidden, keep box on.
    LRESULT OnInitDialog(HWND focus, LPARAM initParam);
    // Cuts the access key before its first character that is no ASCII letter or digit (with a
    // beep); the login button is enabled only for a full customer id and access key.
    void OnInputChange();
    // Signs in with request "1001": on to the contract list, back to the fields with the
    // refusal's message, or to the error page.
    void OnLogin();

    enum class SignIn { Accepted, Refused, Failed };
    // What a waiting run of "1001" that returned runResult means. The run's own outcome comes
    // first: a run that failed on the way or brought no readable answer is a failure whatever
    // ResultCode the context holds.
    static SignIn JudgeSignIn(int runResult, const CPageContext& context);

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnEditSetFocus(WORD, WORD id, HWND control, BOOL& handled);
    LRESULT OnInputChangeCommand(WORD, WORD, HWND, BOOL&);
    // Shows the access key as typed, or masked again.
    LRESULT OnMaskCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnLoginCommand(WORD, WORD, HWND, BOOL&);
    // The fields and buttons that a running sign-in locks.
    void EnableInput(BOOL enable);
    CString ItemText(int id) const;

    CCustomerIdEdit m_customerIdEdit;
};
