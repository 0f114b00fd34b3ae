#include <gtest/gtest.h>

#include <vector>

#include "CLiveUpdate.h"
#include "KavoMessages.h"
#include "KavoTestPaths.h"
#include "KavoVersion.h"

namespace {

LiveUpdateVersion Version(WORD major, WORD minor, WORD third, WORD fourth)
{
    LiveUpdateVersion version;
    version.major = major;
    version.minor = minor;
    version.third = third;
    version.fourth = fourth;
    return version;
}

struct ParseCase {
    const char* text;
    bool readable;
    WORD major, minor, third, fourth;
    const char* patchUrl;
};

TEST(LiveUpdateVersionFile, ReadsVersionAndPatchUrlOrRefusesTheFile)
{
    const ParseCase cases[] = {
        {"1.2.3.4", true, 1, 2, 3, 4, ""},
        {"1.2.4.0 http://127.0.0.1/patch.exe", true, 1, 2, 4, 0, "http://127.0.0.1/patch.exe"},
        {"1.2.4.0\thttp://127.0.0.1/patch.exe\r\n", true, 1, 2, 4, 0, "http://127.0.0.1/patch.exe"},
        {"1.2.3.4\r\n", true, 1, 2, 3, 4, ""},
        {"1.2.3.4\n", true, 1, 2, 3, 4, ""},
        {"1.2.3.4\t", true, 1, 2, 3, 4, ""},
        {"  \t1.3", true, 1, 3, 0, 0, ""},
        {"1.2.3.65537", true, 1, 2, 3, 1, ""},
        {"", false, 0, 0, 0, 0, ""},
        {"\r\n", false, 0, 0, 0, 0, ""},
        {"0.9.0.0", false, 0, 9, 0, 0, ""},
        {"abc", false, 0, 0, 0, 0, ""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        LiveUpdateVersion version;
        EXPECT_EQ(c.readable, CLiveUpdate::ParseVersionFile(c.text, version));
        EXPECT_EQ(c.major, version.major);
        EXPECT_EQ(c.minor, version.minor);
        EXPECT_EQ(c.third, version.third);
        EXPECT_EQ(c.fourth, version.fourth);
        EXPECT_STREQ(c.patchUrl, version.patchUrl.GetString());
    }
}

TEST(LiveUpdateVersionFile, NullTextIsUnreadable)
{
    LiveUpdateVersion version;
    EXPECT_FALSE(CLiveUpdate::ParseVersionFile(nullptr, version));
}

TEST(LiveUpdateVersionFile, VersionTokenKeepsItsTextForTheCommandLine)
{
    LiveUpdateVersion version;
    ASSERT_TRUE(CLiveUpdate::ParseVersionFile("1.2.4.0\thttp://127.0.0.1/p.exe\r\n", version));
    EXPECT_STREQ("1.2.4.0", version.text.GetString());
}

struct ActionCase {
    const char* name;
    LiveUpdateVersion remote;
    LiveUpdateAction action;
};

TEST(LiveUpdateDecision, FirstNewerPartChoosesInstallerPatchOrNothing)
{
    const LiveUpdateVersion own = Version(1, 2, 3, 4);
    const ActionCase cases[] = {
        {"equal", Version(1, 2, 3, 4), LiveUpdateAction::None},
        {"major newer", Version(2, 0, 0, 0), LiveUpdateAction::Installer},
        {"minor newer", Version(1, 3, 0, 0), LiveUpdateAction::Installer},
        {"third newer", Version(1, 2, 4, 0), LiveUpdateAction::Patch},
        {"only fourth newer", Version(1, 2, 3, 9), LiveUpdateAction::None},
        {"older major, newer minor", Version(0, 9, 9, 9), LiveUpdateAction::None},
        {"older minor, newer third", Version(1, 1, 9, 9), LiveUpdateAction::None},
        {"older", Version(1, 2, 3, 3), LiveUpdateAction::None},
    };
    for (const ActionCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.action, ChooseUpdateAction(own, c.remote));
    }
}

TEST(LiveUpdateDecision, MissingOwnVersionTakesAnyPublishedVersionAsAnInstall)
{
    EXPECT_EQ(LiveUpdateAction::Installer, ChooseUpdateAction(LiveUpdateVersion(), Version(1, 0, 0, 0)));
}

TEST(LiveUpdateOwnVersion, FileWithoutVersionResourceCountsAsZero)
{
    const LiveUpdateVersion missing = CLiveUpdate::ReadOwnVersion("Z:\\no such folder\\KAVOCore.dll");
    EXPECT_EQ(0u, missing.Number());
}

TEST(LiveUpdateOwnVersion, BuiltCoreLibraryIsTheRelease)
{
    const LiveUpdateVersion own = CLiveUpdate::ReadOwnVersion((TestBinFolder() + "\\KAVOCore.dll").c_str());
    EXPECT_EQ(own.Number(), Version(KAVO_VERSION_MAJOR, KAVO_VERSION_MINOR, KAVO_VERSION_THIRD, KAVO_VERSION_FOURTH).Number());
}

// Collects the WM_KAVO_UPDATEPROGRESS posts a progress sink sends to a message-only window.
class PostedProgress {
public:
    PostedProgress()
    {
        m_window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~PostedProgress() { DestroyWindow(m_window); }
    HWND Window() const { return m_window; }
    std::vector<LPARAM> Positions()
    {
        std::vector<LPARAM> positions;
        MSG msg;
        while (PeekMessageA(&msg, m_window, WM_KAVO_UPDATEPROGRESS, WM_KAVO_UPDATEPROGRESS, PM_REMOVE))
            if (msg.wParam == 1)
                positions.push_back(msg.lParam);
        return positions;
    }

private:
    HWND m_window;
};

TEST(LiveUpdateProgress, MapsDownloadOntoThirtyFourToSixtySevenWithoutOverflow)
{
    PostedProgress posted;
    CLiveUpdate update;
    update.notifyWindow = posted.Window();
    EXPECT_EQ(S_OK, update.OnProgress(0, 1000, 0, nullptr));
    EXPECT_EQ(S_OK, update.OnProgress(500, 1000, 0, nullptr));
    EXPECT_EQ(S_OK, update.OnProgress(1000, 1000, 0, nullptr));
    // done * 33 no longer fits 32 bits here.
    EXPECT_EQ(S_OK, update.OnProgress(0xF0000000u, 0xF0000000u, 0, nullptr));
    EXPECT_EQ(S_OK, update.OnProgress(0x80000000u, 0xF0000000u, 0, nullptr));
    // An unknown total reports nothing.
    EXPECT_EQ(S_OK, update.OnProgress(123, 0, 0, nullptr));
    EXPECT_EQ((std::vector<LPARAM>{34, 50, 67, 67, 51}), posted.Positions());
}

}  // namespace
