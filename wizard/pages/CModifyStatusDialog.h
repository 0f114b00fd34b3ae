#pragma once
#include "CKAVODlg.h"
#include "resource.h"

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

private:
    // Set while a text goes into the browser, where server texts are escaped, and while
    // the row templates are read, which must not hold the list itself.
    bool m_expandingHtml = false;
    bool m_buildingList = false;
};
