#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CPostInstallDialog : public CKAVODlg<CPostInstallDialog, IDD_POSTINSTALL> {
public:
    static constexpr const char* kStepLetters = "F";
    static constexpr bool kCloseEnabled = true;

    CPostInstallDialog();
    ~CPostInstallDialog() override;

    // Any "&KEY;" that names a definition text gives that text, expanded in its turn.
    BOOL ResolveEntity(CString& text) override;
    BOOL ResolveDefinitionEntity(CString& text);
    void LoadBrowserContent(WORD controlId) override;

private:
    // The keys being expanded: a text that names itself, directly or through others, keeps
    // that token instead of expanding without end.
    CSimpleArray<CString> m_keysInExpansion;

public:
    void InitTexts() override;

    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;
};
