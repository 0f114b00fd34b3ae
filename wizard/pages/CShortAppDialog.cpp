#include "CShortAppDialog.h"

#include <mshtmhst.h>
#include <shlwapi.h>

#include "CHandle.h"
#include "CPageContext.h"
#include "PageTexts.h"
#include "ProgramsAndFeatures.h"
#include "RunOnceAutorun.h"

CShortAppDialog::CShortAppDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CShortAppDialog::~CShortAppDialog() = default;

namespace {

const char kKillerName[] = "veldin_dialupkill.exe";
// Clicks closer together than this open the removal window once.
const DWORD kRemovalGuardMs = 1000;

BOOL StartProcess(char* commandLine)
{
    STARTUPINFOA startup = {};
    ::GetStartupInfoA(&startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return FALSE;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return TRUE;
}

ProgramsAndFeaturesOpener g_opener = OpenProgramsAndFeaturesAsync;
ConnectionToolStarter g_starter = StartProcess;

// The markup characters of a display name; its blanks stay as they are.
CString EscapeBlockerName(const CString& name)
{
    CString escaped = name;
    escaped.Replace("&", "&amp;");
    escaped.Replace("<", "&lt;");
    escaped.Replace(">", "&gt;");
    escaped.Replace("\"", "&quot;");
    return escaped;
}

bool MetBefore(const CSimpleArray<CString>& names, int index)
{
    for (int i = 0; i < index; ++i)
        if (names[i] == names[index])
            return true;
    return false;
}

}  // namespace

CString ConnectionToolKillerCommandLine(const char* hostPath)
{
    char path[MAX_PATH] = {};
    if (!hostPath || !*hostPath || ::lstrlenA(hostPath) >= MAX_PATH)
        return CString();
    ::lstrcpynA(path, hostPath, MAX_PATH);
    ::PathRemoveFileSpecA(path);
    CString commandLine;
    commandLine.Format("\"%s\\%s\"", path, kKillerName);
    return commandLine;
}

ProgramsAndFeaturesOpener CShortAppDialog::SetProgramsAndFeaturesOpener(ProgramsAndFeaturesOpener opener)
{
    const ProgramsAndFeaturesOpener former = g_opener;
    g_opener = opener ? opener : OpenProgramsAndFeaturesAsync;
    return former;
}

ConnectionToolStarter CShortAppDialog::SetConnectionToolStarter(ConnectionToolStarter starter)
{
    const ConnectionToolStarter former = g_starter;
    g_starter = starter ? starter : StartProcess;
    return former;
}

LRESULT CShortAppDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    StartConnectionToolKiller();
    return result;
}

void CShortAppDialog::StartConnectionToolKiller()
{
    char host[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, host, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    CString commandLine = ConnectionToolKillerCommandLine(host);
    if (commandLine.IsEmpty())
        return;
    // Not waited for; a killer that does not start leaves the connection tool running.
    g_starter(commandLine.GetBuffer());
    commandLine.ReleaseBuffer();
}

void CShortAppDialog::OnRemove()
{
    const DWORD now = ::GetTickCount();
    if (m_removalOpened && now - m_removalOpenedAt <= kRemovalGuardMs)
        return;
    m_removalOpened = true;
    m_removalOpenedAt = now;
    g_opener();
}

LRESULT CShortAppDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CShortAppDialog::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_STATIC3)
        ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 0, 0));
    handled = FALSE;
    return 0;
}

LRESULT CShortAppDialog::OnQueryEndSession(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_context && (m_context->runMode == 0 || m_context->runMode == 1)) {
        CString args;
        args.Format("--restart -i %s", m_context->phase.GetString());
        SetRunOnceAutorun(1, args);
    }
    return TRUE;
}

LRESULT CShortAppDialog::OnRemoveCommand(WORD, WORD, HWND, BOOL&)
{
    OnRemove();
    return 0;
}

BOOL CShortAppDialog::ResolveEntity(CString& text)
{
    if (text == "&ErrorCode;") {
        text = m_context->errorCode;
        return TRUE;
    }
    return CKAVODlg::ResolveEntity(text);
}

void CShortAppDialog::LoadBrowserContent(WORD)
{
    CString html;
    GetExpandedText(html, "B_E02_SOFT_2_IDC_WEBBROWSER");
    CString rowTemplate;
    GetExpandedText(rowTemplate, "B_E02_SOFT_2_TMPL_BLOCKER");

    const CSimpleArray<CString>& names = m_context->conflictLists.displayNames;
    CString rows;
    for (int i = 0; i < names.GetSize(); ++i) {
        if (MetBefore(names, i))
            continue;
        CString row = rowTemplate;
        row.Replace("&BlockerTitle;", EscapeBlockerName(names[i]));
        rows += row;
    }
    html.Replace("&BlockerList;", rows);
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);

    CHandle stop(::OpenEventA(EVENT_ALL_ACCESS, FALSE, "KAVO_OSA_EVENT_STOP"));
    if (stop)
        ::SetEvent(stop);
}

DWORD CShortAppDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
}

void CShortAppDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_E02_SOFT_2_IDC_STATIC1"},
        {IDC_STATIC2, "B_E02_SOFT_2_IDC_STATIC2"},
        {IDC_STATIC3, "B_E02_SOFT_2_IDC_STATIC3"},
        {IDC_STATIC4, "B_E02_SOFT_2_IDC_STATIC4"},
        {IDC_DEL, "B_E02_SOFT_2_IDC_DEL"},
        {ID_PAGE_CLOSE, "B_E02_SOFT_2_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CShortAppDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
