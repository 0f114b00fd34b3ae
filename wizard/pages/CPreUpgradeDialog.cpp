#include "CPreUpgradeDialog.h"

#include <shlwapi.h>

#include "CPageContext.h"
#include "CScopeExit.h"
#include "CTextDef.h"
#include "PageTexts.h"

CPreUpgradeDialog::CPreUpgradeDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPreUpgradeDialog::~CPreUpgradeDialog() = default;

BOOL CPreUpgradeDialog::ResolveEntity(CString& text)
{
    if (text != "&PRE_UPGRADE_MESSAGE;" || m_expandingMessage)
        return CKAVODlg::ResolveEntity(text);

    // The installed tool is "name_version"; a value without "_" is a version alone.
    const CString installed = m_context->GetValue("CT_EXISTS");
    CString name;
    CString version = installed;
    const int separator = installed.Find('_');
    if (separator >= 0) {
        name = installed.Left(separator);
        version = installed.Mid(separator + 1);
    }
    int numbers[4] = {};
    int start = 0;
    for (int& number : numbers) {
        if (start > version.GetLength())
            break;
        int end = version.Find('.', start);
        if (end < 0)
            end = version.GetLength();
        number = ::StrToIntA(version.Mid(start, end - start));
        start = end + 1;
    }

    CString keys[6];
    keys[0].Format("PRE_UPGRADE_MESSAGE_%s_%d_%d_%d_%d", name.GetString(), numbers[0], numbers[1], numbers[2], numbers[3]);
    keys[1].Format("PRE_UPGRADE_MESSAGE_%s_%d_%d_%d", name.GetString(), numbers[0], numbers[1], numbers[2]);
    keys[2].Format("PRE_UPGRADE_MESSAGE_%s_%d_%d", name.GetString(), numbers[0], numbers[1]);
    keys[3].Format("PRE_UPGRADE_MESSAGE_%s_%d", name.GetString(), numbers[0]);
    keys[4].Format("PRE_UPGRADE_MESSAGE_%s", name.GetString());
    keys[5] = "PRE_UPGRADE_MESSAGE";
    for (const CString& key : keys) {
        if (CTextDef::HasText(key)) {
            m_expandingMessage = true;
            const auto done = MakeScopeExit([this] { m_expandingMessage = false; });
            GetExpandedText(text, key);
            return TRUE;
        }
    }
    return CKAVODlg::ResolveEntity(text);
}

void CPreUpgradeDialog::LoadBrowserContent(WORD)
{
    CString html;
    GetExpandedText(html, "D_N01_IDC_WEBBROWSER");
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

void CPreUpgradeDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "D_N01_IDC_STATIC1"},
        {IDC_UPGRADE, "D_N01_IDC_UPGRADE"},
        {IDCANCEL, "D_N01_IDCANCEL"},
    };
    SetPageTexts(*this, kTexts);
}

void CPreUpgradeDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
