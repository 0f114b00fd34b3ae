// The firewall-product scan and the pages it leads to.
#include "PageBench.h"

#include <windows.h>

#include <string>
#include <vector>

#include "../../../core/tests/UninstallKeys.h"
#include "CFirewallFoundDialog.h"
#include "CKavoErrorDialog.h"
#include "CTextDef.h"
#include "FirewallCheck.h"
#include "FirewallScan.h"
#include "KavoMessages.h"

namespace {

using Strings = std::vector<std::string>;

Strings ToStrings(const CSimpleArray<CString>& items)
{
    Strings out;
    for (int i = 0; i < items.GetSize(); ++i)
        out.push_back(items[i].GetString());
    return out;
}

std::string Key(const char* stem)
{
    return UninstallKeys::Name(stem);
}

TEST(FirewallScanText, ProductListDropsCommentsAndBlanksAndCrLfSplitOpensNoEmptyLastLine)
{
    CSimpleArray<CString> products;
    ParseProductList("  Alpha  # the first\r\n#only a comment\n\n\t\nBeta\r\n Gamma", products);
    EXPECT_EQ(ToStrings(products), Strings({"Alpha", "Beta", "Gamma"}));

    const struct {
        const char* text;
        Strings lines;
    } kCases[] = {
        {"A\r\nB\r\n", {"A", "B"}},
        {"A\r\nB", {"A", "B"}},
        {"", {""}},
        {"A\r\n\r\nB", {"A", "", "B"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        CSimpleArray<CString> lines;
        SplitCrLfLines(c.text, lines);
        EXPECT_EQ(ToStrings(lines), c.lines);
    }
}

class FirewallScanMatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(keys.Install(Key("fw32"), "Wall 32", KEY_WOW64_32KEY));
        ASSERT_TRUE(keys.Install(Key("fw64"), "Wall 64", KEY_WOW64_64KEY));
        ASSERT_TRUE(keys.Install(Key("same1"), "Same Wall", KEY_WOW64_32KEY));
        ASSERT_TRUE(keys.Install(Key("same2"), "Same Wall", KEY_WOW64_32KEY));
        ASSERT_TRUE(keys.Install(Key("self"), Key("self").c_str(), KEY_WOW64_32KEY));
        ASSERT_TRUE(keys.Install(Key("nameless"), nullptr, KEY_WOW64_32KEY));
    }

    UninstallKeys keys;
};

TEST_F(FirewallScanMatch, FindsListedKeysOfBothViewsUnlessTheirPairIsExcluded)
{
    const std::string fw32 = Key("fw32"), fw64 = Key("fw64"), self = Key("self");
    const struct {
        const char* what;
        std::string list;
        std::string exclusions;
        Strings found;
    } kCases[] = {
        {"both views, list order", fw64 + "\n" + fw32 + "\n", "", {"Wall 64", "Wall 32"}},
        {"no DisplayName or no key reports nothing", Key("nameless") + "\n" + Key("absent"), "", {}},
        {"key names match case-sensitively", Key("FW32"), "", {}},
        {"key+TAB+name excludes only that name", fw32 + "\n" + fw64, fw32 + "\tWall 32\r\n" + fw64 + "\tOther", {"Wall 64"}},
        {"key alone excludes only a DisplayName equal to it", fw32, fw32 + "\r\n" + self, {"Wall 32"}},
        {"exclusion keys join the list", "", fw64 + "\tOther\r\n\tWall 32\r\n", {"Wall 64"}},
        {"same display name found twice", Key("same1") + "\n" + Key("same2"), "", {"Same Wall", "Same Wall"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        CSimpleArray<CString> products;
        ParseProductList(c.list.c_str(), products);
        FirewallScan scan;
        scan.Match(products, c.exclusions.c_str());
        EXPECT_EQ(ToStrings(scan.found), c.found);
    }
}

TEST_F(FirewallScanMatch, WorkerReadsTheListFileOrElseOnlyTheExclusionKeysAndPostsNothingWithoutAWindow)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string listPath = std::string(temp) + "fwlist-" + std::to_string(GetCurrentProcessId()) + ".dat";
    const std::string list = "# products\r\n" + Key("fw32") + "   # comment\r\n\r\n" + Key("fw64") + "\r\n";
    HANDLE file = CreateFileA(listPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, list.data(), DWORD(list.size()), &written, nullptr);
    CloseHandle(file);
    CTextDef::SetText("COMMON_DATA_FIREWALL_EXCLUDE_LIST", (Key("self") + "\r\n" + Key("same1")).c_str());

    FirewallScan withFile;
    withFile.listPath = listPath.c_str();
    withFile.libraryPath = "no-such-library.dll";
    withFile.Run();
    EXPECT_EQ(ToStrings(withFile.found), Strings({"Wall 32", "Wall 64", "Same Wall"}));
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, HWND(-1), WM_KAVO_PAGE, WM_KAVO_PAGE, PM_REMOVE));

