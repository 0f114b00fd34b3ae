#pragma once
// Lists the blocking products that the firewall check found (context value
// "_FoundFirewalls", one per "\r\n" line) and holds the wizard until the user goes on.
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CFirewallFoundDialog : public CKAVODlg<CFirewallFoundDialog, IDD_FIREWALLFOUND> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CFirewallFoundDialog();

    BEGIN_MSG_MAP(CFirewallFoundDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_MAIN_NEXT, OnNextCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    void InitTexts() override;
    void InitFonts() override;
    // The page HTML with one escaped item per found name; the context's values go with it.
    void LoadBrowserContent(WORD controlId) override;

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnNextCommand(WORD, WORD, HWND, BOOL&);
};

// Signals the named event when it exists.
void SignalNamedEvent(const char* name);
