#pragma once
#include "CGdiObjects.h"
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "controls/CByteLimitEdit.h"
#include "resource.h"

class CRegClientDialog : public CKAVODlg<CRegClientDialog, IDD_REGCLIENT> {
public:
    static constexpr const char* kStepLetters = "IR";
    static constexpr bool kCloseEnabled = false;

    CRegClientDialog();
    ~CRegClientDialog() override;

    // "&ErrorChar;": the characters the nickname check rejected.
    BOOL ResolveEntity(CString& text) override;
    // The consent page comes from the content server, not from the definitions.
    void LoadBrowserContent(WORD controlId) override;

    // What the last nickname check rejected, for its message.
    CString m_errorChars;
    // Set when the consent page could not be loaded; a new load starts cleared.
    BOOL m_navigationFailed = FALSE;

    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;

    // The consent page's browser: a page that cannot be loaded gives way to the fallback
    // HTML, written once per failure; the buttons stay as they are.
    BEGIN_MSG_MAP(CRegClientDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageMessage)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        COMMAND_CODE_HANDLER(EN_SETFOCUS, OnEditSetFocus)
        COMMAND_CODE_HANDLER(EN_CHANGE, OnEditChange)
        VISIBLE_COMMAND_ID_HANDLER(IDC_NEXT, OnNextCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_CUSTOMIZE, OnNextCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // The base start-up, then the fields from the serial to install: a serial already being
    // installed (status 2 or 4) shows its own values locked, a serial in use its own values,
    // any other the computer's name and the launcher's or the customer's mail address.
    LRESULT OnInitDialog(HWND focus, LPARAM initParam);
    // The frame's start notice: with no serial to install the page gives way to the error
    // page ("E_UNEXPECTED") before anything is sent.
    void OnStart();
    // Checks the fields and registers the serial ("1005"), re-installs it through the
    // progress page ("1006"), or goes straight on when it is already being installed.
    void OnNext();

    // Set for a serial in status 2 or 4: its fields are locked and no request is sent.
    BOOL m_inProgress = FALSE;

    void __stdcall DocumentComplete(IDispatch* browser, VARIANT* url) override;
    void __stdcall NavigateError(IDispatch* browser, VARIANT* url, VARIANT* targetFrame, VARIANT* statusCode,
                                 VARIANT_BOOL* cancel) override;

    // Set when the fallback HTML has been written; a new failure clears it.
    BOOL m_fallbackWritten = FALSE;

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnEditSetFocus(WORD, WORD id, HWND control, BOOL& handled);
    LRESULT OnEditChange(WORD, WORD, HWND, BOOL&);
    LRESULT OnNextCommand(WORD, WORD, HWND, BOOL&);
    // False, with the message shown and the focus on the field, when the typed value stops.
    bool CheckNickName();
    bool CheckMailAddress();
    // The error page with code "E_UNEXPECTED".
    void ShowUnexpectedError();
    CString ItemText(int id) const;

    CByteLimitEdit m_nickNameEdit;
    CByteLimitEdit m_mailEdit;
    // Behind the notice mark 212.
    CBrush m_markBrush;
};
