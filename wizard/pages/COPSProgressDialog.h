#pragma once
#include "CKAVODlg.h"
#include "CStringT.h"
#include "resource.h"

class COpsRequest;

class COPSProgressDialog : public CKAVODlg<COPSProgressDialog, IDD_OPSPROGRESS> {
public:
    static constexpr const char* kStepLetters = "S";
    static constexpr bool kCloseEnabled = false;

    COPSProgressDialog();
    // Waits for a request still running: its worker writes into the context until it ends.
    ~COPSProgressDialog() override;
    void InitFonts() override;

    BEGIN_MSG_MAP(COPSProgressDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageMessage)
        MESSAGE_HANDLER(WM_KAVO_REQUESTDONE, OnRequestDoneMessage)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // The base start-up, then static 230 shows "COPSProgressDialog::MessageText".
    LRESULT OnInitDialog(HWND focus, LPARAM initParam);
    // The frame's start notice: the marquee runs and the request named by
    // "COPSProgressDialog::ProcID" starts.
    void StartRequest();
    // The end of the request that lParam names: the page named by
    // "COPSProgressDialog::ErrorPage" after a failure, else by "COPSProgressDialog::NextPage";
    // a name that names no page ends the wizard.
    void OnRequestDone(COpsRequest* request);

    // The running request, owned by the page until its end arrives; null when none runs.
    COpsRequest* m_request = nullptr;

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnRequestDoneMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);

    // The id text the running request reads; it must outlive the run.
    CString m_procId;
};
