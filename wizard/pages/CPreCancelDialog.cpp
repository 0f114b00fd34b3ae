#include "CPreCancelDialog.h"

#include <mshtmhst.h>

#include "CPageContext.h"
#include "Entities.h"
#include "FormatDateText.h"
#include "PageContent.h"
#include "PageTexts.h"

CPreCancelDialog::CPreCancelDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPreCancelDialog::~CPreCancelDialog() = default;

DWORD CPreCancelDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
}

void CPreCancelDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "C_N01_IDC_STATIC1"},
        {IDC_STATIC3, "C_N01_IDC_STATIC3"},
        {IDC_NEXT, "C_N01_IDC_NEXT"},
        {IDC_BACK, "C_N01_IDC_BACK"},
    };
    SetPageTexts(*this, kTexts);
}

void CPreCancelDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void CPreCancelDialog::LoadBrowserContent(WORD)
{
    WritePageHtml(*this, "C_N01_IDC_WEBBROWSER");
}

BOOL CPreCancelDialog::ResolveEntity(CString& text)
{
    if (text == "&解約される契約内容;" && !m_buildingList) {
        text = BuildSerialList();
        return TRUE;
    }
    return CKAVODlgBase::ResolveEntity(text);
}

namespace {

BOOL ResolveCancelledSerialToken(void* context, CString& token)
{
    const COpsSerialInfo& serial = *static_cast<const COpsSerialInfo*>(context);
    if (token == "&NickName;")
        token = HtmlEscape(serial.NickName);
    else if (token == "&SerialID;")
        token = serial.SerialID;
    else if (token == "&利用開始日;")
        token = FormatDateText(serial.ConstructionEndDate);
    else
        return FALSE;
    return TRUE;
}

}  // namespace

CString CPreCancelDialog::BuildSerialList()
{
    CString usedTemplate;
    CString unusedTemplate;
    m_buildingList = true;
    GetExpandedText(usedTemplate, "C_N01_TMPL_SERIAL");
    GetExpandedText(unusedTemplate, "C_N01_TMPL_SERIAL_NOTUSED");
    m_buildingList = false;

    CString rows;
    for (int i = 0; i < m_pendingSerials.GetSize(); ++i) {
        COpsSerialInfo* serial = m_context->FindSerial(m_pendingSerials[i]);
        if (!serial)
            continue;
        const int status = serial->SerialStatus;
        rows += ExpandEntityText(status >= 2 && status <= 5 ? usedTemplate : unusedTemplate,
                                 ResolveCancelledSerialToken, serial);
    }
    return rows;
}
