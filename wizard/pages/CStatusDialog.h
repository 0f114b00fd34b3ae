#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CStatusDialog : public CKAVODlg<CStatusDialog, IDD_STATUS> {
public:
    static constexpr const char* kStepLetters = "=Lp";
    static constexpr bool kCloseEnabled = true;

    CStatusDialog();
    ~CStatusDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;

    // Content and entities: the page is rebuilt from the last order-system answer.
    void LoadBrowserContent(WORD controlId) override;
    BOOL ResolveEntity(CString& text) override;
    // One row of the definition's serial template per serial of the answer, in list order.
    CString BuildSerialStatusList();

    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;

    // Counted by LoadBrowserContent from the answer.
    int m_activeContracts = 0;
    int m_liveSerials = 0;
    int m_unstartedSerials = 0;
    // The characters that the page's last input check rejected.
    CString m_errorChar;

    // The pale fill behind the group boxes, also the modify page's.
    void DoPaint(HDC dc) override;
    // Fills behind group box id in pale yellow, its top moved down to the middle of its
    // caption; nothing when the page has no such control.
    static void DrawGroupFrame(HWND page, HDC dc, int id);

private:
    // The expanded text of key as the browser's document.
    void WriteExpandedHtml(const char* key);

    // Set while a text goes into the browser, where server texts are escaped, and while
    // the row template is read, which must not hold the list itself.
    bool m_expandingHtml = false;
    bool m_buildingList = false;
};
