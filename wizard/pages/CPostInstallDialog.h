#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CPostInstallDialog : public CKAVODlg<CPostInstallDialog, IDD_POSTINSTALL> {
public:
    static constexpr const char* kStepLetters = "F";
    static constexpr bool kCloseEnabled = true;

    CPostInstallDialog();
    ~CPostInstallDialog() override;

    BEGIN_MSG_MAP(CPostInstallDialog)
        VISIBLE_COMMAND_ID_HANDLER(IDC_CLOSE, OnCloseButton)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // Any "&KEY;" that names a definition text gives that text, expanded in its turn.
    BOOL ResolveEntity(CString& text) override;
    BOOL ResolveDefinitionEntity(CString& text);
    void LoadBrowserContent(WORD controlId) override;

protected:
    // Nothing is left to keep: the wizard ends with every clean-up done.
    LRESULT OnCloseButton(WORD, WORD, HWND, BOOL&);

private:
    // The keys being expanded: a text that names itself, directly or through others, keeps
    // that token instead of expanding without end.
    CSimpleArray<CString> m_keysInExpansion;

public:
    void InitTexts() override;

    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;
};
