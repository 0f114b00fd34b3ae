#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <typeinfo>

#include "CAtlModule.h"
#include "CAxHost.h"
#include "CKAVODlg.h"
#include "CPageContext.h"
#include "CExtDef.h"
#include "CSystemRequirements.h"
#include "CTextDef.h"
#include "CoreExports.h"
#include "PageFactory.h"
#include "PageTable.h"
#include "StepBar.h"
#include "pages/CCheckComputerDialog.h"
#include "pages/CEULADialog.h"
#include "pages/CErrorDialog.h"
#include "pages/CInstallDialog.h"
#include "pages/CInstallFailedDialog.h"
#include "pages/CLoginDialog.h"
#include "pages/CModifyStatusDialog.h"
#include "pages/COPSProgressDialog.h"
#include "pages/CPostCancelDialog.h"
#include "pages/CPostInstallDialog.h"
#include "pages/CPostSignupDialog.h"
#include "pages/CPostUpgradeDialog.h"
#include "pages/CPreCancelDialog.h"
#include "pages/CPreInstallDialog.h"
#include "pages/CPreSignupDialog.h"
#include "pages/CPreUpgradeDialog.h"
#include "pages/CRegClientDialog.h"
#include "pages/CShortAppDialog.h"
#include "pages/CShortDialog.h"
#include "pages/CShortHDDDialog.h"
#include "pages/CSignupDialog.h"
#include "pages/CStartDialog.h"
#include "pages/CStatusDialog.h"
#include "pages/CUpgradeEULADialog.h"
#include "pages/CUpgradeFailedDialog.h"
#include "pages/CUpgradeShortAppDialog.h"
#include "pages/CUpgradeShortDialog.h"
#include "pages/CUpgradeShortHDDDialog.h"
#include "resource.h"
#include "PageBench.h"

