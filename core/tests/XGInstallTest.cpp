#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CTextDef.h"
#include "CXGInstall.h"
#include "CodeSignature.h"
#include "DirectoryTree.h"
#include "FakeServer.h"
#include "InstallState.h"
#include "InstalledProduct.h"
#include "KavoMessages.h"
#include "KavoTestPaths.h"
#include "TestCodeSigning.h"

namespace {

using Message = std::pair<WPARAM, LPARAM>;

std::string Pid()
{
    return std::to_string(GetCurrentProcessId());
}

void SetEnv(const char* name, const std::string& value)
{
    SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
}

std::string IniValue(const std::string& ini, const char* key)
{
    char value[512] = {};
    GetPrivateProfileStringA("COMMON", key, "<none>", value, sizeof value, ini.c_str());
    return value;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The page's side: a window on the test thread that receives the installer's messages.
class MessageSink {
public:
    MessageSink() : m_window(CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~MessageSink() { DestroyWindow(m_window); }
    MessageSink(const MessageSink&) = delete;
    MessageSink& operator=(const MessageSink&) = delete;

    HWND Window() const { return m_window; }
    // Every message queued so far.
    std::vector<Message> Drain()
    {
        std::vector<Message> messages;
        MSG msg;
        while (PeekMessageA(&msg, m_window, WM_KAVO_INSTALLPROGRESS, WM_KAVO_INSTALLPROGRESS, PM_REMOVE))
            messages.emplace_back(msg.wParam, msg.lParam);
        return messages;
    }
    // Waits for the final message; onMessage sees each one as it arrives.
    template <class F>
    std::vector<Message> WaitForEnd(DWORD timeoutMs, F onMessage)
    {
        std::vector<Message> messages;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
            MSG msg;
            if (!PeekMessageA(&msg, m_window, WM_KAVO_INSTALLPROGRESS, WM_KAVO_INSTALLPROGRESS, PM_REMOVE)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
                continue;
            }
            messages.emplace_back(msg.wParam, msg.lParam);
            onMessage(messages.back());
            if (msg.wParam == 0xFFFF && msg.lParam != CXGInstall::ResultSetupStarted)
                break;
        }
        return messages;
    }

private:
    HWND m_window;
};

// Messages without the download's percentages, which depend on the chunking.
std::vector<Message> Milestones(const std::vector<Message>& messages)
{
    std::vector<Message> kept;
    for (const Message& m : messages) {
        const bool percent = m.first == 0 && LOWORD(m.second) == 1 && HIWORD(m.second) > 0 && HIWORD(m.second) <= 100;
        if (!percent)
            kept.push_back(m);
    }
    return kept;
}

const std::vector<Message> kGoodRun = {
    {0, 0x00000001}, {0, 0x00650001}, {0, 0x00010002}, {0, 0x00020002}, {0xFFFF, 6}, {0xFFFF, 0},
};

// A work folder of this process: the served package, the package's contents and the output
// folder it unpacks into; the fakes learn their parts through the environment.
class XGInstallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = FakeServer::Shared();
        ASSERT_NE(server, nullptr);
        ASSERT_TRUE(server->Reset());
        ASSERT_TRUE(TrustTestRoot());
        work = TempFolder() + "\\kavo_xg_" + Pid();
        DeleteDirectoryTree(work.c_str());
        served = work + "\\served";
        contents = work + "\\contents";
        output = work + "\\out";
        ASSERT_EQ(SHCreateDirectoryExA(nullptr, (served + "\\xg").c_str(), nullptr), ERROR_SUCCESS);
        ASSERT_EQ(SHCreateDirectoryExA(nullptr, contents.c_str(), nullptr), ERROR_SUCCESS);
        ASSERT_TRUE(CopyFileA(SignedPackage("signed").c_str(), (served + "\\xg\\package.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA((TestBinFolder() + "\\kavo_fake_setup.exe").c_str(), (contents + "\\Setup.exe").c_str(), FALSE));
        ASSERT_TRUE(server->AddFixtures(FakeServer::UnixPath(served)));

        const std::string url = server->Url("/xg/package.exe");
        CTextDef::SetText("COMMON_URI_XG32INSTALLER", url.c_str());
        CTextDef::SetText("COMMON_URI_XG64INSTALLER", url.c_str());
        CTextDef::SetText("COMMON_DLPK_OUTPUT_PATH", ("%TEMP%\\kavo_xg_" + Pid() + "\\out").c_str());
        CTextDef::SetText("COMMON_NAME_XGSETUPINIFILE", "setup.ini");
        CTextDef::SetText("COMMON_NAME_XGSETUPINISECTION", "COMMON");
        CTextDef::SetText("COMMON_CMD_XGINSTALL", "Setup.exe /silent");
        CTextDef::SetText(kSecuritySoftwarePublisherKey, kTestPublisher);
        CTextDef::SetText("COMMON_DATA_XGSETUP_PREPARATION_VALID_FILE_PATH", "prepared.cfg");
        CTextDef::SetText("COMMON_DATA_XGSETUP_PREPARATION_FILE_PATH", "install.cfg");
        statusKey = "Software\\KavoTest\\XGInstall_" + Pid();
        CTextDef::SetText("COMMON_REG_XGINSTALLSTATUS", ("HKEY_CURRENT_USER\\" + statusKey + "\\Status").c_str());

        SetEnv("KAVO_FAKE_PACKAGE_SOURCE", contents);
        SetEnv("KAVO_FAKE_PACKAGE_OUTPUT", output);
        SetEnv("KAVO_FAKE_PACKAGE_RECORD", work + "\\package.txt");
        SetEnv("KAVO_FAKE_SETUP_RECORD", work + "\\setup.txt");
        SetEnv("KAVO_FAKE_SETUP_STATUS_KEY", "HKCU\\" + statusKey + "\\Status");
        SetEnv("KAVO_FAKE_SETUP_STATUS", "1");
        SetEnv("KAVO_FAKE_SETUP_EXIT", "");
    }
    void TearDown() override
    {
        for (const char* name : {"KAVO_FAKE_PACKAGE_SOURCE", "KAVO_FAKE_PACKAGE_OUTPUT", "KAVO_FAKE_PACKAGE_RECORD",
                                 "KAVO_FAKE_SETUP_RECORD", "KAVO_FAKE_SETUP_STATUS_KEY", "KAVO_FAKE_SETUP_STATUS",
                                 "KAVO_FAKE_SETUP_EXIT", "KAVO_FAKE_SETUP_REGISTER_DLL"})
            SetEnvironmentVariableA(name, nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, statusKey.c_str());
        DeleteDirectoryTree(work.c_str());
        DeleteFileA((TestBinFolder() + "\\download.tmp").c_str());
    }

    int RunInstaller(int flags, const char* installFolder = "", const char* serial = "SERIAL-0001")
    {
        CXGInstall installer;
        installer.SetArguments(sink.Window(), serial, installFolder, "", flags);
        return installer.Run();
    }
    std::string Ini() const { return output + "\\setup.ini"; }

    FakeServer* server = nullptr;
    MessageSink sink;
    std::string work;
    std::string served;
    std::string contents;
    std::string output;
    std::string statusKey;
};

TEST_F(XGInstallTest, GoodRunDownloadsRunsPackageWritesIniAndRunsSetup)
{
    EXPECT_EQ(RunInstaller(0), CXGInstall::ResultSuccess);
    const std::vector<Message> messages = sink.Drain();
    EXPECT_EQ(Milestones(messages), kGoodRun);
    EXPECT_GT(messages.size(), kGoodRun.size()) << "download percentages are posted";
    EXPECT_EQ(server->Hits("/xg/package.exe"), 1);

    // The package path is quoted: a blank in the program folder must not split it.
    const std::string packageRun = ReadWholeFile(work + "\\package.txt");
    EXPECT_EQ(packageRun, "\"" + TestBinFolder() + "\\download.tmp\"\r\n");

    const std::string setupRun = ReadWholeFile(work + "\\setup.txt");
    EXPECT_EQ(setupRun.rfind("CMDLINE=\"" + output + "\\Setup.exe\" /silent\r\nPROGRAM=" + output + "\\Setup.exe\r\n", 0), 0u)
        << setupRun;
    EXPECT_NE(setupRun.find("SERIAL=SERIAL-0001"), std::string::npos) << setupRun;
    EXPECT_NE(setupRun.find("CUSTOMERINFO_SKIP=1"), std::string::npos) << setupRun;
    EXPECT_EQ(GetInstallStatus(), 1);
}

TEST_F(XGInstallTest, IniKeysFollowTheFlags)
{
    struct Case {
        const char* name;
        int flags;
        const char* installFolder;
        const char* installDir;
        const char* installTypeSkip;
        bool preparationCopied;
    };
    const Case cases[] = {
        {"no flags", 0, "D:\\Guard", "<none>", "<none>", false},
        {"custom only", CXGInstall::FlagCustom, "D:\\Guard", "<none>", "<none>", false},
        {"folder given", CXGInstall::FlagInstallFolder, "D:\\Guard", "D:\\Guard", "<none>", false},
        {"folder flag, empty folder", CXGInstall::FlagInstallFolder, "", "<none>", "1", false},
        {"preparation copy", CXGInstall::FlagCopyPreparation, "", "<none>", "<none>", true},
    };
    const std::string prepared = "prepared-settings\r\n";
    HANDLE file = CreateFileA((contents + "\\prepared.cfg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, prepared.data(), DWORD(prepared.size()), &written, nullptr);
    CloseHandle(file);

    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(RunInstaller(c.flags, c.installFolder), CXGInstall::ResultSuccess);
        sink.Drain();
        EXPECT_EQ(IniValue(Ini(), "SERIAL"), "SERIAL-0001");
        EXPECT_EQ(IniValue(Ini(), "CUSTOMERINFO_SKIP"), "1");
        EXPECT_EQ(IniValue(Ini(), "INSTALLDIR"), c.installDir);
        EXPECT_EQ(IniValue(Ini(), "INSTALLTYPE_SKIP"), c.installTypeSkip);
        EXPECT_EQ(FileExists(output + "\\install.cfg"), c.preparationCopied);
        if (c.preparationCopied) {
            EXPECT_EQ(ReadWholeFile(output + "\\install.cfg"), prepared);
        }
    }
    char after[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(after, before) << "the process's current directory is not the installer's to change";
}

TEST_F(XGInstallTest, StaleOutputFolderIsRemovedBeforeTheDownload)
{
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, (output + "\\old").c_str(), nullptr), ERROR_SUCCESS);
    HANDLE stale = CreateFileA((output + "\\old\\Stale.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(stale, INVALID_HANDLE_VALUE);
    CloseHandle(stale);
    EXPECT_EQ(RunInstaller(0), CXGInstall::ResultSuccess);
    EXPECT_FALSE(FileExists(output + "\\old"));
    EXPECT_TRUE(FileExists(output + "\\Setup.exe"));
}

TEST_F(XGInstallTest, EachFailingStepEndsTheRunWithItsCode)
{
    struct Case {
        const char* name;
        std::function<void()> prepare;
        int result;
        std::vector<Message> messages;
    };
    const Case cases[] = {
        {"download fails", [this] { server->Fail("/xg/package.exe", "404"); }, CXGInstall::ResultDownloadFailed,
         {{0, 0x00000001}, {0, 0x00650001}, {0xFFFF, 1}}},
        {"download cut short", [this] { server->Fail("/xg/package.exe", "short"); },
         CXGInstall::ResultDownloadFailed, {{0, 0x00000001}, {0, 0x00650001}, {0xFFFF, 1}}},
        {"package is no program",
         [this] { server->Route("/xg/package.exe", "this is not a program"); },
         CXGInstall::ResultPackageRefused, {{0, 0x00000001}, {0, 0x00650001}, {0xFFFF, 4}}},
        {"well signed package cannot be started",
         [this] {
             CopyFileA(SignedPackage("library").c_str(), (served + "\\xg\\package.exe").c_str(), FALSE);
         },
         CXGInstall::ResultPackageFailed, {{0, 0x00000001}, {0, 0x00650001}, {0, 0x00010002}, {0xFFFF, 2}}},
        {"output folder unresolved",
         [] { CTextDef::SetText("COMMON_DLPK_OUTPUT_PATH", ("%KAVO_UNSET_" + Pid() + "%\\out").c_str()); },
         CXGInstall::ResultIniFailed, {{0, 0x00000001}, {0, 0x00650001}, {0, 0x00010002}, {0xFFFF, 3}}},
        {"package leaves no setup", [this] { DeleteFileA((contents + "\\Setup.exe").c_str()); },
         CXGInstall::ResultSetupFailed, {{0, 0x00000001}, {0, 0x00650001}, {0, 0x00010002}, {0, 0x00020002}, {0xFFFF, 5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.prepare();
        EXPECT_EQ(RunInstaller(0), c.result);
        EXPECT_EQ(Milestones(sink.Drain()), c.messages);
        EXPECT_FALSE(FileExists(work + "\\setup.txt"));
        TearDown();
    }
}

TEST_F(XGInstallTest, OnlyAPackageSignedByTheExpectedPublisherRuns)
{
    struct Case {
        const char* variant;
        int result;
        // Part of the log line that says why.
        const char* reason;
    };
    const Case cases[] = {
        {"signed", CXGInstall::ResultSuccess, nullptr},
        {"tampered", CXGInstall::ResultPackageRefused, "signature not trusted (WinVerifyTrust 0x80096010)"},
        {"unsigned", CXGInstall::ResultPackageRefused, "signature not trusted (WinVerifyTrust 0x800B0100)"},
        {"untrusted", CXGInstall::ResultPackageRefused, "certificate chain has errors"},
        {"expired", CXGInstall::ResultPackageRefused, "certificate chain has errors"},
        {"serverauth", CXGInstall::ResultPackageRefused, "not for code signing"},
        {"other", CXGInstall::ResultPackageRefused, "another publisher [signer: KAVO Other Publisher]"},
    };
    const std::vector<Message> refused = {{0, 0x00000001}, {0, 0x00650001}, {0xFFFF, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        SetUp();
        ASSERT_TRUE(CopyFileA(SignedPackage(c.variant).c_str(), (served + "\\xg\\package.exe").c_str(), FALSE));
        const std::string log = work + "\\install.log";
        CXGInstall installer;
        installer.SetArguments(sink.Window(), "SERIAL-0001", "", "", 0);
        installer.SetLogPattern(log.c_str());
        EXPECT_EQ(installer.Run(), c.result);
        const bool runs = c.result == CXGInstall::ResultSuccess;
        EXPECT_EQ(FileExists(work + "\\package.txt"), runs);
        EXPECT_EQ(FileExists(work + "\\setup.txt"), runs);
        EXPECT_EQ(FileExists(TestBinFolder() + "\\download.tmp"), runs) << "a refused package is deleted";
        if (runs) {
            EXPECT_EQ(Milestones(sink.Drain()), kGoodRun);
            EXPECT_FALSE(FileExists(log));
        } else {
            EXPECT_EQ(Milestones(sink.Drain()), refused);
            const std::string line = ReadWholeFile(log);
            EXPECT_NE(line.find("downloaded package refused: "), std::string::npos) << line;
            EXPECT_NE(line.find(c.reason), std::string::npos) << line;
        }
        TearDown();
    }
}

TEST_F(XGInstallTest, PackageIsRefusedWhileNoPublisherIsDefined)
{
    CTextDef::SetText(kSecuritySoftwarePublisherKey, "");
    EXPECT_EQ(RunInstaller(0), CXGInstall::ResultPackageRefused);
    EXPECT_FALSE(FileExists(work + "\\package.txt"));
    EXPECT_FALSE(FileExists(TestBinFolder() + "\\download.tmp"));
}

// Unquoted, "...\\out dir\\Setup.exe /silent" would start "...\\out.exe" with "dir\\Setup.exe
// /silent" as its arguments, with the rights of the installer.
TEST_F(XGInstallTest, SetupInAFolderWithBlanksRunsItselfAndNotTheProgramAtTheShorterPath)
{
    output = work + "\\out dir";
    CTextDef::SetText("COMMON_DLPK_OUTPUT_PATH", ("%TEMP%\\kavo_xg_" + Pid() + "\\out dir").c_str());
    SetEnv("KAVO_FAKE_PACKAGE_OUTPUT", output);
    ASSERT_TRUE(CopyFileA((TestBinFolder() + "\\kavo_fake_setup.exe").c_str(), (work + "\\out.exe").c_str(), FALSE));

    EXPECT_EQ(RunInstaller(0), CXGInstall::ResultSuccess);
    EXPECT_EQ(Milestones(sink.Drain()), kGoodRun);
    const std::string setupRun = ReadWholeFile(work + "\\setup.txt");
    EXPECT_EQ(setupRun.rfind("CMDLINE=\"" + output + "\\Setup.exe\" /silent\r\nPROGRAM=" + output + "\\Setup.exe\r\n", 0), 0u)
        << setupRun;
    EXPECT_EQ(setupRun.find("out.exe"), std::string::npos) << setupRun;
    EXPECT_EQ(IniValue(Ini(), "SERIAL"), "SERIAL-0001");
}

TEST_F(XGInstallTest, SetupCommandWithAQuotedProgramKeepsItsArguments)
{
    struct Case {
        const char* command;
        const char* commandLine;
    };
    const Case cases[] = {
        {"\"Setup.exe\" /silent /log", "\"@\\Setup.exe\" /silent /log"},
        {"Setup.exe", "\"@\\Setup.exe\""},
        {"\"Setup.exe\"", "\"@\\Setup.exe\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        SetUp();
        CTextDef::SetText("COMMON_CMD_XGINSTALL", c.command);
        EXPECT_EQ(RunInstaller(0), CXGInstall::ResultSuccess);
        std::string expected = c.commandLine;
        expected.replace(expected.find('@'), 1, output);
        EXPECT_EQ(ReadWholeFile(work + "\\setup.txt").rfind("CMDLINE=" + expected + "\r\n", 0), 0u);
        TearDown();
    }
}

// The current directory belongs to the whole process: a worker that changed it even briefly
// would move every relative path of the page's thread. Seen from another thread, a change
// undone before the worker ends still shows.
TEST_F(XGInstallTest, CurrentDirectoryStaysTheSameWhileTheWorkerCopiesThePreparedSettings)
{
    // Large enough that the copy takes a while.
    std::string prepared(8 << 20, 'p');
    HANDLE file = CreateFileA((contents + "\\prepared.cfg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, prepared.data(), DWORD(prepared.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, prepared.size());

    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    std::atomic<bool> done(false);
    std::string seen;
    std::thread watcher([&] {
        char now[MAX_PATH];
        while (!done && seen.empty()) {
            GetCurrentDirectoryA(MAX_PATH, now);
            if (lstrcmpiA(now, before) != 0)
                seen = now;
        }
    });
    const int result = RunInstaller(CXGInstall::FlagCopyPreparation);
    done = true;
    watcher.join();
    EXPECT_EQ(result, CXGInstall::ResultSuccess);
    EXPECT_EQ(ReadWholeFile(output + "\\install.cfg").size(), prepared.size());
    EXPECT_EQ(seen, "") << "the worker moved the current directory";
}

TEST_F(XGInstallTest, FailingSetupStillEndsTheRunAndLeavesItsStatus)
{
    SetEnv("KAVO_FAKE_SETUP_EXIT", "1603");
    SetEnv("KAVO_FAKE_SETUP_STATUS", "0");
    EXPECT_EQ(RunInstaller(0), CXGInstall::ResultSuccess);
    EXPECT_EQ(Milestones(sink.Drain()), kGoodRun);
    EXPECT_EQ(GetInstallStatus(), 0);
}

// Unexpanded, a "%NAME%\out" path is relative to the current directory: nothing there may go.
TEST_F(XGInstallTest, UnexpandedOutputFolderIsNeverDeleted)
{
    const std::string variable = "%KAVO_UNSET_" + Pid() + "%";
    const std::string relative = work + "\\" + variable + "\\out";
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, relative.c_str(), nullptr), ERROR_SUCCESS);
    HANDLE marker = CreateFileA((relative + "\\keep.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(marker, INVALID_HANDLE_VALUE);
    CloseHandle(marker);
    CTextDef::SetText("COMMON_DLPK_OUTPUT_PATH", (variable + "\\out").c_str());
    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    SetCurrentDirectoryA(work.c_str());
    const int result = RunInstaller(0);
    SetCurrentDirectoryA(before);
    EXPECT_EQ(result, CXGInstall::ResultIniFailed);
    EXPECT_TRUE(FileExists(relative + "\\keep.txt"));
}

// Removes the product class the fake setup registers machine-wide.
class ClassRegistrationCleanup {
public:
    ClassRegistrationCleanup() = default;
    ~ClassRegistrationCleanup()
    {
        wchar_t clsid[64];
        StringFromGUID2(CLSID_KavoInstalledProduct, clsid, 64);
        HKEY classes = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\CLSID", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &classes) ==
            ERROR_SUCCESS) {
            RegDeleteTreeA(classes, CString(clsid));
            RegCloseKey(classes);
        }
    }
    ClassRegistrationCleanup(const ClassRegistrationCleanup&) = delete;
    ClassRegistrationCleanup& operator=(const ClassRegistrationCleanup&) = delete;
};

// The whole road against the fakes: the setup the package unpacked registers the product's
// object machine-wide (32-bit view, the one Wine honours) and leaves its status.
TEST_F(XGInstallTest, InstalledProductIsReportedAfterTheRun)
{
    ClassRegistrationCleanup cleanup;
    SetEnv("KAVO_FAKE_SETUP_REGISTER_DLL", TestBinFolder() + "\\KavoFakeProduct.dll");
    CTextDef::SetText("COMMON_CT_PRODUCTID", "kavo-test-product");
    CTextDef::SetText("COMMON_CT_PRODUCTVERSION", "17.0");
    ASSERT_EQ(GetInstallStatus(), -1);

    EXPECT_EQ(RunInstaller(CXGInstall::FlagInstallFolder, "C:\\KavoTestGuard"), CXGInstall::ResultSuccess);
    EXPECT_EQ(GetInstallStatus(), 1);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_TRUE(IsExpectedProductInstalled());
    CString productId;
    CString version;
    EXPECT_TRUE(GetInstalledProductInfo(productId, version));
    EXPECT_STREQ(version, "17.0.1234");
    CoUninitialize();
}

class CountedInstall : public CXGInstall {
public:
    explicit CountedInstall(LONG* destroyed) : m_destroyed(destroyed) {}
    ~CountedInstall() override { InterlockedIncrement(m_destroyed); }

private:
    LONG* m_destroyed;
};

LONG WaitForCount(LONG* count, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (*count == 0 && GetTickCount() - start < timeoutMs)
        Sleep(20);
    return *count;
}

TEST_F(XGInstallTest, StartedWorkerReportsTheRunAndFreesTheInstaller)
{
    LONG destroyed = 0;
    auto* installer = new CountedInstall(&destroyed);
    ASSERT_EQ(installer->Start(sink.Window(), "SERIAL-0002", "", "", 0), 0);
    const std::vector<Message> messages = sink.WaitForEnd(120000, [](const Message&) {});
    EXPECT_EQ(Milestones(messages), kGoodRun);
    EXPECT_EQ(WaitForCount(&destroyed, 10000), 1);
    EXPECT_EQ(IniValue(Ini(), "SERIAL"), "SERIAL-0002");
}

TEST_F(XGInstallTest, CancelDuringTheDownloadEndsWithTheDownloadCode)
{
    ASSERT_TRUE(server->Fail("/xg/package.exe", "slow", 1, "\"chunk\": 2048, \"delay\": 0.05"));
    LONG destroyed = 0;
    auto* installer = new CountedInstall(&destroyed);
    const CXGInstall::CancelToken cancel = installer->GetCancelToken();
    ASSERT_EQ(installer->Start(sink.Window(), "SERIAL-0003", "", "", 0), 0);
    const std::vector<Message> messages = sink.WaitForEnd(120000, [&cancel](const Message& m) {
        if (m.first == 0 && LOWORD(m.second) == 1 && HIWORD(m.second) > 0)
            *cancel = true;
    });
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), Message(0xFFFF, CXGInstall::ResultDownloadFailed));
    EXPECT_EQ(Milestones(messages), (std::vector<Message>{{0, 0x00000001}, {0, 0x00650001}, {0xFFFF, 1}}));
    EXPECT_EQ(WaitForCount(&destroyed, 10000), 1);
    // The token outlives the freed installer.
    *cancel = true;
}

TEST(ProgressTest, PercentIsPostedOnlyWhenItChangesAndCancelAborts)
{
    MessageSink sink;
    CXGInstall installer;
    installer.SetArguments(sink.Window(), "S", "", "", 0);
    EXPECT_EQ(installer.OnProgress(0, 0, BINDSTATUS_DOWNLOADINGDATA, nullptr), S_OK);
    EXPECT_EQ(installer.OnProgress(4000000000u, 4000000000u, BINDSTATUS_DOWNLOADINGDATA, nullptr), S_OK);
    EXPECT_EQ(installer.OnProgress(4000000000u, 4000000000u, BINDSTATUS_DOWNLOADINGDATA, nullptr), S_OK);
    EXPECT_EQ(installer.OnProgress(1, 3, BINDSTATUS_DOWNLOADINGDATA, nullptr), S_OK);
    *installer.GetCancelToken() = true;
    EXPECT_EQ(installer.OnProgress(2, 3, BINDSTATUS_DOWNLOADINGDATA, nullptr), E_ABORT);
    EXPECT_EQ(sink.Drain(), (std::vector<Message>{{0, 100 << 16 | 1}, {0, 33 << 16 | 1}, {0, 66 << 16 | 1}}));
}

// A serial value where the product keeps it. HKLM is shared by the test processes: only the
// value written here is removed again.
class SerialValue {
public:
    SerialValue(const char* subKey, const char* name, REGSAM view, DWORD type, const std::string& data)
        : m_subKey(subKey), m_name(name), m_view(view)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, nullptr, 0, KEY_WRITE | view, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        m_written = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.c_str()), DWORD(data.size() + 1)) ==
                    ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~SerialValue()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_subKey, 0, KEY_SET_VALUE | m_view, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, m_name);
            RegCloseKey(key);
        }
    }
    SerialValue(const SerialValue&) = delete;
    SerialValue& operator=(const SerialValue&) = delete;
    bool Written() const { return m_written; }

private:
    const char* m_subKey;
    const char* m_name;
    REGSAM m_view;
    bool m_written = false;
};

constexpr const char* kPlugin = "SOFTWARE\\Shieldvale\\CoreClient\\1700\\LicensePlugin";
constexpr const char* kSuite = "SOFTWARE\\Shieldvale\\GuardSuite";

TEST(InstalledSerialTest, PlacesAreTriedInOrderAndTheFirstTextWins)
{
    struct Place {
        const char* subKey;
        const char* name;
        REGSAM view;
    };
    // Wine's default prefix is 64-bit Windows: the first place is in the 64-bit view.
    const Place places[] = {
        {kPlugin, "SN", KEY_WOW64_64KEY},          {kSuite, "SerialNumber", KEY_WOW64_64KEY},
        {kSuite, "register no.", KEY_WOW64_64KEY}, {kSuite, "SerialNumber", KEY_WOW64_32KEY},
        {kSuite, "register no.", KEY_WOW64_32KEY},
    };
    EXPECT_STREQ(GetInstalledProductSerial(), "");
    // From the last place forward: each newly written earlier place takes over.
    std::vector<std::unique_ptr<SerialValue>> values;
    for (int i = 4; i >= 0; --i) {
        SCOPED_TRACE(i);
        values.push_back(std::make_unique<SerialValue>(places[i].subKey, places[i].name, places[i].view, REG_SZ,
                                                       "SN-" + std::to_string(i)));
        ASSERT_TRUE(values.back()->Written());
        EXPECT_EQ(std::string(GetInstalledProductSerial()), "SN-" + std::to_string(i));
    }
}

TEST(InstalledSerialTest, EmptyOrNonTextValuesAreSkipped)
{
    SerialValue empty(kPlugin, "SN", KEY_WOW64_64KEY, REG_SZ, "");
    SerialValue binary(kSuite, "SerialNumber", KEY_WOW64_64KEY, REG_BINARY, "BINARY");
    SerialValue expandable(kSuite, "register no.", KEY_WOW64_32KEY, REG_EXPAND_SZ, "SN-EXPAND");
    EXPECT_STREQ(GetInstalledProductSerial(), "SN-EXPAND");
}

TEST_F(XGInstallTest, EmptySerialBecomesTheInstalledProductsSerial)
{
    SerialValue installed(kSuite, "register no.", KEY_WOW64_32KEY, REG_SZ, "SN-INSTALLED");
    EXPECT_EQ(RunInstaller(0, "", nullptr), CXGInstall::ResultSuccess);
    EXPECT_EQ(IniValue(Ini(), "SERIAL"), "SN-INSTALLED");
}

}  // namespace

namespace {

// A package served without a length has no known end: the install page shows no share of it
// until the download's end marker.
TEST_F(XGInstallTest, PackageOfUnknownLengthPostsNoPercentageBeforeItsEnd)
{
    for (const char* shape : {"no-length", "chunked"}) {
        SCOPED_TRACE(shape);
        ASSERT_TRUE(server->Fail("/xg/package.exe", shape, 1, "\"chunk\": 16384"));
        EXPECT_EQ(RunInstaller(0), CXGInstall::ResultSuccess);
        EXPECT_EQ(sink.Drain(), kGoodRun);
    }
}

}  // namespace
