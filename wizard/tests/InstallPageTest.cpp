// The installation page, its result pages and the completion sequences, on the page bench:
// progress posted to the page as the installer would, one real run with the fake package,
// setup and product, and the hand-overs read from the frame's queue.
#include "PageContentBench.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <typeinfo>
#include <vector>

#include "AutoFlow.h"
#include "CKAVODlg.h"
#include "CTextDef.h"
#include "CXGInstall.h"
#include "CodeSignature.h"
#include "CoreExports.h"
#include "DirectoryTree.h"
#include "InstallState.h"
#include "TestCodeSigning.h"
#include "fakes/FakeProductHost.h"
#include "pages/CErrorDialog.h"
#include "pages/CInstallDialog.h"
#include "pages/CInstallFailedDialog.h"
#include "pages/CPostInstallDialog.h"
#include "pages/CPostUpgradeDialog.h"
#include "pages/CUpgradeFailedDialog.h"

namespace {

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

std::string Pid()
{
    return std::to_string(::GetCurrentProcessId());
}

std::string Text(const char* key)
{
    return std::string(CTextDef::GetText(key));
}

// The message box of this thread that a timer answered while the page's modal loop ran.
struct AnsweredBox {
    int button = IDOK;
    bool seen = false;
    std::string caption;
    std::string text;
};
AnsweredBox g_box;

BOOL CALLBACK AnswerIfMessageBox(HWND window, LPARAM)
{
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770" || !::IsWindowVisible(window))
        return TRUE;
    char caption[256] = {};
    char text[1024] = {};
    ::GetWindowTextA(window, caption, sizeof caption);
    ::GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    g_box.seen = true;
    g_box.caption = caption;
    g_box.text = text;
    ::PostMessageA(window, WM_COMMAND, WPARAM(g_box.button), 0);
    return FALSE;
}

void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (g_box.seen)
        return;
    ::EnumThreadWindows(::GetCurrentThreadId(), AnswerIfMessageBox, 0);
    if (g_box.seen)
        ::KillTimer(nullptr, timer);
}

// The programs the failed pages started, in place of the shell.
std::vector<std::string> g_started;

bool RecordStart(const char* program, const char* params)
{
    g_started.push_back(std::string(program) + "|" + params);
    return true;
}

// The host's factory: the names asked for, and a page for each when it has one to give.
std::vector<std::string> g_hostAsked;
CWBDialog* g_hostPage = nullptr;

CWBDialog* __cdecl HostFactory(const char* className, HWND parent, CPageContext* context)
{
    g_hostAsked.push_back(className);
    g_hostPage = NewPageIn<CPostInstallDialog>(parent, context);
    return g_hostPage;
}

class InstallPages : public PageActionBench {
protected:
    void SetUp() override
    {
        PageActionBench::SetUp();
        g_box = {};
        g_started.clear();
        g_hostAsked.clear();
        g_hostPage = nullptr;
        m_formerStarter = CInstallFailedDialog::SetProgramStarter(RecordStart);
        product = std::make_unique<FakeProductHost>();
        ASSERT_TRUE(product->IsRegistered());
        product->Configure(L"KAVO-TEST-PRODUCT", L"17.0.1");

        context.runMode = RUNMODE_PARENTED;
        context.customer.SerialID = "S1";
        work = TempFolder() + "\\kavo_installpage_" + Pid();
        DeleteDirectoryTree(work.c_str());
        autorunName = "kavo_installpage_autorun_" + Pid();
        setupPendingName = "kavo_installpage_setup_" + Pid();
        statusKey = "Software\\KavoTest\\InstallPage_" + Pid();
        CTextDef::SetText("COMMON_NAME_AUTORUN", autorunName.c_str());
        CTextDef::SetText("COMMON_REG_XGINSTALLSTATUS", ("HKEY_CURRENT_USER\\" + statusKey + "\\Status").c_str());
        CTextDef::SetText("COMMON_DLPK_OUTPUT_PATH", ("%TEMP%\\kavo_installpage_" + Pid() + "\\out").c_str());
        CTextDef::SetText("COMMON_CMD_XGINSTALL", "Setup.exe");
        CTextDef::SetText("COMMON_CT_PRODUCTID", "KAVO-TEST-PRODUCT");
        CTextDef::SetText("COMMON_CT_PRODUCTVERSION", "17.0");
        // Unless a test serves a package, the installer's download fails at once.
        const std::string missing = Server().Url("/xg/missing.exe");
        CTextDef::SetText("COMMON_URI_XG32INSTALLER", missing.c_str());
        CTextDef::SetText("COMMON_URI_XG64INSTALLER", missing.c_str());
    }