    DeleteFileA(listPath.c_str());
    FirewallScan withoutFile;
    withoutFile.listPath = listPath.c_str();
    withoutFile.Start(nullptr, "no-such-library.dll", true);
    EXPECT_EQ(ToStrings(withoutFile.found), Strings({"Same Wall"}));
    CTextDef::SetText("COMMON_DATA_FIREWALL_EXCLUDE_LIST", "");
}

class FirewallPages : public PageBench {
protected:
    void SetUp() override
    {
        PageBench::SetUp();
        CTextDef::SetText("EXG3001_IDC_WEBBROWSER", "<ul>&BlockerList;</ul>");
        CTextDef::SetText("EXG3001_TMPL_BLOCKER", "<li>&BlockerTitle;</li>");
        CTextDef::SetText("EPN0260_IDC_STATIC1", "no version file");
        CTextDef::SetText("EXG6001_IDC_STATIC1", "no download");
        CTextDef::SetText("ERR_EPN0260", "<p>EPN0260 page</p>");
        CTextDef::SetText("ERR_EXG6001", "<p>EXG6001 page</p>");
    }

    std::string Html(const CWBDialog* page) const
    {
        const Strings documents = WrittenDocuments(page);
        return documents.empty() ? std::string() : documents.back();
    }
};

TEST_F(FirewallPages, FoundProductsAreListedOnceEscapedAndTheContextIsEmptiedAfterwards)
{
    UninstallKeys keys;
    ASSERT_TRUE(keys.Install(Key("odd"), "A<B & \"C\"", KEY_WOW64_32KEY));
    ASSERT_TRUE(keys.Install(Key("odd2"), "A<B & \"C\"", KEY_WOW64_64KEY));
    CTextDef::SetText("COMMON_DATA_FIREWALL_EXCLUDE_LIST", (Key("odd") + "\tX\r\n" + Key("odd2") + "\tY").c_str());
    context.SetValue("other", "value");
    const HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, "KAVO_OSA_EVENT_STOP");
    const HANDLE start = CreateEventA(nullptr, TRUE, FALSE, "KAVO_OSA_EVENT_START");

    CWBDialog* page = RunFirewallCheck(frame, &context, "no-such-fwlist.dat");
    CTextDef::SetText("COMMON_DATA_FIREWALL_EXCLUDE_LIST", "");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetDialogId(), UINT(IDD_FIREWALLFOUND));
    EXPECT_EQ(WaitForSingleObject(stop, 0), WAIT_OBJECT_0);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Html(page), std::string(kShiftJisMetaLine) + "<ul><li>A&lt;B &amp; &quot;C&quot;</li></ul>");
    EXPECT_EQ(context.values.GetCount(), 0u);

    // Next does nothing while hidden; shown, it signals the start event and leaves the page.
    ::ShowWindow(::GetDlgItem(page->m_hWnd, IDC_MAIN_NEXT), SW_HIDE);
    ::SendMessageA(page->m_hWnd, WM_COMMAND, IDC_MAIN_NEXT, 0);
    EXPECT_EQ(WaitForSingleObject(start, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(::IsWindow(page->m_hWnd));
    const HWND pageWindow = page->m_hWnd;
    ::ShowWindow(::GetDlgItem(pageWindow, IDC_MAIN_NEXT), SW_SHOW);
    ::SendMessageA(pageWindow, WM_COMMAND, IDC_MAIN_NEXT, 0);
    EXPECT_EQ(WaitForSingleObject(start, 0), WAIT_OBJECT_0);
    EXPECT_FALSE(::IsWindow(pageWindow));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, frame, WM_KAVO_PAGE, WM_KAVO_PAGE, PM_REMOVE));
    const auto* next = reinterpret_cast<CWBDialog*>(message.lParam);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->GetDialogId(), UINT(IDD_UPDATE));
    CloseHandle(stop);
    CloseHandle(start);
}

TEST_F(FirewallPages, NoProductFoundLeadsToTheUpdatePage)
{
    CWBDialog* page = RunFirewallCheck(frame, &context, "no-such-fwlist.dat");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetDialogId(), UINT(IDD_UPDATE));
}

TEST_F(FirewallPages, ErrorPageShowsTheTextsOfItsCode)
{
    CMainPageSource source;
    for (const char* code : {"EPN0260", "EXG6001"}) {
        SCOPED_TRACE(code);
        context.errorCode = code;
        CWBDialog* page = source.CreateHostPage(StartPageChoice::ErrorPage, frame, &context);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(Settle());
        char text[64] = {};
        ::GetDlgItemTextA(page->m_hWnd, IDC_MAIN_STATIC1, text, sizeof text);
        EXPECT_STREQ(text, std::string(code) == "EPN0260" ? "no version file" : "no download");
        EXPECT_EQ(Html(page), std::string(kShiftJisMetaLine) + "<p>" + code + " page</p>");
        ::DestroyWindow(page->m_hWnd);
    }
}

}  // namespace
