#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CInstallFailedDialog : public CKAVODlg<CInstallFailedDialog, IDD_INSTALLFAILED> {
public:
    static constexpr const char* kStepLetters = "F";
    static constexpr bool kCloseEnabled = true;

    // Starts program with params; false when it could not be started. The default opens it
    // with the shell; tests put a recorder in its place.
    using ProgramStarter = bool (*)(const char* program, const char* params);
    // Returns the starter it replaced; null restores the default.
    static ProgramStarter SetProgramStarter(ProgramStarter starter);

    CInstallFailedDialog();
    ~CInstallFailedDialog() override;

    BEGIN_MSG_MAP(CInstallFailedDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_INSTALL, OnInstallCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    BOOL ResolveEntity(CString& text) override;
    // The installer's own failures have documents of their own.
    void LoadBrowserContent(WORD controlId) override;

    void InitTexts() override;

    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;

    // Base initialisation; an unknown failure shows as "EXG9999", and an installation that
    // ended unconfirmed removes the companion's RunOnce value at exit.
    LRESULT OnFailedInit(HWND focus, LPARAM initParam);
    // After the customer agrees: the host's update page, else the main program started anew
    // in restart mode and the wizard ends. The phase and SerialID are cleared either way.
    void RestartAfterInstallFailure();

protected:
    // The host's "CUpdateDialog" is shown with clear; without one the main program starts
    // with params and the wizard ends.
    void RestartWith(int clear, const char* params);

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnInstallCommand(WORD, WORD, HWND, BOOL&);
};
