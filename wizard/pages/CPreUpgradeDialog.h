#pragma once
#include "CCheckRequirement.h"
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CPreUpgradeDialog : public CKAVODlg<CPreUpgradeDialog, IDD_PREUPGRADE> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    // api: the system functions the check probes through; null means the running system's.
    explicit CPreUpgradeDialog(const SystemApiTable* api = nullptr);
    ~CPreUpgradeDialog() override;

    BEGIN_MSG_MAP(CPreUpgradeDialog)
        VISIBLE_COMMAND_ID_HANDLER(IDC_UPGRADE, OnUpgradeCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDCANCEL, OnCancelCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // Checks the PC (unless the definitions skip it) and stops at the upgrade's shortfall
    // page; otherwise takes the sign-in, refreshes the grants of the installed product's
    // serial and goes on to the upgrade's licence terms.
    void OnUpgrade();

    // "&PRE_UPGRADE_MESSAGE;": the message for the installed version, from the most
    // specific key the definitions have down to the general one.
    BOOL ResolveEntity(CString& text) override;
    void LoadBrowserContent(WORD controlId) override;

private:
    LRESULT OnUpgradeCommand(WORD, WORD, HWND, BOOL&);
    // Back to the normal flow's sign-in.
    LRESULT OnCancelCommand(WORD, WORD, HWND, BOOL&);
    // The sign-in from the launcher block when it names both, else the saved one.
    void TakeSignIn();
    void RefreshProductGrants();

    CCheckRequirement m_check;
    // Set while the message is expanded: a message that names itself keeps that token.
    bool m_expandingMessage = false;

public:
    void InitTexts() override;
    void InitFonts() override;
};
