#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CPreUpgradeDialog : public CKAVODlg<CPreUpgradeDialog, IDD_PREUPGRADE> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CPreUpgradeDialog();
    ~CPreUpgradeDialog() override;

    // "&PRE_UPGRADE_MESSAGE;": the message for the installed version, from the most
    // specific key the definitions have down to the general one.
    BOOL ResolveEntity(CString& text) override;
    void LoadBrowserContent(WORD controlId) override;

private:
    // Set while the message is expanded: a message that names itself keeps that token.
    bool m_expandingMessage = false;

public:
    void InitTexts() override;
    void InitFonts() override;
};