    void TearDown() override
    {
        product.reset();
        PageActionBench::TearDown();
        SetHostPageFactory(nullptr);
        CInstallFailedDialog::SetProgramStarter(m_formerStarter);
        HKEY runOnce = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_SET_VALUE, &runOnce) == ERROR_SUCCESS) {
            ::RegDeleteValueA(runOnce, autorunName.c_str());
            ::RegDeleteValueA(runOnce, setupPendingName.c_str());
            ::RegCloseKey(runOnce);
        }
        ::RegDeleteTreeA(HKEY_CURRENT_USER, statusKey.c_str());
        for (const char* name : {"KAVO_FAKE_PACKAGE_SOURCE", "KAVO_FAKE_PACKAGE_OUTPUT", "KAVO_FAKE_SETUP_STATUS_KEY",
                                 "KAVO_FAKE_SETUP_STATUS"})
            ::SetEnvironmentVariableA(name, nullptr);
        DeleteDirectoryTree(work.c_str());
        ::DeleteFileA((TestBinFolder() + "\\download.tmp").c_str());
    }

    // status -1 removes the value.
    void SetInstallStatus(int status)
    {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, statusKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        if (status < 0) {
            ::RegDeleteValueA(key, "Status");
        } else {
            const DWORD value = DWORD(status);
            ::RegSetValueExA(key, "Status", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        }
        ::RegCloseKey(key);
    }

    // The setup's command in the RunOnce key, as a setup that waits for a restart leaves it;
    // false removes it.
    void SetSetupPending(bool pending)
    {
        HKEY runOnce = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &runOnce, nullptr),
                  ERROR_SUCCESS);
        const std::string command = "\"" + work + "\\out\\Setup.exe\" /resume";
        if (pending)
            ::RegSetValueExA(runOnce, setupPendingName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                             DWORD(command.size() + 1));
        else
            ::RegDeleteValueA(runOnce, setupPendingName.c_str());
        ::RegCloseKey(runOnce);
    }

    // The companion's command line in the RunOnce key; "<none>" when there is none.
    std::string AutorunValue() const
    {
        char data[1024] = {};
        DWORD size = sizeof data - 1;
        HKEY runOnce = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_QUERY_VALUE, &runOnce) != ERROR_SUCCESS)
            return "<none>";
        const LONG read = ::RegQueryValueExA(runOnce, autorunName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
        ::RegCloseKey(runOnce);
        return read == ERROR_SUCCESS ? std::string(data) : "<none>";
    }

    static std::string CompanionCommand(const std::string& args)
    {
        std::string program = TestBinFolder() + "\\kavocomp.exe";
        if (program.find(' ') != std::string::npos)
            program = "\"" + program + "\"";
        return program + " " + args;
    }

    CInstallDialog* OpenInstallPage() { return Open(new CInstallDialog); }

    // Runs the page's own messages (the report's end, the installer's reports) until it hands
    // over; the class of the page it handed to the frame, or "" on timeout. phases collects
    // the steps the page showed meanwhile.
    std::string RunUntilHandOver(CInstallDialog* page, CWBDialog** next, std::set<int>* phases = nullptr)
    {
        const HWND window = page->m_hWnd;
        for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 60000;) {
            MSG message;
            if (::PeekMessageA(&message, frame, WM_KAVO_PAGE, WM_KAVO_PAGE, PM_NOREMOVE)) {
                if (!TakePageSentToFrame(next))
                    return "";
                return ClassOf(*next);
            }
            bool any = false;
            for (UINT kind : {WM_KAVO_REQUESTDONE, WM_KAVO_INSTALLPROGRESS}) {
                while (::PeekMessageA(&message, nullptr, kind, kind, PM_REMOVE)) {
                    any = true;
                    ::DispatchMessageA(&message);
                    if (phases && ::IsWindow(window))
                        phases->insert(page->m_progressPhase);
                }
            }
            if (!any)
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
        }
        return "";
    }

    static void Report(const CWBDialog* page, WPARAM wParam, LPARAM lParam)
    {
        ::SendMessageA(page->m_hWnd, WM_KAVO_INSTALLPROGRESS, wParam, lParam);
    }

    static void Start(const CWBDialog* page) { ::SendMessageA(page->m_hWnd, WM_KAVO_PAGE, PAGECMD_START, 0); }

    // What the page answers a step text's colour query with: its text colour, and whether
    // the brush is the white stock brush.
    static COLORREF StepColour(const CWBDialog* page, int id, bool* whiteBrush)
    {
        const HDC dc = ::CreateCompatibleDC(nullptr);
        const LRESULT brush = ::SendMessageA(page->m_hWnd, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(::GetDlgItem(page->m_hWnd, id)));
        const COLORREF colour = ::GetTextColor(dc);
        ::DeleteDC(dc);
        *whiteBrush = HGDIOBJ(brush) == ::GetStockObject(WHITE_BRUSH);
        return colour;
    }

    // Calls action while a timer answers the first message box with button.
    template <typename Action>
    static void AnsweringMessageBox(int button, Action action)
    {
        g_box = {};
        g_box.button = button;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, AnswerMessageBox);
        action();
        ::KillTimer(nullptr, timer);
    }

    std::unique_ptr<FakeProductHost> product;
    std::string work;
    std::string autorunName;
    std::string setupPendingName;
    std::string statusKey;

