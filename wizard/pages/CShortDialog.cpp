#include "CShortDialog.h"

#include "CPageContext.h"
#include "CSystemRequirements.h"
#include "PageTexts.h"

CShortDialog::CShortDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CShortDialog::~CShortDialog() = default;

BOOL CShortDialog::ResolveEntity(CString& text)
{
    if (text == "&ErrorCode;") {
        text = m_context->errorCode.IsEmpty() ? CString("EXG0000") : m_context->errorCode;
        return TRUE;
    }
    static const struct {
        const char* token;
        RequirementIndex index;
    } kResults[] = {
        {"&OS_CheckResult;", REQ_OS},   {"&IE_CheckResult;", REQ_IE},   {"&CPU_CheckResult;", REQ_CPU},
        {"&HDD_CheckResult;", REQ_HDD}, {"&MEM_CheckResult;", REQ_MEM},
    };
    for (const auto& result : kResults) {
        if (text == result.token) {
            text.Format("%d", int(m_context->requirementResults[result.index]));
            return TRUE;
        }
    }
    const CSystemRequirements& requirements = GetSystemRequirements();
    const struct {
        const char* token;
        const CString& value;
    } kRequirements[] = {
        {"&OS_Requirements;", requirements.GetOsRequirements()},
        {"&IE_Requirements;", requirements.GetIeRequirements()},
        {"&CPU_Requirements;", requirements.GetCpuRequirements()},
        {"&HDD_Requirements;", requirements.GetHddRequirements()},
        {"&MEM_Requirements;", requirements.GetMemRequirements()},
    };
    for (const auto& requirement : kRequirements) {
        if (text == requirement.token) {
            text = requirement.value;
            return TRUE;
        }
    }
    return CKAVODlg::ResolveEntity(text);
}

void CShortDialog::LoadBrowserContent(WORD)
{
    CString html;
    GetExpandedText(html, "B_E02_2_IDC_WEBBROWSER");
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

void CShortDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_E02_2_IDC_STATIC1"},
        {IDC_STATIC3, "B_E02_2_IDC_STATIC3"},
        {IDC_NEXT, "B_E02_2_IDC_NEXT"},
        {ID_PAGE_CLOSE, "B_E02_2_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

void CShortDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}
