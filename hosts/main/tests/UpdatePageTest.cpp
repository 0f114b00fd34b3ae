// The update page: how it turns the self-update's reports into progress, texts and the next
// page, alone and with the real worker against the fake server.
#include "PageBench.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "../../../core/tests/TestCodeSigning.h"
#include "CCoreLoader.h"
#include "CKavoErrorDialog.h"
#include "CLiveUpdate.h"
#include "CTextDef.h"
#include "CUpdateDialog.h"
#include "CodeSignature.h"
#include "KavoMessages.h"
#include "KavoTestPaths.h"
#include "OwnPage.h"

namespace {

// Stands for a page of the core library; remembers which name it was made for.
class CoreStandIn : public CKAVODlg<CoreStandIn, IDD_UPDATE> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CoreStandIn() : CKAVODlg(0xFFFF) {}
    std::string name;
};

// The update page with a core library that offers the normal sequence or not.
class UpdatePageOnCore : public CUpdateDialog {
public:
    static bool offersSequence;
    static std::vector<std::string> asked;

protected:
    CWBDialog* CreateCorePage(const char* name) override
    {
        asked.push_back(name);
        if (!offersSequence && std::string(name) == "NORMAL_SEQUENCE")
            return nullptr;
        CWBDialog* page = NewOwnPage<CoreStandIn>(GetParent(), m_context);
        if (page)
            static_cast<CoreStandIn*>(page)->name = name;
        return page;
    }
};

bool UpdatePageOnCore::offersSequence = true;
std::vector<std::string> UpdatePageOnCore::asked;

std::string TextOf(HWND window, int control)
{
    char text[512] = {};
    ::GetDlgItemTextA(window, control, text, sizeof text);
    return text;
}

class UpdatePage : public PageBench {
protected:
    void SetUp() override
    {
        PageBench::SetUp();
        UpdatePageOnCore::offersSequence = true;
        UpdatePageOnCore::asked.clear();
        CTextDef::SetText("A_N04_IDC_STATIC1_1", "checking");
        CTextDef::SetText("A_N04_IDC_STATIC1_2", "patching");
        CTextDef::SetText("EPN0260_IDC_STATIC1", "no version file");
        CTextDef::SetText("EXG6001_IDC_STATIC1", "no update");
        CTextDef::SetText("ERR_EPN0260", "<p>EPN0260</p>");
        CTextDef::SetText("ERR_EXG6001", "<p>EXG6001</p>");
    }

    void TearDown() override
    {
        CTextDef::RemoveText("TWEAK_SKIP_UPDATE");
        PageBench::TearDown();
    }

    CWBDialog* NewPage() { return NewOwnPage<UpdatePageOnCore>(frame, &context); }

    static int Position(HWND page)
    {
        return int(::SendDlgItemMessageA(page, IDC_MAIN_PROGRESS, PBM_GETPOS, 0, 0));
    }

    // The page the update page handed over to, when it did.
    CWBDialog* TakeNextPage(bool* handedOver)
    {
        MSG message;
        *handedOver = ::PeekMessageA(&message, frame, WM_KAVO_PAGE, WM_KAVO_PAGE, PM_REMOVE) &&
                      message.wParam == PAGECMD_SETPAGE;
        return *handedOver ? reinterpret_cast<CWBDialog*>(message.lParam) : nullptr;
    }
};

struct ReportCase {
    const char* what;
    WPARAM kind;
    LPARAM value;
    bool offersSequence;
    int position;             // the bar afterwards, when the page stays
    const char* text;         // control 211 afterwards, when the page stays
    const char* next;         // "" stays; a core page name; or an error code
    std::vector<std::string> asked;
};