private:
    CInstallFailedDialog::ProgramStarter m_formerStarter = nullptr;
};

const COLORREF kDone = RGB(51, 102, 255);
const COLORREF kToCome = RGB(255, 0, 0);
const int kStepTexts[] = {IDC_STATIC4, IDC_STATIC6, IDC_STATIC8, IDC_STATIC10, IDC_STATIC12};

TEST_F(InstallPages, ProgressReportsSetStepTextsAndColourTheStepsBeforeTheCurrentOne)
{
    CTextDef::SetText("B_N09_IDC_STATIC6_n", "ダウンロード中 %d%%");
    CInstallDialog* page = OpenInstallPage();
    ASSERT_NE(page, nullptr);
    for (int id : kStepTexts) {
        bool white = false;
        EXPECT_EQ(StepColour(page, id, &white), kToCome) << "before the start every step is still to come: " << id;
        EXPECT_TRUE(white);
    }
    struct Case {
        WPARAM wParam;
        LPARAM lParam;
        int textId;
        std::string text;
        int currentStep;
    };
    const Case kCases[] = {
        {0, MAKELPARAM(0, 1), IDC_STATIC4, Text("B_N09_IDC_STATIC4_1"), 0},
        {0, MAKELPARAM(1, 0), IDC_STATIC6, Text("B_N09_IDC_STATIC6_0"), 1},
        {0, MAKELPARAM(1, 42), IDC_STATIC6, "ダウンロード中 42%", 1},
        {0, MAKELPARAM(1, 101), IDC_STATIC6, Text("B_N09_IDC_STATIC6_2"), 1},
        {0, MAKELPARAM(2, 1), IDC_STATIC8, Text("B_N09_IDC_STATIC8_1"), 2},
        // Neither a step report nor an end: nothing changes.
        {3, MAKELPARAM(0, 0), IDC_STATIC4, Text("B_N09_IDC_STATIC4_1"), 2},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.wParam) + "/" + std::to_string(c.lParam));
        Report(page, c.wParam, c.lParam);
        EXPECT_EQ(ItemText(page, c.textId), c.text);
        for (int step = 0; step < 5; ++step) {
            bool white = false;
            EXPECT_EQ(StepColour(page, kStepTexts[step], &white), step < c.currentStep ? kDone : kToCome) << "step " << step;
            EXPECT_TRUE(white);
        }
    }
    CWBDialog* next = nullptr;
    EXPECT_FALSE(TakePageSentToFrame(&next));
    EXPECT_TRUE(::IsWindow(page->m_hWnd));
}

