#include "CFirewallFoundDialog.h"

#include "CCoreLoader.h"
#include "CFontCache.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "CUpdateDialog.h"
#include "FirewallScan.h"
#include "OwnPage.h"

namespace {

CString EscapeHtml(CString text)
{
    text.Replace("&", "&amp;");
    text.Replace("<", "&lt;");
    text.Replace(">", "&gt;");
    text.Replace("\"", "&quot;");
    return text;
}

}  // namespace

void SignalNamedEvent(const char* name)
{
    if (const HANDLE event = OpenEventA(EVENT_ALL_ACCESS, FALSE, name)) {
        SetEvent(event);
        CloseHandle(event);
    }
}

CFirewallFoundDialog::CFirewallFoundDialog() : CKAVODlg(IDC_MAIN_WEBBROWSER) {}

void CFirewallFoundDialog::InitTexts()
{
    static const struct {
        int control;
        const char* key;
    } kTexts[] = {
        {IDC_MAIN_STATIC1, "EXG3001_IDC_STATIC1"},
        {IDC_MAIN_STATIC2, "EXG3001_IDC_STATIC2"},
        {IDC_MAIN_STATIC4, "EXG3001_IDC_STATIC4"},
        {IDC_MAIN_NEXT, "EXG3001_IDC_NEXT"},
    };
    for (const auto& item : kTexts) {
        CString text;
        GetExpandedText(text, item.key);
        ::SetDlgItemTextA(m_hWnd, item.control, text);
    }
}

void CFirewallFoundDialog::InitFonts()
{
    ::SendDlgItemMessageA(m_hWnd, IDC_MAIN_STATIC2, WM_SETFONT, reinterpret_cast<WPARAM>(GlobalFontCache().GetFont("12pt")),
                        TRUE);
}

void CFirewallFoundDialog::LoadBrowserContent(WORD controlId)
{
    MessageBeep(MB_ICONEXCLAMATION);
    CString html;
    GetExpandedText(html, "EXG3001_IDC_WEBBROWSER");
    CString itemTemplate;
    GetExpandedText(itemTemplate, "EXG3001_TMPL_BLOCKER");

    const CString foundText = m_context->GetValue("_FoundFirewalls");
    m_context->values.RemoveAll();

    CSimpleArray<CString> names;
    SplitCrLfLines(foundText, names);
    CString list;
    for (int i = 0; i < names.GetSize(); ++i) {
        CString item = itemTemplate;
        item.Replace("&BlockerTitle;", EscapeHtml(names[i]));
        list += item;
    }
    html.Replace("&BlockerList;", list);
    WriteHtmlWithCharset(controlId, html);
}

LRESULT CFirewallFoundDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
    ::SendDlgItemMessageA(m_hWnd, IDC_MAIN_ICON, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_WARNING)), 0);
    SignalNamedEvent("KAVO_OSA_EVENT_STOP");
    return 0;
}

LRESULT CFirewallFoundDialog::OnNextCommand(WORD, WORD, HWND, BOOL&)
{
    SignalNamedEvent("KAVO_OSA_EVENT_START");
    CWBDialog* next;
    if (CTextDef::HasText("TWEAK_SKIP_UPDATE")) {
        next = CreatePage("NORMAL_SEQUENCE", GetParent(), m_context);
        if (!next)
            next = CreatePage("CLoginDialog", GetParent(), m_context);
    } else {
        next = NewOwnPage<CUpdateDialog>(GetParent(), m_context);
    }
    GoToPage(next, 0);
    return 0;
}
