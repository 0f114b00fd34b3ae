#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CHandle.h"
#include "CKAVOModule.h"
#include "CPageContext.h"
#include "CRegKey.h"
#include "CTextDef.h"
#include "DomainUrl.h"
#include "ExitCleanup.h"
#include "IThreadList.h"
#include "KavoDriver.h"
#include "KavoTestPaths.h"
#include "LauncherBlock.h"
#include "ProgramFolder.h"

namespace {

void PutText(BYTE* block, size_t offset, const char* text)
{
    std::memcpy(block + offset, text, std::strlen(text) + 1);
}

TEST(LauncherBlock, OverridesIdAndKeyAndOnlyOsaModes)
{
    struct Case {
        const char* mode;
        LONG before;
        LONG after;
    };
    for (const Case& c : {Case{"osa1", RUNMODE_NORMAL, RUNMODE_OSA1}, Case{"osa2", RUNMODE_PARENTED, RUNMODE_OSA2},
                          Case{"parented", RUNMODE_OSA2, RUNMODE_OSA2}, Case{"", RUNMODE_PARENTED, RUNMODE_PARENTED}}) {
        BYTE block[LAUNCHER_BLOCK_SIZE] = {};
        PutText(block, LAUNCHER_CUSTOMER_ID_OFFSET, "K1234567");
        PutText(block, LAUNCHER_ACCESS_KEY_OFFSET, "key");
        PutText(block, LAUNCHER_MODE_OFFSET, c.mode);
        CPageContext context;
        context.customer.VeldinCommonID = "from-command-line";
        context.runMode = c.before;
        ApplyLauncherBlock(context, block);
        EXPECT_EQ(context.customer.VeldinCommonID, "K1234567");
        EXPECT_EQ(context.customer.AccessKey, "key");
        EXPECT_EQ(context.runMode, c.after) << c.mode;
    }
}

TEST(LauncherBlock, UnterminatedFieldsAreReadOnlyToTheirEnd)
{
    BYTE block[LAUNCHER_BLOCK_SIZE];
    std::memset(block, 'x', sizeof block);
    CPageContext context;
    ApplyLauncherBlock(context, block);
    EXPECT_EQ(context.customer.VeldinCommonID.GetLength(), 16);
    EXPECT_EQ(context.customer.AccessKey.GetLength(), 376);
    EXPECT_EQ(context.runMode, RUNMODE_NORMAL);
}

TEST(LauncherBlock, MappedBlockIsOpenedOnceUntilClosed)
{
    EXPECT_EQ(OpenParentParams(FILE_MAP_READ), nullptr);
    CHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, LAUNCHER_BLOCK_SIZE,
                                       "TOSKPARAMS_FILEMAPPINGOBJECT"));
    ASSERT_TRUE(bool(mapping));
    BYTE* writable = static_cast<BYTE*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, LAUNCHER_BLOCK_SIZE));
    ASSERT_NE(writable, nullptr);
    PutText(writable, LAUNCHER_MODE_OFFSET, "osa2");

    const BYTE* view = OpenParentParams(FILE_MAP_READ);
    ASSERT_NE(view, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(view + LAUNCHER_MODE_OFFSET), "osa2");
    EXPECT_EQ(OpenParentParams(FILE_MAP_READ), nullptr);
    CloseParentParams();
    EXPECT_NE(OpenParentParams(FILE_MAP_READ), nullptr);
    CloseParentParams();
    UnmapViewOfFile(writable);
}

class DomainUrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTextDef::SetText("COMMON_REG_HKLM_KAVO", "HKEY_LOCAL_MACHINE\\SOFTWARE\\KavoStartupTest\\KAVO");
        CTextDef::SetText("COMMON_INITCONF_URL", "http://127.0.0.1:9");
    }
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\KavoStartupTest");
        CTextDef::SetDomainUrl("");
    }
};

TEST_F(DomainUrlTest, RegistryValueWinsOverTheInitialUrl)
{
    EXPECT_EQ(ReadDomainUrl(), "http://127.0.0.1:9");
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\KavoStartupTest\\KAVO"), ERROR_SUCCESS);
    key.SetStringValue("Domain", "");
    EXPECT_EQ(ReadDomainUrl(), "http://127.0.0.1:9");
    key.SetStringValue("Domain", "http://127.0.0.1:8080");
    EXPECT_EQ(ReadDomainUrl(), "http://127.0.0.1:8080");
    EXPECT_EQ(CTextDef::GetDomainUrl(), "http://127.0.0.1:8080");
}

class ExitCleanupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTextDef::SetText("COMMON_NAME_AUTORUN", "KAVO autorun cleanup test");
        download = std::string(GetProgramFolder()) + "\\download.tmp";
        folder = TempFolder() + "\\kavo-cleanup-test";
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "\\inner").c_str(), nullptr);
        Touch(download);
        Touch(folder + "\\inner\\file.txt");
        CRegKey runOnce;
        runOnce.Create(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
        runOnce.SetStringValue("KAVO autorun cleanup test", "kavocomp.exe");
    }
    void TearDown() override
    {
        DeleteFileA(download.c_str());
        DeleteFileA((folder + "\\inner\\file.txt").c_str());
        RemoveDirectoryA((folder + "\\inner").c_str());
        RemoveDirectoryA(folder.c_str());
        CRegKey runOnce;
        if (runOnce.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce") == ERROR_SUCCESS)
            runOnce.DeleteValue("KAVO autorun cleanup test");
    }
    static void Touch(const std::string& path)
    {
        CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    static bool RunOnceValueExists()
    {
        CRegKey runOnce;
        CString value;
        return runOnce.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", KEY_READ) ==
                   ERROR_SUCCESS &&
               runOnce.QueryStringValue("KAVO autorun cleanup test", value) == ERROR_SUCCESS;
    }

    std::string download;
    std::string folder;
};

TEST_F(ExitCleanupTest, EachFlagRemovesOnlyItsOwnThing)
{
    struct Case {
        DWORD flags;
        bool downloadGone, folderGone, runOnceGone;
    };
    for (const Case& c : {Case{0, false, false, false}, Case{1, true, false, false}, Case{2, false, true, false},
                          Case{4, false, false, true}, Case{7, true, true, true}}) {
        SetUp();
        SetEnvironmentVariableA("KAVO_CLEANUP_FOLDER", folder.c_str());
        ExitCleanup("%KAVO_CLEANUP_FOLDER%", c.flags);
        EXPECT_EQ(!Exists(download), c.downloadGone) << c.flags;
        EXPECT_EQ(!Exists(folder), c.folderGone) << c.flags;
        EXPECT_EQ(!RunOnceValueExists(), c.runOnceGone) << c.flags;
        TearDown();
    }
}

TEST_F(ExitCleanupTest, FolderFlagWithoutAFolderDeletesNothing)
{
    ExitCleanup("", CLEANUP_FOLDER);
    ExitCleanup(nullptr, CLEANUP_FOLDER);
    EXPECT_TRUE(Exists(folder));
}

TEST(Startup, WithoutAdministratorRightsTheProgramSaysSoAndEndsWithZero)
{
    CKAVOModule module;
    module.ParseCommandLine("kavo.exe -P A-N08", nullptr);
    module.isAdministrator = [] { return false; };

    // The built-in text of the core library beside this program gives the box its texts.
    HMODULE core = LoadLibraryA((TestBinFolder() + "\\KAVOCore.dll").c_str());
    ASSERT_NE(core, nullptr);
    ASSERT_TRUE(CTextDef::LoadFromResource(core, 3));
    FreeLibrary(core);
    MessageBoxAnswerer answerer(CTextDef::GetText("COMMON_CAPTION").GetString(), IDOK);
    const std::string expected = CTextDef::GetText("COMMON_NEEDPRIV").GetString();

    answerer.Start();
    module.RunMessageLoop();
    answerer.Wait();
    EXPECT_TRUE(answerer.seen);
    EXPECT_EQ(answerer.text, expected);
    EXPECT_EQ(module.exitValue, 0);
    // The thread-list mapping made before the check is gone with the early end.
    EXPECT_EQ(CHandle(OpenFileMappingA(FILE_MAP_READ, FALSE, ThreadListMappingName())).Get(), nullptr);
}

// A start page that reports an installer error while it is being made and then fails.
class FailingPageSource : public CNoPageSource {
public:
    CWBDialog* CreateCorePage(const char*, HWND, CPageContext* context) override
    {
        context->exitValue = EXIT_INSTALL_ERROR;
        context->cleanupFlags = CLEANUP_RUNONCE;
        return nullptr;
    }
};

TEST(Startup, ExitValueIsThePresetUnlessAStartPageSetOne)
{
    struct Case {
        const char* commandLine;
        bool failingSource;
        LONG exitValue;
        DWORD cleanupFlags;
    };
    for (const Case& c : {Case{"kavo.exe -P XYZ", false, EXIT_PRESET, 0}, Case{"kavo.exe -p A-N08-2", false, EXIT_PRESET, 0},
                          Case{"kavo.exe -P B-N09", true, EXIT_INSTALL_ERROR, CLEANUP_RUNONCE}}) {
        CKAVOModule module;
        module.ParseCommandLine(c.commandLine, nullptr);
        module.isAdministrator = [] { return true; };
        FailingPageSource failing;
        if (c.failingSource)
            module.pageSource = &failing;
        module.RunMessageLoop();
        EXPECT_EQ(module.exitValue, c.exitValue) << c.commandLine;
        EXPECT_EQ(module.cleanupFlags, c.cleanupFlags) << c.commandLine;
        EXPECT_NE(module.instanceMutex, nullptr);
    }
}

TEST(Startup, SecondInstanceEndsAtOnce)
{
    CHandle first(CreateMutexA(nullptr, TRUE, kInstanceMutexName));
    CKAVOModule module;
    module.ParseCommandLine("kavo.exe -P XYZ", nullptr);
    module.isAdministrator = [] {
        ADD_FAILURE() << "a second instance went past the mutex";
        return true;
    };
    module.RunMessageLoop();
    EXPECT_EQ(module.instanceMutex, nullptr);
    EXPECT_EQ(module.exitValue, 0);
}

// Two instances started together: both look before either has created the mutex, and the
// one whose create finds it existing ends there.
TEST(Startup, InstanceThatLosesTheRaceToCreateTheMutexEndsAtOnce)
{
    CHandle first(CreateMutexA(nullptr, TRUE, kInstanceMutexName));
    CKAVOModule module;
    module.ParseCommandLine("kavo.exe -P XYZ", nullptr);
    module.openInstanceMutex = [](const char*) -> HANDLE { return nullptr; };
    module.isAdministrator = [] {
        ADD_FAILURE() << "an instance whose create found the mutex went on";
        return true;
    };
    module.RunMessageLoop();
    EXPECT_EQ(module.instanceMutex, nullptr);
    EXPECT_EQ(module.exitValue, 0);
}

}  // namespace