namespace {

const char* const kStartPhase = PageBench::kStartPhase;

bool CloseEnabled(HWND frame)
{
    const UINT state = ::GetMenuState(::GetSystemMenu(frame, FALSE), SC_CLOSE, MF_BYCOMMAND);
    return !(state & (MF_GRAYED | MF_DISABLED));
}

void SetClose(HWND frame, bool enabled)
{
    ::EnableMenuItem(::GetSystemMenu(frame, FALSE), SC_CLOSE,
                     MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
}

using PageFactoryTest = PageBench;

struct PageCase {
    const char* name;
    const std::type_info& type;
    UINT dialogId;
    WORD browserId;
    BOOL keepParent;
    const char* phase;
    bool closeEnabled;
    DWORD hostFlags;
};

const PageCase kPages[] = {
    {"CLoginDialog", typeid(CLoginDialog), IDD_LOGIN, 200, FALSE, "Lp", true, 0x4000d},
    {"CStatusDialog", typeid(CStatusDialog), IDD_STATUS, 200, FALSE, "Lp", true, 0x40005},
    {"CModifyStatusDialog", typeid(CModifyStatusDialog), IDD_MODIFYSTATUS, 200, FALSE, "Lp", true, 0x40005},
    {"CStartDialog", typeid(CStartDialog), IDD_START, 200, FALSE, "LPcsairfdt", true, 0x4000d},
    {"CCheckComputerDialog", typeid(CCheckComputerDialog), IDD_CHECKCOMPUTER, 200, FALSE, "LPCsairfdt", false,
     0x4000d},
    {"CEULADialog", typeid(CEULADialog), IDD_EULA, 200, FALSE, "LPCSairfdt", true, 0x40000},
    {"CPreSignupDialog", typeid(CPreSignupDialog), IDD_PRESIGNUP, 200, FALSE, "LPCSairfdt", false, 0x4000d},
    {"CSignupDialog", typeid(CSignupDialog), IDD_SIGNUP, 0xFFFF, FALSE, "LPCSairfdt", false, 0x4000d},
    {"CPostSignupDialog", typeid(CPostSignupDialog), IDD_POSTSIGNUP, 200, FALSE, "LPCSairfdt", true, 0x4000d},
    {"CRegClientDialog", typeid(CRegClientDialog), IDD_REGCLIENT, 200, FALSE, "LPCSAIrfdt", false, 0x40001},
    {"CPreInstallDialog", typeid(CPreInstallDialog), IDD_PREINSTALL, 200, FALSE, "LPCSAIrfdt", false, 0x40005},
    {"CInstallDialog", typeid(CInstallDialog), IDD_INSTALL, 0xFFFF, FALSE, "LPCSAIrfdt", false, 0x4000d},
    {"CPostInstallDialog", typeid(CPostInstallDialog), IDD_POSTINSTALL, 200, TRUE, "LPCSAIRFdt", true, 0x4000d},
    {"CInstallFailedDialog", typeid(CInstallFailedDialog), IDD_INSTALLFAILED, 200, TRUE, "LPCSAIRFdt", true,
     0x4000d},
    {"CPreCancelDialog", typeid(CPreCancelDialog), IDD_PRECANCEL, 200, FALSE, "LPDt", false, 0x40005},
    {"CPostCancelDialog", typeid(CPostCancelDialog), IDD_POSTCANCEL, 0xFFFF, FALSE, "LPDT", true, 0x4000d},
    {"CShortDialog", typeid(CShortDialog), IDD_SHORT, 200, FALSE, "LPCsairfdt", true, 0x4000d},
    {"CShortHDDDialog", typeid(CShortHDDDialog), IDD_SHORTHDD, 200, FALSE, "LPCsairfdt", true, 0x40005},
    {"CShortAppDialog", typeid(CShortAppDialog), IDD_SHORTAPP, 200, FALSE, "LPCsairfdt", true, 0x40005},
    {"CErrorDialog", typeid(CErrorDialog), IDD_ERROR, 200, FALSE, kStartPhase, true, 0x4000d},
    {"CPreUpgradeDialog", typeid(CPreUpgradeDialog), IDD_PREUPGRADE, 200, FALSE, kStartPhase, true, 0x4000d},
    {"CUpgradeEULADialog", typeid(CUpgradeEULADialog), IDD_EULA, 200, FALSE, kStartPhase, false, 0x40000},
    {"CUpgradeFailedDialog", typeid(CUpgradeFailedDialog), IDD_INSTALLFAILED, 200, TRUE, "LPCSAIRFdt", true,
     0x4000d},
    {"CUpgradeShortDialog", typeid(CUpgradeShortDialog), IDD_SHORT, 200, FALSE, "LPCsairfdt", true, 0x4000d},
    {"CUpgradeShortAppDialog", typeid(CUpgradeShortAppDialog), IDD_SHORTAPP, 200, FALSE, "LPCsairfdt", true,
     0x40005},
    {"CUpgradeShortHDDDialog", typeid(CUpgradeShortHDDDialog), IDD_SHORTHDD, 200, FALSE, "LPCsairfdt", true,
     0x40005},
    {"CPostUpgradeDialog", typeid(CPostUpgradeDialog), IDD_POSTINSTALL, 200, TRUE, "LPCSAIRFdt", true, 0x4000d},
    {"COPSProgressDialog", typeid(COPSProgressDialog), IDD_OPSPROGRESS, 0xFFFF, FALSE, "LPCSairfdt", false, 0x4000d},
};

const PageCase* ExpectedPage(const char* name)
{
    for (const PageCase& c : kPages)
        if (std::strcmp(c.name, name) == 0)
            return &c;
    return nullptr;
}

TEST_F(PageFactoryTest, EveryClassNameGivesItsPageInsideTheFrame)
{
    for (const PageRow& row : AllPages()) {
        SCOPED_TRACE(row.className);
        if (!row.byName) {
            EXPECT_EQ(KAVOCore_GetPageObject(row.className, frame, &context), nullptr);
            continue;
        }
        const PageCase* expected = ExpectedPage(row.className);
        ASSERT_NE(expected, nullptr) << "a page the factory makes needs its expected facts in kPages";
        const PageCase& c = *expected;
        context.phase = kStartPhase;
        // Start from the opposite state so the page has to set it.
        SetClose(frame, !c.closeEnabled);
        CWBDialog* page = KAVOCore_GetPageObject(c.name, frame, &context);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(::IsWindow(page->m_hWnd));
        EXPECT_EQ(typeid(*page), c.type);
        EXPECT_EQ(::GetParent(page->m_hWnd), frame);
        EXPECT_EQ(page->GetDialogId(), c.dialogId);
        EXPECT_EQ(page->m_browserId, c.browserId);
        EXPECT_EQ(page->GetHostFlags(), c.hostFlags);
        auto* kavoPage = static_cast<CKAVODlgBase*>(page);
        EXPECT_EQ(kavoPage->m_keepParent, c.keepParent);
        EXPECT_EQ(kavoPage->m_context, &context);
        EXPECT_EQ(context.notifyWindow, page->m_hWnd);
        EXPECT_STREQ(context.phase, c.phase);
        EXPECT_EQ(CloseEnabled(frame), c.closeEnabled);
        ::DestroyWindow(page->m_hWnd);
        context.notifyWindow = nullptr;
    }
    EXPECT_EQ(context.ownerPage, nullptr);
    for (const PageCase& c : kPages)
        EXPECT_NE(FindPageRow(c.name), nullptr) << c.name << " is in no row of the page table";
}

TEST_F(PageFactoryTest, StepLettersOfAPageClassAreKnownWithoutAPage)
{
    struct Case {
        const char* name;
        bool isPage;
        const char* letters;
    };
    const Case cases[] = {
        {"CStartDialog", true, "P"},
        {"CLoginDialog", true, "=Lp"},
        {"CPreSignupDialog", true, "SA"},
        {"CPreCancelDialog", true, "=LPDt"},
        {"CPostCancelDialog", true, "=LPDT"},
        {"CUpgradeShortHDDDialog", true, "C"},
        {"CUpgradeFailedDialog", true, "F"},
        {"COPSProgressDialog", true, "S"},
        {"CExternalEULADialog", true, nullptr},
        {"CMotdDialog", true, nullptr},
        {"CErrorDialog", true, nullptr},
        {"NORMAL_SEQUENCE", false, nullptr},
        {"cstartdialog", false, nullptr},
        {"", false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const char* letters = "untouched";
        EXPECT_EQ(GetPageStepLetters(c.name, &letters), c.isPage);
        EXPECT_STREQ(letters, c.letters);
    }
    EXPECT_FALSE(GetPageStepLetters(nullptr, nullptr));
}

TEST_F(PageFactoryTest, NamesOfNoPageCreateNothing)
{
    // The other two pages only come from pages; the sequences' names are exact.
    const char* const names[] = {"", "clogindialog", "CLoginDialog ", "CLogin", "CExternalEULADialog", "CMotdDialog",
                                 "normal_sequence", "complete_installation", "COMPLETE_UPGRADE ", "CUpdateDialog"};
    for (const char* name : names) {
        EXPECT_EQ(KAVOCore_GetPageObject(name, frame, &context), nullptr) << name;
        EXPECT_EQ(context.notifyWindow, nullptr) << name;
    }
    EXPECT_EQ(KAVOCore_GetPageObject(nullptr, frame, &context), nullptr);
    EXPECT_STREQ(context.phase, kStartPhase);
}

TEST_F(PageFactoryTest, NormalSequenceGivesItsPageInsideTheFrame)
{
    // No content server answers, so the sequence ends at once on the definitions' error page.
    GetExtDef().Clear();
    GetSystemRequirements().RemoveAll();
    const std::string refused = "http://127.0.0.1:" + std::to_string(Server().ClosedPort());
    CTextDef::SetText("COMMON_INITCONF_URL", refused.c_str());
    CTextDef::SetDomainUrl("");
    context.errorCode.Empty();
    CWBDialog* page = KAVOCore_GetPageObject("NORMAL_SEQUENCE", frame, &context);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(typeid(*page), typeid(CErrorDialog));
    ASSERT_TRUE(::IsWindow(page->m_hWnd));
    EXPECT_EQ(::GetParent(page->m_hWnd), frame);
    EXPECT_EQ(context.notifyWindow, page->m_hWnd);
    EXPECT_STREQ(context.errorCode, "EXG8001");
    ::DestroyWindow(page->m_hWnd);
    context.notifyWindow = nullptr;
    CTextDef::SetDomainUrl("");

    EXPECT_EQ(KAVOCore_GetPageObject("NORMAL_SEQUENCE", frame, nullptr), nullptr);
}

// The requirement check itself runs: the results no longer hold what the test put there.
const int kCheckRuns = -2;

struct ErrorCase {
    const char* code;
    const std::type_info* type;  // null: no page
    bool recordsCode;
    LONG exitValue;
    int check;  // the requirement set to result, -1 when the results stay, kCheckRuns when the check runs again
    LONG result;
};

const ErrorCase kErrors[] = {
    {"EWS0001", &typeid(CErrorDialog), true, EXIT_PRESET, -1, 0},
    {"EWS9999", &typeid(CErrorDialog), true, EXIT_PRESET, -1, 0},
    {"EWS", &typeid(CErrorDialog), true, EXIT_PRESET, -1, 0},
    {"EWSどこか", &typeid(CErrorDialog), true, EXIT_PRESET, -1, 0},
    {"EXG0000", &typeid(CErrorDialog), true, EXIT_PRESET, -1, 0},
    {"EXGx", &typeid(CErrorDialog), true, EXIT_PRESET, -1, 0},
    {"EXG1001", &typeid(CErrorDialog), true, EXIT_PRESET, -1, 0},
    {"EXG1003T", &typeid(CErrorDialog), true, EXIT_PRESET, -1, 0},
    {"EXG1006", &typeid(CErrorDialog), true, EXIT_PRESET, -1, 0},
    {"EXG1008", &typeid(CErrorDialog), true, EXIT_PRESET, -1, 0},
    {"EXG4001", &typeid(CErrorDialog), true, EXIT_PRESET, -1, 0},
    {"EXG0001", &typeid(CShortDialog), true, EXIT_PRESET, REQ_OS, 0},
    {"EXG0001W", &typeid(CShortDialog), true, EXIT_PRESET, REQ_OS, 1},
    {"EXG0002", &typeid(CShortDialog), true, EXIT_PRESET, REQ_IE, 0},
    {"EXG0003", &typeid(CShortDialog), true, EXIT_PRESET, REQ_HDD, 0},
    {"EXG0003W", &typeid(CShortHDDDialog), true, EXIT_PRESET, kCheckRuns, 0},
    {"EXG0004W", &typeid(CShortDialog), true, EXIT_PRESET, REQ_CPU, 1},
    {"EXG0005", &typeid(CShortDialog), true, EXIT_PRESET, REQ_MEM, 0},
    {"EXG0006", &typeid(CShortAppDialog), true, EXIT_PRESET, -1, 0},
    {"EXG0006W", &typeid(CShortAppDialog), true, EXIT_PRESET, -1, 0},
    {"EXG00000000000000000002W", &typeid(CShortDialog), true, EXIT_PRESET, REQ_IE, 1},
    {"EXG2001", &typeid(CErrorDialog), true, EXIT_INSTALL_ERROR, -1, 0},
    {"EXG2005", &typeid(CErrorDialog), true, EXIT_INSTALL_ERROR, -1, 0},
    {"EXG2999", &typeid(CErrorDialog), true, EXIT_INSTALL_ERROR, -1, 0},
    {"EXG9998", &typeid(CInstallFailedDialog), true, EXIT_INSTALL_NOT_CONFIRMED, -1, 0},
    {"EXG9999", &typeid(CInstallFailedDialog), true, EXIT_INSTALL_NOT_CONFIRMED, -1, 0},
    {"EXG9999U", &typeid(CUpgradeFailedDialog), true, EXIT_INSTALL_NOT_CONFIRMED, -1, 0},
    {"EXG8001", nullptr, true, EXIT_PRESET, -1, 0},
    {"EXG2006", nullptr, true, EXIT_PRESET, -1, 0},
    {"EXG0007", nullptr, true, EXIT_PRESET, -1, 0},
    // 2^32 + 1 and 2^32 + 2001: wrapped, they would read as the OS shortfall and an install error.
    {"EXG4294967297", nullptr, true, EXIT_PRESET, -1, 0},
    {"EXG4294969297", nullptr, true, EXIT_PRESET, -1, 0},
    {"EXG99999999999999999999999", nullptr, true, EXIT_PRESET, -1, 0},
    {"exg0003", nullptr, false, EXIT_PRESET, -1, 0},
    {"ews0001", nullptr, false, EXIT_PRESET, -1, 0},
    {"EPN0260", nullptr, false, EXIT_PRESET, -1, 0},
};

TEST_F(PageFactoryTest, ErrorCodesGiveTheirPageAndRecordWhatTheyMean)
{
    for (const ErrorCase& c : kErrors) {
        SCOPED_TRACE(c.code);
        context.errorCode.Empty();
        context.exitValue = EXIT_PRESET;
        for (LONG& result : context.requirementResults)
            result = 7;
        CWBDialog* page = KAVOCore_GetPageObject(c.code, frame, &context);
        if (c.type) {
            ASSERT_NE(page, nullptr);
            EXPECT_EQ(typeid(*page), *c.type);
            EXPECT_TRUE(::IsWindow(page->m_hWnd));
            ::DestroyWindow(page->m_hWnd);
        } else {
            EXPECT_EQ(page, nullptr);
        }
        EXPECT_STREQ(context.errorCode, c.recordsCode ? c.code : "");
        EXPECT_EQ(context.exitValue, c.exitValue);
        for (int check = 0; check < REQ_COUNT; ++check) {
            if (c.check == kCheckRuns) {
                EXPECT_NE(context.requirementResults[check], 7) << "check " << check;
                continue;
            }
            const LONG expected = c.check < 0 ? 7 : check == c.check ? c.result : 2;
            EXPECT_EQ(context.requirementResults[check], expected) << "check " << check;
        }
    }
}

TEST_F(PageFactoryTest, ErrorPageIsLeftWithoutWindow)
{
    CWBDialog* page = CreateErrorPage("EXG9999U", &context);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->m_hWnd, nullptr);
    EXPECT_EQ(context.exitValue, EXIT_INSTALL_NOT_CONFIRMED);
    delete page;
    EXPECT_EQ(CreateErrorPage(nullptr, &context), nullptr);
}

// A page that counts its deletions and may drop its window while it is being created.
class CountedPage : public CKAVODlg<CountedPage, IDD_SHORT> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    explicit CountedPage(bool failInit) : failInit(failInit) {}
    ~CountedPage() override { ++deletions; }

    BEGIN_MSG_MAP(CountedPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInit)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    LRESULT OnInit(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        if (failInit)
            DestroyWindow();
        else
            bHandled = FALSE;
        return FALSE;
    }

    bool failInit;
    static int deletions;
};

int CountedPage::deletions = 0;

TEST_F(PageFactoryTest, PageWithoutWindowIsFreedExactlyOnce)
{
    CountedPage::deletions = 0;
    CWBDialog* page = CreatePageWindow(new CountedPage(false), frame, &context);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(CountedPage::deletions, 0);
    ::DestroyWindow(page->m_hWnd);
    EXPECT_EQ(CountedPage::deletions, 1);

    // No template in the resource module: no window was ever made, so the factory frees it.
    CountedPage::deletions = 0;
    const HINSTANCE resources = AtlSetResourceInstance(::GetModuleHandleA("kernel32.dll"));
    EXPECT_EQ(CreatePageWindow(new CountedPage(false), frame, &context), nullptr);
    EXPECT_EQ(KAVOCore_GetPageObject("CLoginDialog", frame, &context), nullptr);
    EXPECT_EQ(KAVOCore_GetPageObject("EXG9999", frame, &context), nullptr);
    AtlSetResourceInstance(resources);
    EXPECT_EQ(CountedPage::deletions, 1);

    // A window lost during creation took the page with it; freeing it again would be a second delete.
    CountedPage::deletions = 0;
    EXPECT_EQ(CreatePageWindow(new CountedPage(true), frame, &context), nullptr);
    EXPECT_EQ(CountedPage::deletions, 1);
}

}  // namespace
