#include "CPreUpgradeDialog.h"

#include <shlwapi.h>

#include <cstring>

#include "AutoFlow.h"
#include "COpsRequest.h"
#include "CPageContext.h"
#include "CScopeExit.h"
#include "CTextDef.h"
#include "CXGInstall.h"
#include "LoginParams.h"
#include "PageTexts.h"
#include "RequirementRouting.h"
#include "pages/CLoginDialog.h"
#include "pages/CUpgradeEULADialog.h"

namespace {

// A text field of the launcher block, NUL-terminated or filling its field.
CString LauncherText(const BYTE* block, size_t offset, size_t size)
{
    const char* text = reinterpret_cast<const char*>(block + offset);
    const void* end = std::memchr(text, '\0', size);
    return CString(text, end ? int(static_cast<const char*>(end) - text) : int(size));
}

}  // namespace

CPreUpgradeDialog::CPreUpgradeDialog(const SystemApiTable* api) : CKAVODlg(IDC_WEBBROWSER), m_check(api) {}

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

void CPreUpgradeDialog::OnUpgrade()
{
    if (!CTextDef::HasText("TWEAK_SKIP_SRCHK")) {
        const HWND button = GetDlgItem(IDC_UPGRADE);
        ::EnableWindow(button, FALSE);
        // The check blocks this thread without pumping messages.
        ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
        m_check.Run(m_hWnd, m_context);
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
        ::EnableWindow(button, TRUE);
        CWBDialog* shortfall = nullptr;
        if (!RouteRequirementResults(GetParent(), m_context, REQ_FLOW_UPGRADE, &shortfall)) {
            if (shortfall)
                GoToPage(shortfall, 0);
            return;
        }
    }
    TakeSignIn();
    RefreshProductGrants();
    GoToPage(NewPageIn<CUpgradeEULADialog>(GetParent(), m_context), 0);
}

void CPreUpgradeDialog::TakeSignIn()
{
    COpsCustomerData& customer = m_context->customer;
    if (const BYTE* block = m_context->launcherParams) {
        const CString id = LauncherText(block, LAUNCHER_CUSTOMER_ID_OFFSET,
                                        LAUNCHER_ACCESS_KEY_OFFSET - LAUNCHER_CUSTOMER_ID_OFFSET);
        const CString key = LauncherText(block, LAUNCHER_ACCESS_KEY_OFFSET,
                                         LAUNCHER_MODE_OFFSET - LAUNCHER_ACCESS_KEY_OFFSET);
        if (!id.IsEmpty() && !key.IsEmpty()) {
            customer.VeldinCommonID = id;
            customer.AccessKey = key;
            return;
        }
    }
    LoadLoginParams(customer.VeldinCommonID, customer.AccessKey);
}

void CPreUpgradeDialog::RefreshProductGrants()
{
    COpsCustomerData& customer = m_context->customer;
    if (customer.VeldinCommonID.IsEmpty() || customer.AccessKey.IsEmpty())
        return;
    COpsRequest status;
    // A failed refresh leaves the grants as they were.
    if (status.Run("1002", m_context, TRUE) != 0)
        return;
    const CString serialId = GetInstalledProductSerial();
    if (serialId.IsEmpty())
        return;
    const COpsSerialInfo* serial = m_context->FindSerial(serialId);
    if (!serial || !serial->GrantGetPCInfo)
        return;
    customer.GrantGetPCInfo = "1";
    customer.GrantGetMailAddress = serial->GrantGetMailAddress ? "1" : "0";
}

LRESULT CPreUpgradeDialog::OnUpgradeCommand(WORD, WORD, HWND, BOOL&)
{
    OnUpgrade();
    return 0;
}

LRESULT CPreUpgradeDialog::OnCancelCommand(WORD, WORD, HWND, BOOL&)
{
    GoToPage(NewPageIn<CLoginDialog>(GetParent(), m_context), 0);
    return 0;
}