TEST_F(UpdatePage, ReportsMoveTheBarChangeTheTextOrLeadToTheNextPage)
{
    const ReportCase kCases[] = {
        {"progress", 1, 67, true, 67, "checking", "", {}},
        {"patch phase", 2, 2, true, 40, "patching", "", {}},
        {"other phase", 2, 1, true, 40, "checking", "", {}},
        {"up to date", 0, 0, true, 0, "", "NORMAL_SEQUENCE", {"NORMAL_SEQUENCE"}},
        {"up to date, no sequence", 0, 0, false, 0, "", "CLoginDialog", {"NORMAL_SEQUENCE", "CLoginDialog"}},
        {"patched", 0, 1, true, 0, "", "NORMAL_SEQUENCE", {"NORMAL_SEQUENCE"}},
        {"version file unreadable", 0, 3, true, 0, "", "EPN0260", {}},
        {"download failed", 0, -1, true, 0, "", "EXG6001", {}},
        {"installer started", 0, 2, true, 40, "checking", "", {}},
        {"unknown result", 0, 7, true, 40, "checking", "", {}},
    };
    for (const ReportCase& c : kCases) {
        SCOPED_TRACE(c.what);
        UpdatePageOnCore::offersSequence = c.offersSequence;
        UpdatePageOnCore::asked.clear();
        context.errorCode.Empty();
        CWBDialog* page = NewPage();
        ASSERT_NE(page, nullptr);
        const HWND window = page->m_hWnd;
        EXPECT_EQ(TextOf(window, IDC_MAIN_STATIC1), "checking");
        ::SendMessageA(window, WM_KAVO_UPDATEPROGRESS, 1, 40);
        EXPECT_EQ(::SendMessageA(window, WM_KAVO_UPDATEPROGRESS, c.kind, c.value), 0);

        bool handedOver = false;
        CWBDialog* next = TakeNextPage(&handedOver);
        EXPECT_EQ(UpdatePageOnCore::asked, c.asked);
        const std::string expected = c.next;
        if (expected.empty()) {
            EXPECT_FALSE(handedOver);
            ASSERT_TRUE(::IsWindow(window));
            EXPECT_EQ(Position(window), c.position);
            EXPECT_EQ(TextOf(window, IDC_MAIN_STATIC1), c.text);
            ::DestroyWindow(window);
            continue;
        }
        EXPECT_FALSE(::IsWindow(window));
        ASSERT_TRUE(handedOver);
        ASSERT_NE(next, nullptr);
        if (expected[0] == 'E') {
            EXPECT_EQ(next->GetDialogId(), UINT(IDD_KAVOERROR));
            EXPECT_EQ(context.errorCode, expected.c_str());
            EXPECT_EQ(TextOf(next->m_hWnd, IDC_MAIN_STATIC1), expected == "EPN0260" ? "no version file" : "no update");
        } else {
            EXPECT_EQ(static_cast<CoreStandIn*>(next)->name, expected);
        }
        ::DestroyWindow(next->m_hWnd);
    }
}

TEST_F(UpdatePage, StartUnderSkipUpdateGoesToSignInWithoutAskingTheServer)
{
    Server().Reset();
    CTextDef::SetText("COMMON_URI_KAVOUPDATE", Server().Url("/lud/version.txt").c_str());
    CTextDef::SetText("TWEAK_SKIP_UPDATE", "1");
    CWBDialog* page = NewPage();
    ASSERT_NE(page, nullptr);
    ::SendMessageA(page->m_hWnd, WM_KAVO_PAGE, PAGECMD_START, 0);
    bool handedOver = false;
    CWBDialog* next = TakeNextPage(&handedOver);
    ASSERT_TRUE(handedOver);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(static_cast<CoreStandIn*>(next)->name, "CLoginDialog");
    Sleep(200);
    EXPECT_EQ(Server().Hits("/lud/version.txt"), 0);
}

// The real worker against the fake server, with the download beside the core library.
class UpdateCheck : public UpdatePage {
protected:
    void SetUp() override
    {
        UpdatePage::SetUp();
        ASSERT_TRUE(TrustTestRoot());
        ASSERT_TRUE(Server().Reset());
        CTextDef::SetText("COMMON_URI_KAVOUPDATE", Server().Url("/lud/version.txt").c_str());
        CTextDef::SetText("COMMON_URI_KAVOINSTALLER", Server().Url("/lud/setup.exe").c_str());
        CTextDef::SetText(kOwnUpdatePublisherKey, kTestPublisher);
        record = TempFolder() + "\\update-record-" + std::to_string(GetCurrentProcessId()) + ".txt";
        DeleteFileA(record.c_str());
        SetEnvironmentVariableA("KAVO_FAKE_PACKAGE_RECORD", record.c_str());
        own = CLiveUpdate::ReadOwnVersion(CoreLibraryPath());
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("KAVO_FAKE_PACKAGE_RECORD", nullptr);
        // A started installer may still hold its file for a moment.
        for (int i = 0; i < 100 && !DeleteFileA(Download().c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND; ++i)
            Sleep(50);
        DeleteFileA(record.c_str());
        UpdatePage::TearDown();
    }

    static std::string Download()
    {
        std::string folder = CoreLibraryPath().GetString();
        return folder.substr(0, folder.rfind('\\')) + "\\download.tmp";
    }

    std::string NewerMajor() const { return std::to_string(own.major + 1) + ".0.0.0"; }

    // Starts the page and runs its messages until the worker's result; the page has acted on it.
    LPARAM RunCheck(CWBDialog* page)
    {
        ::PostMessageA(page->m_hWnd, WM_KAVO_PAGE, PAGECMD_START, 0);
        const HWND window = page->m_hWnd;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 60000) {
            MSG message;
            if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
                continue;
            }
            const bool result = message.hwnd == window && message.message == WM_KAVO_UPDATEPROGRESS && message.wParam == 0;
            if (message.hwnd == window && message.message == WM_KAVO_UPDATEPROGRESS && message.wParam == 1)
                positions.push_back(int(message.lParam));
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (result)
                return message.lParam;
        }
        ADD_FAILURE() << "no result within 60 s";
        return -100;
    }

    LiveUpdateVersion own;
    std::string record;
    std::vector<int> positions;
};

