// The documents of the requirement-shortfall pages: results and requirement texts, the
// drive list, and the list of conflicting software.
#include "PageContentBench.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <utility>

#include "CSystemRequirements.h"
#include "DiskSpace.h"
#include "pages/CShortAppDialog.h"
#include "pages/CShortDialog.h"
#include "pages/CShortHDDDialog.h"
#include "pages/CUpgradeShortAppDialog.h"
#include "pages/CUpgradeShortDialog.h"
#include "pages/CUpgradeShortHDDDialog.h"

namespace {

const ULONGLONG KB = 1024;
const ULONGLONG TB = KB * KB * KB * KB;

// Both the normal page and its upgrade variant write the same document.
template <typename Normal, typename Upgrade>
const std::pair<const char*, std::function<CWBDialog*()>> kVariants[] = {
    {"normal", [] { return static_cast<CWBDialog*>(new Normal); }},
    {"upgrade", [] { return static_cast<CWBDialog*>(new Upgrade); }},
};

TEST(FormatDriveSize, DividesUntilAtMost1024AndStopsAtTerabytes)
{
    const struct {
        ULONGLONG bytes;
        const char* text;
    } cases[] = {
        {0, "0B"},
        {1024, "1024B"},
        {1025, "1KB"},
        {1024 * KB + 1023, "1024KB"},
        {1025 * KB, "1MB"},
        // Truncated at each step, so a size and a half shows the whole unit.
        {1536 * KB * KB, "1GB"},
        {500 * KB * KB * KB, "500GB"},
        {2 * TB - 1, "1TB"},
        {1024 * TB, "1024TB"},
        // Past T there is no unit: the number grows in T.
        {1025 * TB, "1025TB"},
        {0xFFFFFFFFFFFFFFFFull, "16777215TB"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(FormatDriveSize(c.bytes), c.text) << c.bytes;
}

class ShortfallPages : public PageContentBench {
protected:
    void TearDown() override
    {
        PageContentBench::TearDown();
        GetSystemRequirements().RemoveAll();
    }
};

TEST_F(ShortfallPages, ShortPageShowsEachResultBesideItsRequirementText)
{
    CTextDef::SetText("B_E02_2_IDC_WEBBROWSER",
                      "OS &OS_Requirements;=&OS_CheckResult; IE &IE_Requirements;=&IE_CheckResult; "
                      "CPU &CPU_Requirements;=&CPU_CheckResult; HDD &HDD_Requirements;=&HDD_CheckResult; "
                      "MEM &MEM_Requirements;=&MEM_CheckResult; [&ErrorCode;] &CURL; &APP_CheckResult;");
    CSystemRequirements& requirements = GetSystemRequirements();
    requirements.OnEntry("OS", "OS_Requirements", "Windows 10/11");
    requirements.OnEntry("IE", "IE_Requirements", "IE 11");
    requirements.OnEntry("CPU", "CPU_Requirements", "1GHz");
    requirements.OnEntry("HDD", "HDD_Requirements", "1.5GB");
    requirements.OnEntry("MEM", "MEM_Requirements", "2GB");
    CTextDef::SetDomainUrl("http://127.0.0.1:1");
    // Every result differs from its neighbours, so a result read from the wrong slot shows.
    context.requirementResults[REQ_IE] = 1;
    context.requirementResults[REQ_OS] = 0;
    context.requirementResults[REQ_CPU] = 2;
    context.requirementResults[REQ_MEM] = 1;
    context.requirementResults[REQ_HDD] = 0;
    context.requirementResults[REQ_APP] = 2;

    const struct {
        const char* errorCode;
        const char* shown;
    } codes[] = {{"EXG0004", "EXG0004"}, {"", "EXG0000"}};
    for (const auto& variant : kVariants<CShortDialog, CUpgradeShortDialog>) {
        for (const auto& code : codes) {
            SCOPED_TRACE(std::string(variant.first) + " code " + code.errorCode);
            context.errorCode = code.errorCode;
            CWBDialog* page = Open(variant.second());
            ASSERT_NE(page, nullptr);
            EXPECT_EQ(Html(page), std::string("OS Windows 10/11=0 IE IE 11=1 CPU 1GHz=2 HDD 1.5GB=0 MEM 2GB=1 [") +
                                      code.shown + "] http://127.0.0.1:1 &APP_CheckResult;");
            ::DestroyWindow(page->m_hWnd);
        }
    }
}

TEST_F(ShortfallPages, ShortPageWithoutOsDefinitionShowsEmptyRequirementTexts)
{
    CTextDef::SetText("B_E02_2_IDC_WEBBROWSER", "[&OS_Requirements;][&MEM_Requirements;]");
    CShortDialog* page = Open(new CShortDialog);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Html(page), "[][]");
}

// Drives the test has, by root path; any other root fails as a drive without medium does.
std::map<std::string, std::pair<ULONGLONG, ULONGLONG>> g_drives;
std::vector<std::string> g_asked;

BOOL FakeDiskSpace(const char* root, ULONGLONG* freeToCaller, ULONGLONG* total)
{
    g_asked.push_back(root);
    const auto drive = g_drives.find(root);
    if (drive == g_drives.end()) {
        // A failing query may leave anything behind; the page must not show it.
        *freeToCaller = 77;
        *total = 77;
        return FALSE;
    }
    *freeToCaller = drive->second.first;
    *total = drive->second.second;
    return TRUE;
}

class DriveList : public ShortfallPages {
protected:
    void SetUp() override
    {
        ShortfallPages::SetUp();
        g_drives.clear();
        g_asked.clear();
        m_former = SetDiskSpaceQuery(FakeDiskSpace);
        CTextDef::SetText("B_E02_HDD_2_IDC_WEBBROWSER",
                          "<table>&AvailableDrives;</table>[&ErrorCode;] &RequiredSystemDiskSpace;/"
                          "&RequiredInstallDiskSpace;MB");
        CTextDef::SetText("B_E02_HDD_2_TMPL_DRIVE", "<tr>&DriveLetter;|&Total;|&Available;</tr>");
    }

    void TearDown() override
    {
        SetDiskSpaceQuery(m_former);
        ShortfallPages::TearDown();
    }

    DiskSpaceQuery m_former = nullptr;
};

TEST_F(DriveList, ListsTheDrivesOfTheMaskThatAnswerInLetterOrder)
{
    // C: exactly 1024 bytes free, D: 1025, Z: (bit 25) in terabytes, E: in the mask but
    // without medium; F: answers but is not in the mask.
    g_drives["C:\\"] = {1024, 500 * KB * KB * KB};
    g_drives["D:\\"] = {1025, 2 * TB};
    g_drives["Z:\\"] = {1024 * TB, 3000 * TB};
    g_drives["F:\\"] = {1, 1};
    const DWORD mask = (1u << 2) | (1u << 3) | (1u << 4) | (1u << 25);
    const std::string rows = "<tr>C|500GB|1024B</tr><tr>D|2TB|1KB</tr><tr>Z|3000TB|1024TB</tr>";
    context.diskFigures[0] = mask;
    context.diskFigures[1] = 1536;
    context.diskFigures[2] = 300;

    const struct {
        const char* errorCode;
        const char* shown;
    } codes[] = {{"EXG0003", "EXG0003"}, {"", "EXG0000"}};
    for (const auto& variant : kVariants<CShortHDDDialog, CUpgradeShortHDDDialog>) {
        for (const auto& code : codes) {
            SCOPED_TRACE(std::string(variant.first) + " code " + code.errorCode);
            g_asked.clear();
            context.errorCode = code.errorCode;
            CWBDialog* page = Open(variant.second());
            ASSERT_NE(page, nullptr);
            EXPECT_EQ(Html(page), "<table>" + rows + "</table>[" + code.shown + "] 1536/300MB");
            EXPECT_EQ(g_asked, std::vector<std::string>({"C:\\", "D:\\", "E:\\", "Z:\\"}));
            ::DestroyWindow(page->m_hWnd);
        }
    }
}

TEST_F(DriveList, EmptyMaskOrOnlyFailingDrivesGiveAnEmptyList)
{
    for (const DWORD mask : {DWORD(0), DWORD(1u << 4), DWORD(0xFC000000u)}) {
        SCOPED_TRACE(mask);
        context.diskFigures[0] = mask;
        CShortHDDDialog* page = Open(new CShortHDDDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Html(page), "<table></table>[EXG0000] 0/0MB");
        ::DestroyWindow(page->m_hWnd);
    }
}

TEST_F(DriveList, DiskFiguresAlsoReachTheControlTexts)
{
    context.diskFigures[1] = 2048;
    context.diskFigures[2] = 512;
    CShortHDDDialog* page = Open(new CShortHDDDialog);
    ASSERT_NE(page, nullptr);
    CString text;
    page->GetExpandedText(text, "B_E02_HDD_2_IDC_STATIC3");
    EXPECT_NE(std::string(text).find("2048MB"), std::string::npos) << text.GetString();
    EXPECT_NE(std::string(text).find("512MB"), std::string::npos) << text.GetString();
    EXPECT_EQ(std::string(text).find('&'), std::string::npos) << text.GetString();
}

class BlockerList : public ShortfallPages {
protected:
    void SetUp() override
    {
        ShortfallPages::SetUp();
        CTextDef::SetText("B_E02_SOFT_2_IDC_WEBBROWSER", "<ul>&BlockerList;</ul>[&ErrorCode;]");
        CTextDef::SetText("B_E02_SOFT_2_TMPL_BLOCKER", "<li>&BlockerTitle;</li>");
    }

    void SetNames(std::initializer_list<const char*> names)
    {
        context.conflictLists.displayNames.RemoveAll();
        context.conflictLists.uninstallKeys.RemoveAll();
        for (const char* name : names) {
            context.conflictLists.displayNames.Add(CString(name));
            context.conflictLists.uninstallKeys.Add(CString("key"));
        }
    }
};

TEST_F(BlockerList, ListsEachNameOnceEscapedInListOrder)
{
    const struct {
        std::initializer_list<const char*> names;
        const char* errorCode;
        std::string html;
    } cases[] = {
        {{}, "", "<ul></ul>[]"},
        {{"Guard 2020"}, "EXG0006", "<ul><li>Guard 2020</li></ul>[EXG0006]"},
        // A name met again is left out wherever it stands; names differing in case are not the same.
        {{"Guard", "Shield", "Guard", "guard", "Shield"},
         "EXG0006",
         "<ul><li>Guard</li><li>Shield</li><li>guard</li></ul>[EXG0006]"},
        // Markup in a name is shown, not obeyed; blanks stay blanks; a "&BlockerList;" in a name is text.
        {{"A&B <Pro> \"X\" 'y'", "&BlockerList;", "セキュリティ＆ソフト"},
         "EXG0006",
         "<ul><li>A&amp;B &lt;Pro&gt; &quot;X&quot; 'y'</li><li>&amp;BlockerList;</li>"
         "<li>セキュリティ＆ソフト</li></ul>[EXG0006]"},
    };
    for (const auto& variant : kVariants<CShortAppDialog, CUpgradeShortAppDialog>) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(variant.first) + " " + c.html);
            SetNames(c.names);
            context.errorCode = c.errorCode;
            CWBDialog* page = Open(variant.second());
            ASSERT_NE(page, nullptr);
            EXPECT_EQ(Html(page), c.html);
            ::DestroyWindow(page->m_hWnd);
        }
    }
}

TEST_F(BlockerList, TellsTheWaitingHostThatTheWizardStopped)
{
    // Absent event: the page writes its list all the same.
    SetNames({"Guard"});
    CShortAppDialog* first = Open(new CShortAppDialog);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Html(first), "<ul><li>Guard</li></ul>[]");
    ::DestroyWindow(first->m_hWnd);

    for (const auto& variant : kVariants<CShortAppDialog, CUpgradeShortAppDialog>) {
        SCOPED_TRACE(variant.first);
        HANDLE stop = ::CreateEventA(nullptr, TRUE, FALSE, "KAVO_OSA_EVENT_STOP");
        ASSERT_NE(stop, nullptr);
        CWBDialog* page = Open(variant.second());
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(::WaitForSingleObject(stop, 0), WAIT_OBJECT_0);
        ::CloseHandle(stop);
        ::DestroyWindow(page->m_hWnd);
    }
}

}  // namespace
