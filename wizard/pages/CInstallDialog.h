#pragma once
#include "CGdiObjects.h"
#include "CKAVODlg.h"
#include "CXGInstall.h"
#include "resource.h"

class COpsRequest;

class CInstallDialog : public CKAVODlg<CInstallDialog, IDD_INSTALL> {
public:
    static constexpr const char* kStepLetters = "IR";
    static constexpr bool kCloseEnabled = false;

    CInstallDialog();
    ~CInstallDialog() override;

    BEGIN_MSG_MAP(CInstallDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageMessage)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        MESSAGE_HANDLER(WM_KAVO_REQUESTDONE, OnRequestDoneMessage)
        MESSAGE_HANDLER(WM_KAVO_INSTALLPROGRESS, OnInstallProgressMessage)
        MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSessionMessage)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // One progress report of the installer: phase 0 preparing, 1 downloading (value 1 to
    // 100 a percentage, above 100 done), 2 installing. The steps up to the phase repaint,
    // as their colour follows the kept phase.
    void ShowProgressText(int phase, int value);

    // The kept phase is the current step: -1 until the page is started.
    int m_progressPhase = -1;
    int m_progressValue = 0;
    // Set at initialisation from the Windows version: 6 or later keeps a pending setup in the
    // Task Scheduler, earlier versions in the RunOnce key.
    BOOL m_newerWindows = FALSE;

    // Warns in the normal run mode, shows the first step and sends the PC report, whose end
    // (or, when no report is due, a post of its own) starts the installer.
    void OnStart();
    // request: the report that ended, or null.
    void StartInstaller(LPARAM request);
    // wParam 0: a step report (phase in the low word of lParam, value in the high word);
    // 0xFFFF: the installer's step code in lParam.
    void OnInstallProgress(WPARAM wParam, LPARAM lParam);
    // The companion program finishes the installation at the next logon. Always TRUE.
    BOOL WriteCompletionCommand();

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnRequestDoneMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnInstallProgressMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnQueryEndSessionMessage(UINT, WPARAM, LPARAM, BOOL&);
    // Whether the PC report is sent before the installer starts.
    bool IsReportDue() const;
    void OnInstallerEnded();

    // The mark of a finished step, shared by the step pictures that show it.
    CBitmap m_doneMark;
    // The PC report; its destructor waits for the worker, so the page owns it outright.
    COpsRequest* m_request = nullptr;
    // The installer deletes itself on its worker after its last message; the page keeps only
    // the token that stops its download when the page goes first. Null until it started.
    CXGInstall::CancelToken m_installCancel;

public:
    void InitTexts() override;
};