struct CheckCase {
    const char* what;
    bool versionFile;       // else the version file answers 404
    const char* installer;  // the package variant served as the installer; null: 404
    LPARAM result;
    const char* errorCode;  // the error page that follows
};

TEST_F(UpdateCheck, FailuresLeadToTheirErrorPageAndARefusedInstallerNeverRuns)
{
    const CheckCase kCases[] = {
        {"version file missing", false, nullptr, 3, "EPN0260"},
        {"installer download fails", true, nullptr, -1, "EXG6001"},
        {"installer changed after signing", true, "tampered", -1, "EXG6001"},
        {"installer not signed", true, "unsigned", -1, "EXG6001"},
        {"installer of another publisher", true, "other", -1, "EXG6001"},
    };
    for (const CheckCase& c : kCases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Server().Reset());
        if (c.versionFile)
            ASSERT_TRUE(Server().Route("/lud/version.txt", NewerMajor() + "\r\n"));
        else
            ASSERT_TRUE(Server().Fail("/lud/version.txt", "404", 0));
        if (c.installer)
            ASSERT_TRUE(Server().Route("/lud/setup.exe", ReadWholeFile(SignedPackage(c.installer))));
        else
            ASSERT_TRUE(Server().Fail("/lud/setup.exe", "404", 0));
        context.errorCode.Empty();
        CWBDialog* page = NewPage();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(RunCheck(page), c.result);

        bool handedOver = false;
        CWBDialog* next = TakeNextPage(&handedOver);
        ASSERT_TRUE(handedOver);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->GetDialogId(), UINT(IDD_KAVOERROR));
        EXPECT_EQ(context.errorCode, c.errorCode);
        EXPECT_EQ(Server().Hits("/lud/setup.exe") > 0, c.versionFile);
        EXPECT_EQ(GetFileAttributesA(Download().c_str()), INVALID_FILE_ATTRIBUTES) << "a refused installer is deleted";
        EXPECT_TRUE(ReadWholeFile(record).empty()) << "nothing ran";
        ::DestroyWindow(next->m_hWnd);
    }
}

TEST_F(UpdateCheck, VerifiedInstallerIsStartedWithTheVersionAndThePageStays)
{
    ASSERT_TRUE(Server().Route("/lud/version.txt", NewerMajor() + "\r\n"));
    ASSERT_TRUE(Server().Route("/lud/setup.exe", ReadWholeFile(SignedPackage("signed"))));
    CWBDialog* page = NewPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(RunCheck(page), 2);

    std::string started;
    for (int i = 0; i < 200 && started.empty(); ++i) {
        Sleep(50);
        started = ReadWholeFile(record);
    }
    EXPECT_EQ(started, "\"" + Download() + "\" -v " + NewerMajor() + "\r\n");
    bool handedOver = false;
    TakeNextPage(&handedOver);
    EXPECT_FALSE(handedOver);
    ASSERT_TRUE(::IsWindow(page->m_hWnd));
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(Position(page->m_hWnd), positions.back());
    EXPECT_GE(positions.back(), 34);
    EXPECT_TRUE(UpdatePageOnCore::asked.empty());
}

TEST_F(UpdateCheck, SameVersionGoesOnToTheNormalSequence)
{
    if (own.Number() == 0)
        GTEST_SKIP() << "the built core library carries no version resource";
    const std::string same = std::to_string(own.major) + "." + std::to_string(own.minor) + "." +
                             std::to_string(own.third) + "." + std::to_string(own.fourth);
    ASSERT_TRUE(Server().Route("/lud/version.txt", same + "\r\n"));
    CWBDialog* page = NewPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(RunCheck(page), 0);
    bool handedOver = false;
    CWBDialog* next = TakeNextPage(&handedOver);
    ASSERT_TRUE(handedOver);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(static_cast<CoreStandIn*>(next)->name, "NORMAL_SEQUENCE");
    EXPECT_EQ(Server().Hits("/lud/setup.exe"), 0);
}

}  // namespace
