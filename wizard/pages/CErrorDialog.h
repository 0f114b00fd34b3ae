#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CErrorDialog : public CKAVODlg<CErrorDialog, IDD_ERROR> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CErrorDialog();
    ~CErrorDialog() override;
    void InitTexts() override;

    // The code whose message the page shows; the page fills it when it starts.
    CString m_pageCode;

    // Content and entities: the message of ERR_ and the page's code.
    void LoadBrowserContent(WORD controlId) override;
    BOOL ResolveEntity(CString& text) override;

private:
    // Set while the message text is expanded, which must not hold itself.
    bool m_expandingMessage = false;
};
