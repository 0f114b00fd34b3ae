#pragma once
// Every wizard page derives from CKAVODlg<T, IDD>. The shared behaviour lives in
// CKAVODlgBase: creation inside the frame, the step bar, the hand-over to the next page and
// the close confirmation. A page deletes itself after its window's last message; a context
// that the page made for itself goes with it, a context it was given never does.
#include "CSimpleArray.h"
#include "CWBDialog.h"
#include "KavoMessages.h"

class CKAVODlgBase : public CWBDialog {
public:
    CKAVODlgBase(WORD dialogId, WORD browserId, const char* stepLetters, bool closeEnabled);
    ~CKAVODlgBase() override;

    BEGIN_MSG_MAP(CKAVODlgBase)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSession)
        MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        COMMAND_ID_HANDLER(ID_PAGE_CLOSE, OnCloseCommandMessage)
        CHAIN_MSG_MAP(CWBDialog)
    END_MSG_MAP()

    void OnFinalMessage(HWND hWnd) override;
    LRESULT OnCancel(WORD notifyCode, WORD id, HWND control) override;
    BOOL SetCurrentStep(const char* letters) override;
    // The first completed document of the main browser is the moment to write the page's
    // HTML; every later one only gets the default style sheet.
    void __stdcall DocumentComplete(IDispatch* browser, VARIANT* url) override;
    void ItemDocumentComplete(WORD itemId, IDispatch* browser, VARIANT* url) override;
    // The names every page shares; page classes call it for the names they do not know.
    BOOL ResolveEntity(CString& text) override;

    LRESULT OnInitDialog(HWND focus, LPARAM initParam);
    // Lets the next page (and the pages it names in its place) decide, tells the frame which
    // one to show, and destroys this page. clear forgets the flow's data also when a page
    // accepts itself.
    void GoToPage(CWBDialog* next, int clear);
    LRESULT OnCloseCommand(WORD notifyCode, WORD id, HWND control);
    // Each "&name;" goes through this page's ResolveEntity; unknown tokens stay.
    void ExpandEntities(CString& text);
    // A missing key yields "" and gains an empty entry in the store.
    void GetExpandedText(CString& out, const char* key);
    // A fire-and-forget GET of the expanded text of key: the operator's counters, whose
    // answers nobody reads.
    void SendPing(const char* key);
    void OnDrawStepBar(UINT controlId, const DRAWITEMSTRUCT* item);

    BOOL m_keepParent = FALSE;
    BOOL m_mainDocumentLoaded = FALSE;
    BOOL m_closeQueryShown = FALSE;
    CSimpleArray<int> m_itemsLoaded;
    CPageContext* m_context = nullptr;

private:
    LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnQueryEndSession(UINT, WPARAM, LPARAM, BOOL&) { return TRUE; }
    LRESULT OnDrawItem(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnCloseCommandMessage(WORD notifyCode, WORD id, HWND control, BOOL&);

    const char* const m_stepLetters;
    const bool m_closeEnabled;
};

// T names its step letters (kStepLetters, or nullptr) and whether the frame's Close command
// stays available while it is shown (kCloseEnabled).
template <typename T, WORD t_IDD>
class CKAVODlg : public CKAVODlgBase {
public:
    enum { IDD = t_IDD };
    explicit CKAVODlg(WORD browserId = 200) : CKAVODlgBase(t_IDD, browserId, T::kStepLetters, T::kCloseEnabled) {}
};