TEST_F(InstallPages, StartShowsTheFirstStepAndWarnsOnlyInTheNormalRunMode)
{
    context.SetValue("MIGRATION_TYPE", "v");
    for (const LONG runMode : {RUNMODE_NORMAL, RUNMODE_PARENTED, RUNMODE_OSA2}) {
        SCOPED_TRACE(runMode);
        ASSERT_TRUE(Server().Reset());
        context.runMode = runMode;
        CInstallDialog* page = OpenInstallPage();
        ASSERT_NE(page, nullptr);
        AnsweringMessageBox(IDOK, [page] { Start(page); });
        EXPECT_EQ(g_box.seen, runMode == RUNMODE_NORMAL);
        if (runMode == RUNMODE_NORMAL) {
            EXPECT_EQ(g_box.caption, Text("B_N09_TTL_WARNING"));
            EXPECT_EQ(g_box.text, Text("B_N09_MSG_WARNING"));
        }
        EXPECT_EQ(ItemText(page, IDC_STATIC4), Text("B_N09_IDC_STATIC4_1"));
        EXPECT_EQ(page->m_progressPhase, 0);
        EXPECT_NE(::SendDlgItemMessageA(page->m_hWnd, IDC_IMAGE, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
        EXPECT_NE(::GetWindowLongA(::GetDlgItem(page->m_hWnd, IDC_PROGRESS), GWL_STYLE) & PBS_MARQUEE, 0);
        // A stray end notice besides the page's own starts no second installer.
        ::SendMessageA(page->m_hWnd, WM_KAVO_REQUESTDONE, WPARAM(-1), 0);
        // The installer then runs and, with nothing to download, fails at its first step.
        CWBDialog* next = nullptr;
        ASSERT_EQ(RunUntilHandOver(page, &next), typeid(CErrorDialog).name());
        EXPECT_EQ(std::string(context.errorCode), "EXG2001");
        EXPECT_EQ(Server().Hits("/xg/missing.exe"), 1);
        DestroyPage(next);
    }
}

TEST_F(InstallPages, ReportIsSentBeforeTheInstallerUnlessMigrationTypeVLacksItsConditions)
{
    struct Case {
        const char* migrationType;
        const char* grantPcInfo;
        const char* serialId;
        bool reported;
    };
    const Case kCases[] = {
        {"", "0", "S1", true},
        {"H", "0", "", true},
        {"v", "1", "S1", true},
        {"V", "1", "S1", true},
        {"v", "0", "S1", false},
        // No SerialID and no installed product's serial among the serials.
        {"V", "1", "", false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.migrationType) + "/" + c.grantPcInfo + "/" + c.serialId);
        ASSERT_TRUE(Server().Reset());
        context.errorCode.Empty();
        context.SetValue("MIGRATION_TYPE", c.migrationType);
        context.customer.GrantGetPCInfo = c.grantPcInfo;
        context.customer.SerialID = c.serialId;
        CInstallDialog* page = OpenInstallPage();
        ASSERT_NE(page, nullptr);
        Start(page);
        CWBDialog* next = nullptr;
        ASSERT_EQ(RunUntilHandOver(page, &next), typeid(CErrorDialog).name());
        EXPECT_EQ(Server().OrdersIds(), c.reported ? "1011" : "");
        // Whatever the report's outcome, the installer ran.
        EXPECT_EQ(Server().Hits("/xg/missing.exe"), 1);
        EXPECT_EQ(std::string(context.errorCode), "EXG2001");
        DestroyPage(next);
    }
}

TEST_F(InstallPages, InstallerEndLeadsToTheResultPageItsStatusAndProductMean)
{
    struct Case {
        const char* name;
        int status;
        const wchar_t* productId;
        bool pending;
        const char* serialId;
        std::string nextClass;
        LONG exitValue;
        const char* errorCode;
    };
    const std::string postInstall = typeid(CPostInstallDialog).name();
    const std::string postUpgrade = typeid(CPostUpgradeDialog).name();
    const std::string failed = typeid(CInstallFailedDialog).name();
    const std::string upgradeFailed = typeid(CUpgradeFailedDialog).name();
    const Case kCases[] = {
        {"installed", 1, L"KAVO-TEST-PRODUCT", false, "S1", postInstall, EXIT_INSTALLED, ""},
        {"upgraded", 1, L"kavo-test-product", false, "", postUpgrade, EXIT_INSTALLED, ""},
        {"another product", 1, L"OTHER-PRODUCT", false, "S1", failed, EXIT_INSTALL_NOT_CONFIRMED, "EXG9998"},
        {"upgrade to another product", 1, L"OTHER-PRODUCT", false, "", upgradeFailed, EXIT_INSTALL_NOT_CONFIRMED,
         "EXG9998"},
        {"status 0 without a pending setup", 0, L"KAVO-TEST-PRODUCT", false, "S1", failed, EXIT_INSTALL_NOT_CONFIRMED,
         "EXG9998"},
        {"no status", -1, L"KAVO-TEST-PRODUCT", true, "S1", failed, EXIT_INSTALL_NOT_CONFIRMED, "EXG9998"},
        {"status 2", 2, L"KAVO-TEST-PRODUCT", false, "S1", failed, EXIT_INSTALL_NOT_CONFIRMED, "EXG9998"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        SetInstallStatus(c.status);
        SetSetupPending(c.pending);
        product->Configure(c.productId, L"17.0.1");
        context.customer.SerialID = c.serialId;
        context.errorCode.Empty();
        context.exitValue = 0;
        context.cleanupFlags = 0;
        CInstallDialog* page = OpenInstallPage();
        ASSERT_NE(page, nullptr);
        page->m_newerWindows = FALSE;
        Report(page, 0xFFFF, CXGInstall::ResultSetupStarted);
        EXPECT_EQ(context.exitValue, EXIT_INSTALL_NOT_CONFIRMED) << "the setup started, nothing is confirmed yet";
        Report(page, 0xFFFF, CXGInstall::ResultSuccess);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        EXPECT_EQ(ClassOf(next), c.nextClass);
        EXPECT_FALSE(::IsWindow(page->m_hWnd));
        EXPECT_EQ(context.exitValue, c.exitValue);
        EXPECT_EQ(std::string(context.errorCode), c.errorCode);
        // The failed page removes the RunOnce value at exit.
        EXPECT_EQ((context.cleanupFlags & CLEANUP_RUNONCE) != 0, *c.errorCode != '\0');
        EXPECT_EQ(AutorunValue(), "<none>");
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(::GetParent(next->m_hWnd), frame);
        DestroyPage(next);
    }
}

TEST_F(InstallPages, PendingSetupWritesTheCompletionCommandAndMinimisesTheFrame)
{
    BYTE quietBlock[LAUNCHER_BLOCK_SIZE] = {};
    BYTE plainBlock[LAUNCHER_BLOCK_SIZE] = {};
    const LONG notSet = -1;
    std::memcpy(plainBlock + LAUNCHER_QUIET_OFFSET, &notSet, sizeof notSet);
    struct Case {
        const char* serialId;
        const BYTE* launcherBlock;
        const char* args;
    };
    // "%" stands for the context's phase, as the page's step bar left it.
    const Case kCases[] = {
        {"S1", nullptr, "-c -i %"},
        {"", nullptr, "-cu"},
        {"S1", quietBlock, "-c -q -i %"},
        {"", quietBlock, "-cu -q"},
        // A block whose quiet value is -1 asks for nothing.
        {"S1", plainBlock, "-c -i %"},
    };
    SetInstallStatus(0);
    SetSetupPending(true);
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.serialId) + " " + c.args);
        context.customer.SerialID = c.serialId;
        context.launcherParams = c.launcherBlock;
        context.errorCode.Empty();
        context.exitValue = 0;
        CInstallDialog* page = OpenInstallPage();
        ASSERT_NE(page, nullptr);
        page->m_newerWindows = FALSE;
        const HWND window = page->m_hWnd;
        Report(page, 0xFFFF, CXGInstall::ResultSuccess);
        std::string args = c.args;
        if (args.back() == '%')
            args = args.substr(0, args.size() - 1) + std::string(context.phase);
        EXPECT_FALSE(std::string(context.phase).empty());
        EXPECT_EQ(AutorunValue(), CompanionCommand(args));
        EXPECT_TRUE(::IsIconic(frame));
        CWBDialog* next = nullptr;
        EXPECT_FALSE(TakePageSentToFrame(&next)) << "the page stays until Windows ends the session";
        ::ShowWindow(frame, SW_RESTORE);
        ASSERT_TRUE(::IsWindow(window));
        EXPECT_EQ(std::string(context.errorCode), "");
        DestroyPage(page);
    }
    context.launcherParams = nullptr;
}

