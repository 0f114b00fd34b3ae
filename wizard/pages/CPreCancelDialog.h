#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CPreCancelDialog : public CKAVODlg<CPreCancelDialog, IDD_PRECANCEL> {
public:
    static constexpr const char* kStepLetters = "=LPDt";
    static constexpr bool kCloseEnabled = false;

    CPreCancelDialog();
    ~CPreCancelDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;

    // Content and entities.
    void LoadBrowserContent(WORD controlId) override;
    BOOL ResolveEntity(CString& text) override;
    // One row per serial still to be cancelled that the last answer lists, in that order.
    CString BuildSerialList();

    // The SerialIDs still to be cancelled, in the order the customer's choice gave them.
    CSimpleArray<CString> m_pendingSerials;

private:
    // Set while the row templates are read, which must not hold the list itself.
    bool m_buildingList = false;
};
