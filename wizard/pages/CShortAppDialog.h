#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

// The opening of the system's program removal window, as the removal button does it.
using ProgramsAndFeaturesOpener = void (*)();
// The start of the connection-tool killer from its whole command line; FALSE when it did not
// start.
using ConnectionToolStarter = BOOL (*)(char* commandLine);

// The killer beside the host program, quoted: its folder may hold blanks. Empty when the
// host's path is unknown.
CString ConnectionToolKillerCommandLine(const char* hostPath);

class CShortAppDialog : public CKAVODlg<CShortAppDialog, IDD_SHORTAPP> {
public:
    static constexpr const char* kStepLetters = "C";
    static constexpr bool kCloseEnabled = true;

    CShortAppDialog();
    ~CShortAppDialog() override;

    BOOL ResolveEntity(CString& text) override;
    // Lists each conflicting program once, then tells a waiting launcher host that the
    // wizard has stopped ("KAVO_OSA_EVENT_STOP").
    void LoadBrowserContent(WORD controlId) override;

    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;

    BEGIN_MSG_MAP(CShortAppDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSession)
        VISIBLE_COMMAND_ID_HANDLER(IDC_DEL, OnRemoveCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // The base start-up, then the connection tool is stopped so that software can be removed.
    LRESULT OnInitDialog(HWND focus, LPARAM initParam);
    // Opens the program removal window, once for clicks that come within a second.
    void OnRemove();

    // Each puts its seam in place (null restores the system's) and returns the one it
    // replaced; tests count what the page does with them.
    static ProgramsAndFeaturesOpener SetProgramsAndFeaturesOpener(ProgramsAndFeaturesOpener opener);
    static ConnectionToolStarter SetConnectionToolStarter(ConnectionToolStarter starter);

protected:
    void StartConnectionToolKiller();

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    // The software names stand out in red; the base gives the brush.
    LRESULT OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    // Removing software may need a restart: the companion brings the wizard back afterwards.
    LRESULT OnQueryEndSession(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRemoveCommand(WORD, WORD, HWND, BOOL&);

    bool m_removalOpened = false;
    DWORD m_removalOpenedAt = 0;
};
