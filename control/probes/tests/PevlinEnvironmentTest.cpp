#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "FakeTools.h"
#include "KavoTestPaths.h"
#include "PevlinEnvironment.h"

namespace {

TEST(OsTable, VersionsMapToNameAndClass)
{
    const struct {
        DWORD platform, major, minor;
        const char* name;
        LONG osClass;
    } cases[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, "Windows 95", -1},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, "Windows 98", 0},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, "Windows ME", 0},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 20, "Unknown", -1},
        {VER_PLATFORM_WIN32_NT, 4, 0, "Windows NT 4.0", -1},
        {VER_PLATFORM_WIN32_NT, 5, 0, "Windows 2000", 1},
        {VER_PLATFORM_WIN32_NT, 5, 1, "Windows XP", 2},
        {VER_PLATFORM_WIN32_NT, 5, 2, "Windows 2003", 2},
        {VER_PLATFORM_WIN32_NT, 5, 3, "Unknown", -1},
        {VER_PLATFORM_WIN32_NT, 6, 0, "Windows Vista", 3},
        {VER_PLATFORM_WIN32_NT, 6, 1, "Windows 7", 3},
        {VER_PLATFORM_WIN32_NT, 6, 2, "Windows 8", 3},
        {VER_PLATFORM_WIN32_NT, 6, 3, "Windows 8", 3},
        {VER_PLATFORM_WIN32_NT, 7, 0, "Unknown", -1},
        {VER_PLATFORM_WIN32_NT, 10, 0, "Unknown", -1},
        {VER_PLATFORM_WIN32s, 3, 10, "Unknown", -1},
        {VER_PLATFORM_WIN32_WINDOWS, 5, 1, "Unknown", -1},
    };
    for (const auto& c : cases) {
        const OsClassification os = ClassifyOs(c.platform, c.major, c.minor);
        EXPECT_STREQ(os.name, c.name) << c.platform << " " << c.major << "." << c.minor;
        EXPECT_EQ(os.osClass, c.osClass) << c.platform << " " << c.major << "." << c.minor;
    }
}

TEST(OsTable, HostsFileDependsOnTheClass)
{
    const struct {
        LONG osClass;
        const char* folder;
        const char* path;
    } cases[] = {
        {0, "C:\\WIN98", "C:\\WIN98/hosts"},
        {0, "", "C:/Windows/hosts"},
        {1, "C:\\WINNT\\system32", "C:\\WINNT\\system32/drivers/etc/hosts"},
        {1, nullptr, "C:/WINNT/System32/drivers/etc/hosts"},
        {2, "C:\\WINDOWS\\system32", "C:\\WINDOWS\\system32/drivers/etc/hosts"},
        {2, "", "C:/windows/System32/drivers/etc/hosts"},
        {3, "C:\\Windows\\system32", ""},
        {-1, "C:\\Windows\\system32", ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(HostsFilePathFor(c.osClass, c.folder), c.path) << c.osClass;
}

class Environment : public ::testing::Test {
protected:
    void SetUp() override { folder = MakeTestFolder("env"); }
    void TearDown() override { RemoveTestFolder(folder); }
    std::string folder;
};

TEST_F(Environment, LoggingIsOnOnlyWhenTheLogFileAlreadyExists)
{
    PevlinState state;
    state.LogPath = folder.c_str();
    EXPECT_FALSE(InitEnvironment(state));
    EXPECT_STREQ(state.logFilePath, "");

    const std::string log = folder + "\\axpevlin.log";
    ASSERT_TRUE(WriteWholeFile(log, ""));
    EXPECT_TRUE(InitEnvironment(state));
    EXPECT_EQ(std::string(state.logFilePath), log);

    // Decided afresh each time: deleting the file turns it off again.
    DeleteFileA(log.c_str());
    EXPECT_FALSE(InitEnvironment(state));
    EXPECT_STREQ(state.logFilePath, "");
}

TEST_F(Environment, MissingFolderOrOverlongPathLeavesLoggingOff)
{
    PevlinState state;
    state.LogPath = (folder + "\\missing").c_str();
    EXPECT_FALSE(InitEnvironment(state));
    // A folder named like the log file does not count as the file.
    ASSERT_TRUE(CreateDirectoryA((folder + "\\axpevlin.log").c_str(), nullptr));
    state.LogPath = folder.c_str();
    EXPECT_FALSE(InitEnvironment(state));
    state.LogPath = (folder + "\\" + std::string(300, 'd')).c_str();
    EXPECT_FALSE(InitEnvironment(state));
    EXPECT_STREQ(state.logFilePath, "");
}

TEST_F(Environment, DefaultLogPathIsBelowTheCurrentDirectory)
{
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(CreateDirectoryA((folder + "\\support").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(folder + "\\support\\axpevlin.log", ""));
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    PevlinState state;
    state.LogPath = ".\\support";
    const bool on = InitEnvironment(state);
    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(on);
    EXPECT_STREQ(state.logFilePath, ".\\support\\axpevlin.log");
}

TEST_F(Environment, ThisSystemIsClassifiedAndItsHostsFileFollowsTheClass)
{
    OSVERSIONINFOA version = {sizeof version};
    ASSERT_TRUE(GetVersionExA(&version));
    const OsClassification expected = ClassifyOs(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
    PevlinState state;
    InitEnvironment(state);
    EXPECT_STREQ(state.osName, expected.name);
    EXPECT_EQ(state.osClass, expected.osClass);
    if (state.osClass == 1 || state.osClass == 2) {
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, MAX_PATH);
        EXPECT_STRCASEEQ(state.hostsFilePath, (std::string(system) + "/drivers/etc/hosts").c_str());
    } else if (state.osClass != 0) {
        EXPECT_STREQ(state.hostsFilePath, "");
    }
}

}  // namespace
