#pragma once
#include "CGdiObjects.h"
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

struct IHTMLInputElement;

class CModifyStatusDialog : public CKAVODlg<CModifyStatusDialog, IDD_MODIFYSTATUS> {
public:
    static constexpr const char* kStepLetters = "=Lp";
    static constexpr bool kCloseEnabled = true;

    CModifyStatusDialog();
    ~CModifyStatusDialog() override;
    void InitTexts() override;

    DWORD GetHostFlags() override;

    // Content and entities: the page is rebuilt from the last order-system answer.
    void LoadBrowserContent(WORD controlId) override;
    BOOL ResolveEntity(CString& text) override;
    // One check-box row per serial that has been registered (status 0 is left out); each
    // row carries the serial's index in the whole list.
    CString BuildSerialList();

    // The pale fill behind the group box, as on the status page.
    void DoPaint(HDC dc) override;

    // Counted by LoadBrowserContent from the answer.
    int m_activeContracts = 0;
    int m_liveSerials = 0;

    // The choice of serials to cancel.
    BEGIN_MSG_MAP(CModifyStatusDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        MESSAGE_HANDLER(WM_TIMER, OnTimerMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_DEL, OnCancelCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_BACK, OnBackCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    LRESULT OnInitDialog(HWND focus, LPARAM initParam);
    // Every change in the document is looked at once the customer has paused a moment.
    void __stdcall CommandStateChange(long command, VARIANT_BOOL enable) override;
    // Reads the boxes into the selection, keeps them to what may be chosen together, and
    // offers the cancel button only for a selection that may be cancelled.
    void OnSelectionTimer();
    // Hands the selection to the cancellation pages; warns and stays when it may not go.
    void OnCancelSerials();
    // Refreshes the status and returns to the contract list, or to the error page.
    void OnBack();

    // The SerialIDs of the ticked boxes, in serial-list order.
    CSimpleArray<CString> m_selected;
    // Set only by the customer's "ag_all" box: while it is ticked the choice is every serial.
    BOOL m_allFlag = FALSE;

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnTimerMessage(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnCancelCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnBackCommand(WORD, WORD, HWND, BOOL&);
    // At least one serial, and either all of them or no more than leaves BasicSerialCount.
    bool MayCancelSelection() const;

    // Behind the statics; the page owns it, and it goes with the page object.
    CBrush m_brush;

    // Set while a text goes into the browser, where server texts are escaped, and while
    // the row templates are read, which must not hold the list itself.
    bool m_expandingHtml = false;
    bool m_buildingList = false;
};
