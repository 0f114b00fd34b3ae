#pragma once
#include "CCheckRequirement.h"
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CCheckComputerDialog : public CKAVODlg<CCheckComputerDialog, IDD_CHECKCOMPUTER> {
public:
    static constexpr const char* kStepLetters = "C";
    static constexpr bool kCloseEnabled = false;

    // api: the system functions the check probes through; null means the running system's.
    explicit CCheckComputerDialog(const SystemApiTable* api = nullptr);
    ~CCheckComputerDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;

    BEGIN_MSG_MAP(CCheckComputerDialog)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_START, OnStartCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_NEXT, OnNextCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // Fills the six result rows from this page's check and the context, shows the notice and
    // turns the start button into the next button.
    void ShowResults();
    // A shortfall page for what fell short, else on by the order.
    void OnNext();

    // "%s (%dMHz)" of the processor without line breaks, tabs, "CPU " and trade marks, with
    // single blanks and trimmed.
    static CString FormatProcessorText(const char* name, DWORD mhz);

private:
    LRESULT OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnPageCommand(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnStartCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnNextCommand(WORD, WORD, HWND, BOOL&);
    // Runs the check into the context with the wait cursor up.
    void RunCheck(HWND window, CPageContext* context);
    void SetMark(int id, RequirementIndex item);
    void MakeNextButton();

    CCheckRequirement m_check;
    // The results in the context come from m_check only after it ran; a page that the wizard
    // started at directly has results that nothing set.
    bool m_checkRan = false;
    // Behind the notice; made on first use, deleted with the page.
    HBRUSH m_noticeBrush = nullptr;
    // The marks shown, deleted with the page.
    HBITMAP m_marks[REQ_COUNT] = {};
};
