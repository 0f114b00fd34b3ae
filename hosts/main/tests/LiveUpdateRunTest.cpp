#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "CLiveUpdate.h"
#include "CTextDef.h"
#include "FakeServer.h"
#include "KavoMessages.h"
#include "KavoTestPaths.h"
#include "TestCodeSigning.h"

namespace {

// What the worker posted, in order.
struct Posts {
    std::vector<LPARAM> positions;
    bool patchPhase = false;
    std::vector<LPARAM> results;
};

Posts DrainPosts(HWND window)
{
    Posts posts;
    MSG msg;
    while (PeekMessageA(&msg, window, WM_KAVO_UPDATEPROGRESS, WM_KAVO_UPDATEPROGRESS, PM_REMOVE)) {
        if (msg.wParam == 1)
            posts.positions.push_back(msg.lParam);
        else if (msg.wParam == 2 && msg.lParam == 2)
            posts.patchPhase = true;
        else if (msg.wParam == 0)
            posts.results.push_back(msg.lParam);
    }
    return posts;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A folder of its own per run: a started installer keeps its download.tmp open for a while.
std::string NewWorkFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "kavo-liveupdate-" + std::to_string(GetCurrentProcessId()) + "-" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "\\download.tmp").c_str());
    DeleteFileA((folder + "\\record.txt").c_str());
    return folder;
}

class LiveUpdateRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server = FakeServer::Shared();
        ASSERT_NE(m_server, nullptr);
        ASSERT_TRUE(m_server->Reset());
        ASSERT_TRUE(TrustTestRoot());
        m_window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
        CTextDef::SetText("COMMON_URI_KAVOUPDATE", m_server->Url("/update/version.txt").c_str());
        CTextDef::SetText("COMMON_URI_KAVOINSTALLER", m_server->Url("/update/installer.exe").c_str());
        CTextDef::SetText("COMMON_SIGNER_KAVOUPDATE", kTestPublisher);
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("KAVO_FAKE_PACKAGE_RECORD", nullptr);
        if (m_window)
            DestroyWindow(m_window);
    }

    // Runs the worker on this thread for a library of version 1.2.3.4 in folder.
    int RunFor(const std::string& folder)
    {
        const std::string library = folder + "\\KAVOCore.dll";
        EXPECT_TRUE(CopyFileA((TestBinFolder() + "\\OwnVersionLibrary.dll").c_str(), library.c_str(), FALSE));
        SetEnvironmentVariableA("KAVO_FAKE_PACKAGE_RECORD", (folder + "\\record.txt").c_str());
        CLiveUpdate update;
        update.notifyWindow = m_window;
        update.libraryPath = library.c_str();
        return update.Run();
    }

    FakeServer* m_server = nullptr;
    HWND m_window = nullptr;
};

// The started program writes its command line; an installer is not waited for.
std::string WaitForRecord(const std::string& folder)
{
    const std::string record = folder + "\\record.txt";
    std::string text;
    for (int i = 0; i < 500; ++i) {
        text = ReadWholeFile(record);
        if (text.find("\r\n") != std::string::npos)
            break;
        Sleep(20);
    }
    return text;
}

struct RunCase {
    const char* name;
    const char* versionFile;  // null: the server has none (404)
    const char* servedVariant;  // the package served as installer and patch; null: none
    int result;
    const char* runArguments;  // what the started program was given; null: nothing ran
};

TEST_F(LiveUpdateRun, PublishedVersionLeadsToNothingAPatchOrAnInstallerAndOnlyAVerifiedProgramRuns)
{
    const std::string patchUrl = m_server->Url("/update/patch.exe");
    const std::string patchLine = "1.2.4.0\t" + patchUrl + "\r\n";
    const std::string installerLine = "1.3.0.0 " + patchUrl;
    const RunCase cases[] = {
        {"same", "1.2.3.4", "signed", 0, nullptr},
        {"same with line end", "1.2.3.4\r\n", "signed", 0, nullptr},
        {"older", "1.2.3.3", "signed", 0, nullptr},
        {"only fourth newer", "1.2.3.9", "signed", 0, nullptr},
        {"patch", patchLine.c_str(), "signed", 1, "-v 1.2.4.0"},
        {"patch without its address", "1.2.4.0", "signed", -1, nullptr},
        {"patch not signed", patchLine.c_str(), "unsigned", -1, nullptr},
        {"patch tampered", patchLine.c_str(), "tampered", -1, nullptr},
        {"patch not served", patchLine.c_str(), nullptr, -1, nullptr},
        {"minor newer", installerLine.c_str(), "signed", 2, "-v 1.3.0.0"},
        {"major newer", "2.0.0.0", "signed", 2, "-v 2.0.0.0"},
        {"installer by another publisher", "2.0.0.0", "other", -1, nullptr},
        {"installer tampered", "2.0.0.0", "tampered", -1, nullptr},
        {"installer not served", "2.0.0.0", nullptr, -1, nullptr},
        {"major part zero", "0.9.0.0", "signed", 3, nullptr},
        {"empty version file", "", "signed", 3, nullptr},
        {"no version file", nullptr, "signed", 3, nullptr},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_server->Reset());
        if (c.versionFile)
            ASSERT_TRUE(m_server->Route("/update/version.txt", c.versionFile));
        else
            ASSERT_TRUE(m_server->Fail("/update/version.txt", "404", 0));
        if (c.servedVariant) {
            const std::string package = ReadWholeFile(SignedPackage(c.servedVariant));
            ASSERT_FALSE(package.empty()) << c.servedVariant;
            ASSERT_TRUE(m_server->Route("/update/patch.exe", package));
            ASSERT_TRUE(m_server->Route("/update/installer.exe", package));
        } else {
            ASSERT_TRUE(m_server->Fail("/update/patch.exe", "404", 0));
            ASSERT_TRUE(m_server->Fail("/update/installer.exe", "404", 0));
        }

        const std::string folder = NewWorkFolder(std::to_string(&c - cases).c_str());
        EXPECT_EQ(RunFor(folder), c.result);
        const Posts posts = DrainPosts(m_window);
        EXPECT_EQ(posts.results, std::vector<LPARAM>{c.result});
        ASSERT_GE(posts.positions.size(), 1u);
        EXPECT_EQ(posts.positions.front(), 0);
        for (LPARAM position : posts.positions)
            EXPECT_TRUE(position >= 0 && position <= 100) << position;
        // The patch is applied in front of the user; the installer ends the check.
        EXPECT_EQ(posts.patchPhase, c.result == 1 || (c.result == -1 && std::string(c.name).find("patch") == 0));
        if (c.result == 0 || c.result == 1) {
            EXPECT_EQ(posts.positions.back(), 100);
        }

        const std::string download = folder + "\\download.tmp";
        if (c.runArguments) {
            EXPECT_EQ(WaitForRecord(folder), "\"" + download + "\" " + c.runArguments + "\r\n");
        } else {
            Sleep(c.result == -1 ? 200 : 0);
            EXPECT_FALSE(FileExists(folder + "\\record.txt"));
            // A refused program is not left where it could be started by hand.
            EXPECT_FALSE(FileExists(download));
        }
        if (c.result == 0 || c.result == 3) {
            EXPECT_EQ(m_server->Hits("/update/installer.exe") + m_server->Hits("/update/patch.exe"), 0);
        }
    }
}

}  // namespace