TEST_F(InstallPages, InstallerErrorsEndOnTheErrorPageAndAnUnconfirmedSetupKeepsThePage)
{
    struct Case {
        LPARAM code;
        const char* errorCode;
    };
    const Case kCases[] = {
        {1, "EXG2001"}, {2, "EXG2002"}, {3, "EXG2003"}, {4, "EXG2004"}, {5, "EXG2005"}, {7, "EXG2999"}, {-1, "EXG2999"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.errorCode);
        context.errorCode.Empty();
        context.exitValue = 0;
        CInstallDialog* page = OpenInstallPage();
        ASSERT_NE(page, nullptr);
        Report(page, 0xFFFF, c.code);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        ASSERT_EQ(ClassOf(next), typeid(CErrorDialog).name());
        EXPECT_EQ(std::string(static_cast<CErrorDialog*>(next)->m_pageCode), c.errorCode);
        EXPECT_EQ(context.exitValue, EXIT_INSTALL_ERROR);
        DestroyPage(next);
    }

    context.errorCode.Empty();
    context.exitValue = 0;
    CInstallDialog* page = OpenInstallPage();
    ASSERT_NE(page, nullptr);
    Report(page, 0xFFFF, CXGInstall::ResultSetupStarted);
    EXPECT_EQ(context.exitValue, EXIT_INSTALL_NOT_CONFIRMED);
    CWBDialog* next = nullptr;
    EXPECT_FALSE(TakePageSentToFrame(&next));
    EXPECT_TRUE(::IsWindow(page->m_hWnd));
    EXPECT_EQ(std::string(context.errorCode), "");
}

