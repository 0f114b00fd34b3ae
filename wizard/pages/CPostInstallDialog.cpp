#include "CPostInstallDialog.h"

#include "AutoFlow.h"
#include "CPageContext.h"
#include "CScopeExit.h"
#include "CTextDef.h"
#include "PageTexts.h"

CPostInstallDialog::CPostInstallDialog() : CKAVODlg(IDC_WEBBROWSER)
{
    // The installation has run its course: closing here must not start the launcher tool.
    m_keepParent = TRUE;
}

CPostInstallDialog::~CPostInstallDialog() = default;

BOOL CPostInstallDialog::ResolveEntity(CString& text)
{
    if (ResolveDefinitionEntity(text))
        return TRUE;
    return CKAVODlg::ResolveEntity(text);
}

BOOL CPostInstallDialog::ResolveDefinitionEntity(CString& text)
{
    if (text.GetLength() < 3)
        return FALSE;
    const CString key = text.Mid(1, text.GetLength() - 2);
    if (!CTextDef::HasText(key) || m_keysInExpansion.Find(key) >= 0)
        return FALSE;
    m_keysInExpansion.Add(key);
    const auto done = MakeScopeExit([this] { m_keysInExpansion.RemoveAt(m_keysInExpansion.GetSize() - 1); });
    CString value;
    GetExpandedText(value, key);
    text = value;
    return TRUE;
}

void CPostInstallDialog::LoadBrowserContent(WORD)
{
    CString html;
    GetExpandedText(html, "B_N10_IDC_WEBBROWSER");
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

void CPostInstallDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_CLOSE, "B_N10_IDC_CLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

CWBDialog* CPostInstallDialog::ResolvePage(HWND, CPageContext* context)
{
    // The launcher tool completes quietly: nothing is left to show or to keep.
    if (IsOptionGiven(context)) {
        context->cleanupFlags = CLEANUP_ALL;
        return nullptr;
    }
    return this;
}

LRESULT CPostInstallDialog::OnCloseButton(WORD, WORD, HWND, BOOL&)
{
    m_context->cleanupFlags = CLEANUP_ALL;
    GoToPage(nullptr, 0);
    return 0;
}
