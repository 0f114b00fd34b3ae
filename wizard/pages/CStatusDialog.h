#pragma once
#include "CGdiObjects.h"
#include "CKAVODlg.h"
#include "COpsCustomerData.h"
#include "FormQuery.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CStatusDialog : public CKAVODlg<CStatusDialog, IDD_STATUS> {
public:
    static constexpr const char* kStepLetters = "=Lp";
    static constexpr bool kCloseEnabled = true;

    CStatusDialog();
    ~CStatusDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;

    // Content and entities: the page is rebuilt from the last order-system answer.
    void LoadBrowserContent(WORD controlId) override;
    BOOL ResolveEntity(CString& text) override;
    // One row of the definition's serial template per serial of the answer, in list order.
    CString BuildSerialStatusList();

    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;

    // Counted by LoadBrowserContent from the answer.
    int m_activeContracts = 0;
    int m_liveSerials = 0;
    int m_unstartedSerials = 0;
    // The characters that the page's last input check rejected.
    CString m_errorChar;

    // The pale fill behind the group boxes, also the modify page's.
    void DoPaint(HDC dc) override;
    // Fills behind group box id in pale yellow, its top moved down to the middle of its
    // caption; nothing when the page has no such control.
    static void DrawGroupFrame(HWND page, HDC dc, int id);

    // The page's buttons and its form commands.
    BEGIN_MSG_MAP(CStatusDialog)
        MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_AGREEMENTS, OnContractCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_REFRESH, OnRefreshCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_SHOWEULA, OnTermsCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_ADD, OnAddCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_DEL, OnModifyCommand)
        MESSAGE_HANDLER(WM_CTLCOLORBTN, OnCtlColor)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColor)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // Once the content is shown no navigation leaves the page: a form post becomes a command.
    void __stdcall BeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* targetFrame,
                                   VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel) override;
    // Takes the row's serial into the context and, after any confirmation, posts the action
    // (WM_KAVO_PAGE 1 install, 2 nickname, 3 mail address) to the page itself.
    void OnFormCommand(const FormCommandParams& params);
    // A new contract goes to the requirement check, a change to the cancellation list.
    void OnContract();
    // Fetches the status again and rebuilds the content, or moves to the error page.
    void OnRefresh();
    // 1 install on the chosen serial, 2 change its nickname, 3 its mail address.
    void OnSubAction(WPARAM action);

private:
    LRESULT OnDrawItem(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnContractCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnRefreshCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnTermsCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnAddCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnModifyCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnCtlColor(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnPageCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    // Runs Dialog over the context's field; applied, sends request and refreshes; cancelled,
    // puts the field back.
    template <typename Dialog>
    void ChangeCustomerField(CString COpsCustomerData::*field, const char* requestId);
    void MoveToErrorPage();

    // The page owns both brushes (deleted with the page object, after its window); the
    // banner icon is loaded shared, so the system owns it and nobody destroys it.
    CBrush m_bannerBrush;
    CBrush m_paleBrush;
    HICON m_bannerIcon = nullptr;

private:
    // The expanded text of key as the browser's document.
    void WriteExpandedHtml(const char* key);

    // Set while a text goes into the browser, where server texts are escaped, and while
    // the row template is read, which must not hold the list itself.
    bool m_expandingHtml = false;
    bool m_buildingList = false;
};