TEST_F(InstallPages, EndOfSessionWritesTheCompletionCommandAndLetsWindowsEnd)
{
    context.phase = "lpcsair";
    CInstallDialog* page = OpenInstallPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(::SendMessageA(page->m_hWnd, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(AutorunValue(), CompanionCommand("-c -i " + std::string(context.phase)));
    context.customer.SerialID.Empty();
    EXPECT_EQ(::SendMessageA(page->m_hWnd, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(AutorunValue(), CompanionCommand("-cu"));
}

TEST_F(InstallPages, RealInstallationReachesThePostInstallPage)
{
    ASSERT_TRUE(TrustTestRoot());
    const std::string served = work + "\\served";
    const std::string contents = work + "\\contents";
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, (served + "\\xg").c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, contents.c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_TRUE(::CopyFileA(SignedPackage("signed").c_str(), (served + "\\xg\\package.exe").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileA((TestBinFolder() + "\\kavo_fake_setup.exe").c_str(), (contents + "\\Setup.exe").c_str(), FALSE));
    ASSERT_TRUE(Server().AddFixtures(FakeServer::UnixPath(served)));
    const std::string url = Server().Url("/xg/package.exe");
    CTextDef::SetText("COMMON_URI_XG32INSTALLER", url.c_str());
    CTextDef::SetText("COMMON_URI_XG64INSTALLER", url.c_str());
    CTextDef::SetText("COMMON_CMD_XGINSTALL", "Setup.exe /silent");
    CTextDef::SetText("COMMON_NAME_XGSETUPINIFILE", "setup.ini");
    CTextDef::SetText("COMMON_NAME_XGSETUPINISECTION", "COMMON");
    CTextDef::SetText(kSecuritySoftwarePublisherKey, kTestPublisher);
    ::SetEnvironmentVariableA("KAVO_FAKE_PACKAGE_SOURCE", contents.c_str());
    ::SetEnvironmentVariableA("KAVO_FAKE_PACKAGE_OUTPUT", (work + "\\out").c_str());
    ::SetEnvironmentVariableA("KAVO_FAKE_SETUP_STATUS_KEY", ("HKCU\\" + statusKey + "\\Status").c_str());
    ::SetEnvironmentVariableA("KAVO_FAKE_SETUP_STATUS", "1");

    context.SetValue("MIGRATION_TYPE", "v");
    CInstallDialog* page = OpenInstallPage();
    ASSERT_NE(page, nullptr);
    Start(page);
    CWBDialog* next = nullptr;
    std::set<int> phases;
    ASSERT_EQ(RunUntilHandOver(page, &next, &phases), typeid(CPostInstallDialog).name());
    EXPECT_EQ(context.exitValue, EXIT_INSTALLED);
    EXPECT_EQ(std::string(context.errorCode), "");
    EXPECT_EQ(phases, (std::set<int>{0, 1, 2})) << "the page showed the preparing, download and install steps";
    EXPECT_EQ(GetInstallStatus(), 1);
    DestroyPage(next);
}

TEST_F(InstallPages, FailedPagesStartWithTheirCodeAndCleanUpFlag)
{
    struct Case {
        bool upgrade;
        const char* errorCode;
        const char* shownCode;
        bool removesRunOnce;
    };
    const Case kCases[] = {
        {false, "", "EXG9999", false},
        {false, "EXG9998", "EXG9998", true},
        {false, "EXG9998U", "EXG9998U", false},
        {true, "", "EXG9999", false},
        {true, "EXG9998", "EXG9998", true},
        {true, "EXG9998U", "EXG9998U", true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.upgrade ? "upgrade " : "install ") + c.errorCode);
        context.errorCode = c.errorCode;
        context.cleanupFlags = 0;
        CInstallFailedDialog* page = c.upgrade ? Open<CInstallFailedDialog>(new CUpgradeFailedDialog)
                                               : Open(new CInstallFailedDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(std::string(context.errorCode), c.shownCode);
        EXPECT_EQ(context.cleanupFlags, c.removesRunOnce ? DWORD(CLEANUP_RUNONCE) : 0u);
        EXPECT_EQ(ItemShown(page, IDC_STEPBAR), !c.upgrade);
        DestroyPage(page);
    }
}

TEST_F(InstallPages, RetryAfterAFailureRestartsThroughTheHostOrTheMainProgram)
{
    struct Case {
        const char* name;
        bool upgrade;
        bool hostFactory;
        int answer;  // 0: no question is asked
        bool handsOver;
        bool toHostPage;
        bool flowCleared;
        const char* started;
    };
    const Case kCases[] = {
        {"install, no", false, true, IDNO, false, false, false, nullptr},
        {"install, yes, host page", false, true, IDYES, true, true, true, nullptr},
        {"install, yes, no host page", false, false, IDYES, true, false, true, "-P RESTART"},
        {"upgrade, host page", true, true, 0, true, true, false, nullptr},
        {"upgrade, no host page", true, false, 0, true, false, true, "--skip-preamble"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        g_started.clear();
        g_hostAsked.clear();
        SetHostPageFactory(c.hostFactory ? HostFactory : nullptr);
        context.phase = kStartPhase;
        context.customer.SerialID = "S1";
        context.errorCode = "EXG9999";
        context.cleanupFlags = 0;
        context.SetValue("FLOW_MARK", "1");
        CInstallFailedDialog* page = c.upgrade ? Open<CInstallFailedDialog>(new CUpgradeFailedDialog)
                                               : Open(new CInstallFailedDialog);
        ASSERT_NE(page, nullptr);
        AnsweringMessageBox(c.answer ? c.answer : IDOK, [page] { Click(page, IDC_INSTALL); });
        EXPECT_EQ(g_box.seen, c.answer != 0);
        if (c.answer) {
            EXPECT_EQ(g_box.caption, Text("B_E09_CONFIRM_TITLE"));
            EXPECT_EQ(g_box.text, Text("B_E09_CONFIRM_MESSAGE"));
        }
        EXPECT_EQ(std::string(context.phase), "");
        EXPECT_EQ(std::string(context.customer.SerialID), "");
        CWBDialog* next = nullptr;
        ASSERT_EQ(TakePageSentToFrame(&next), c.handsOver);
        if (!c.handsOver) {
            EXPECT_TRUE(::IsWindow(page->m_hWnd));
            EXPECT_TRUE(g_hostAsked.empty());
            DestroyPage(page);
        } else if (c.toHostPage) {
            EXPECT_EQ(g_hostAsked, std::vector<std::string>{"CUpdateDialog"});
            EXPECT_EQ(next, g_hostPage);
            EXPECT_EQ(context.cleanupFlags, 0u);
            DestroyPage(next);
        } else {
            EXPECT_EQ(next, nullptr) << "the wizard ends";
            EXPECT_EQ(context.cleanupFlags, DWORD(CLEANUP_RUNONCE));
        }
        EXPECT_EQ(std::string(context.GetValue("FLOW_MARK")), c.flowCleared ? "" : "1");
        if (c.started) {
            EXPECT_EQ(g_started, std::vector<std::string>{TestBinFolder() + "\\kavo.exe|" + c.started});
        } else {
            EXPECT_TRUE(g_started.empty());
        }
    }
}

TEST_F(InstallPages, PostPagesCloseWithFullCleanUpAndOnlyTheUpgradeHidesTheStepBar)
{
    for (const bool upgrade : {false, true}) {
        SCOPED_TRACE(upgrade ? "upgrade" : "install");
        context.cleanupFlags = 0;
        CPostInstallDialog* page = upgrade ? Open<CPostInstallDialog>(new CPostUpgradeDialog) : Open(new CPostInstallDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(ItemShown(page, IDC_STEPBAR), !upgrade);
        Click(page, IDC_CLOSE);
        CWBDialog* next = nullptr;
        ASSERT_TRUE(TakePageSentToFrame(&next));
        EXPECT_EQ(next, nullptr) << "the wizard ends";
        EXPECT_EQ(context.cleanupFlags, DWORD(CLEANUP_ALL));
    }
}

TEST_F(InstallPages, PostPageResolvesDefinitionKeysAsEntitiesWithoutLoopingOnItself)
{
    CTextDef::SetText("KAVO_TEST_INNER", "inner");
    CTextDef::SetText("KAVO_TEST_OUTER", "[&KAVO_TEST_INNER;]");
    CTextDef::SetText("KAVO_TEST_SELF", "a&KAVO_TEST_SELF;b");
    CPostInstallDialog* page = Open(new CPostInstallDialog);
    ASSERT_NE(page, nullptr);
    struct Case {
        const char* entity;
        BOOL resolved;
        const char* text;
    };
    const Case kCases[] = {
        {"&KAVO_TEST_OUTER;", TRUE, "[inner]"},
        {"&KAVO_TEST_SELF;", TRUE, "a&KAVO_TEST_SELF;b"},
        {"&KAVO_TEST_NONE;", FALSE, "&KAVO_TEST_NONE;"},
        {"&;", FALSE, "&;"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.entity);
        CString text(c.entity);
        EXPECT_EQ(page->ResolveDefinitionEntity(text), c.resolved);
        EXPECT_EQ(std::string(text), c.text);
    }
}

TEST_F(InstallPages, CompletionSequencesGiveTheSuccessPageOnlyForTheExpectedProduct)
{
    struct Case {
        const char* name;
        const wchar_t* productId;
        const wchar_t* version;
        HRESULT createResult;
        const char* expectedVersion;
        bool success;
    };
    const Case kCases[] = {
        {"same id, other case, two version parts", L"kavo-test-product", L"17.0.1", S_OK, "17.0", true},
        {"one version part", L"KAVO-TEST-PRODUCT", L"17.0.1", S_OK, "17", true},
        {"all parts", L"KAVO-TEST-PRODUCT", L"17.0.1", S_OK, "17.0.1", true},
        {"any version", L"KAVO-TEST-PRODUCT", L"3.2", S_OK, "", true},
        {"other version", L"KAVO-TEST-PRODUCT", L"17.1.0", S_OK, "17.0", false},
        {"other id", L"OTHER-PRODUCT", L"17.0.1", S_OK, "17.0", false},
        {"not queryable", L"KAVO-TEST-PRODUCT", L"17.0.1", E_FAIL, "17.0", false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        product->Configure(c.productId, c.version, c.createResult);
        CTextDef::SetText("COMMON_CT_PRODUCTVERSION", c.expectedVersion);
        context.errorCode = "EXG9998";
        CWBDialog* install = KAVOCore_GetPageObject("COMPLETE_INSTALLATION", frame, &context);
        ASSERT_NE(install, nullptr);
        EXPECT_EQ(ClassOf(install), c.success ? typeid(CPostInstallDialog).name() : typeid(CInstallFailedDialog).name());
        EXPECT_EQ(::GetParent(install->m_hWnd), frame);
        DestroyPage(install);
        context.errorCode = "EXG9998U";
        CWBDialog* upgrade = KAVOCore_GetPageObject("COMPLETE_UPGRADE", frame, &context);
        ASSERT_NE(upgrade, nullptr);
        EXPECT_EQ(ClassOf(upgrade), c.success ? typeid(CPostUpgradeDialog).name() : typeid(CUpgradeFailedDialog).name());
        DestroyPage(upgrade);
    }
}

}  // namespace
