// The real KAVO.exe from a folder of its own, whose text.def sends the update check to the
// local server and whose fwlist.dat names uninstall entries that this test plants.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "../../../core/tests/UninstallKeys.h"
#include "CHandle.h"
#include "DefinitionText.h"
#include "FakeServer.h"
#include "KavoDriver.h"
#include "KavoTestPaths.h"
#include "ProgramRun.h"
#include "TestCodeSigning.h"
#include "resource.h"

namespace {

class StartPagesProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server = FakeServer::Shared();
        ASSERT_NE(m_server, nullptr);
        ASSERT_TRUE(m_server->Reset());
        ASSERT_TRUE(TrustTestRoot());
        m_definition = ReadWholeFile(SourcePath("resources/text.def"));
        ASSERT_FALSE(m_definition.empty());

        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        m_folder = std::string(temp) + "kavo-startpages-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_folder.c_str(), nullptr);
        for (const char* file : {"KAVO.exe", "KAVOCore.dll"})
            ASSERT_TRUE(CopyFileA((TestBinFolder() + "\\" + file).c_str(), (m_folder + "\\" + file).c_str(), FALSE));
        // Later lines of a definition win: the check and the installer come from the local server.
        ASSERT_TRUE(WriteWholeFile(m_folder + "\\text.def",
                                   m_definition + "\r\nCOMMON_URI_KAVOUPDATE=" + m_server->Url("/startpages/version.txt") +
                                       "\r\nCOMMON_URI_KAVOINSTALLER=" + m_server->Url("/startpages/setup.exe") +
                                       "\r\nCOMMON_SIGNER_KAVOUPDATE=" + kTestPublisher + "\r\n"));
        m_guard32 = UninstallKeys::Name("guard32");
        m_guard64 = UninstallKeys::Name("guard64");
        ASSERT_TRUE(WriteWholeFile(m_folder + "\\fwlist.dat", m_guard32 + "\r\n" + m_guard64 + "  # the other view\r\n"));
        m_record = m_folder + "\\record.txt";
        DeleteFileA(m_record.c_str());
        SetEnvironmentVariableA("KAVO_FAKE_PACKAGE_RECORD", m_record.c_str());
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("KAVO_FAKE_PACKAGE_RECORD", nullptr);
        for (const char* file : {"KAVO.exe", "KAVOCore.dll", "text.def", "fwlist.dat", "record.txt", "download.tmp"})
            for (int i = 0; i < 100 && !DeleteFileA((m_folder + "\\" + file).c_str()) &&
                            GetLastError() != ERROR_FILE_NOT_FOUND;
                 ++i)
                Sleep(50);
        RemoveDirectoryA(m_folder.c_str());
    }

    // Starts the copy and waits until its page's static 211 shows the definition text of key;
    // the program is ended afterwards. Empty when the text never came.
    std::string PageTextAfterStart(const std::string& arguments, const char* key)
    {
        const std::string expected = DefinitionText(m_definition, key);
        EXPECT_FALSE(expected.empty()) << key;
        CHandle process(StartProgram(m_folder + "\\KAVO.exe", arguments));
        if (!process)
            return std::string();
        const DWORD processId = GetProcessId(process);
        char text[512] = {};
        if (HWND frame = WaitForWindowOfClass("KAVOWizardWindowClass", 30000, processId)) {
            for (int i = 0; i < 1000; ++i) {
                HWND page = FindWindowExA(frame, nullptr, "#32770", nullptr);
                if (page && GetDlgItemTextA(page, IDC_MAIN_STATIC1, text, sizeof text) && expected == text)
                    break;
                Sleep(20);
            }
        }
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 30000);
        return text;
    }

    std::string Expected(const char* key) const { return DefinitionText(m_definition, key); }

    FakeServer* m_server = nullptr;
    std::string m_definition;
    std::string m_folder;
    std::string m_guard32;
    std::string m_guard64;
    std::string m_record;
};

TEST_F(StartPagesProgram, OwnPageIdsShowTheirPagesAndTheUpdatePageReportsAMissingVersionFile)
{
    ASSERT_TRUE(m_server->Fail("/startpages/version.txt", "404", 0));
    struct Case {
        const char* arguments;
        const char* key;  // the text static 211 ends with
    };
    const Case cases[] = {
        {"-P EXG6001", "EXG6001_IDC_STATIC1"},
        {"-P EPN0260", "EPN0260_IDC_STATIC1"},
        {"-P EXG3001", "EXG3001_IDC_STATIC1"},
        // The update check runs and its failure leads to the program's error page.
        {"-P A-N04", "EPN0260_IDC_STATIC1"},
        {"-P RESTART", "EPN0260_IDC_STATIC1"},
        // No product of the list is installed: on to the update check.
        {"-p FIREWALL_CHECK", "EPN0260_IDC_STATIC1"},
        {"", "EPN0260_IDC_STATIC1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(PageTextAfterStart(c.arguments, c.key), Expected(c.key));
    }
}

TEST_F(StartPagesProgram, PlainStartFindsAListedProductInEitherRegistryView)
{
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        SCOPED_TRACE(view == KEY_WOW64_32KEY ? "32-bit view" : "64-bit view");
        UninstallKeys keys;
        ASSERT_TRUE(keys.Install(view == KEY_WOW64_32KEY ? m_guard32 : m_guard64, "Test Guard", view));
        EXPECT_EQ(PageTextAfterStart("", "EXG3001_IDC_STATIC1"), Expected("EXG3001_IDC_STATIC1"));
        EXPECT_EQ(PageTextAfterStart("-p FIREWALL_CHECK", "EXG3001_IDC_STATIC1"), Expected("EXG3001_IDC_STATIC1"));
    }
}

TEST_F(StartPagesProgram, PlainStartWithANewerReleaseStartsTheVerifiedInstallerAndKeepsTheUpdatePage)
{
    ASSERT_TRUE(m_server->Route("/startpages/version.txt", "9999.0.0.0\r\n"));
    ASSERT_TRUE(m_server->Route("/startpages/setup.exe", ReadWholeFile(SignedPackage("signed"))));
    CHandle process(StartProgram(m_folder + "\\KAVO.exe", ""));
    ASSERT_TRUE(bool(process));
    std::string record;
    for (int i = 0; i < 1500 && record.find("\r\n") == std::string::npos; ++i) {
        record = ReadWholeFile(m_record);
        Sleep(20);
    }
    EXPECT_EQ(record, "\"" + m_folder + "\\download.tmp\" -v 9999.0.0.0\r\n");
    // The installer takes over; the program stays on its update page.
    HWND frame = WaitForWindowOfClass("KAVOWizardWindowClass", 1000, GetProcessId(process));
    ASSERT_NE(frame, nullptr);
    HWND page = FindWindowExA(frame, nullptr, "#32770", nullptr);
    ASSERT_NE(page, nullptr);
    char text[512] = {};
    GetDlgItemTextA(page, IDC_MAIN_STATIC1, text, sizeof text);
    EXPECT_EQ(std::string(text), Expected("A_N04_IDC_STATIC1_1"));
    EXPECT_EQ(WaitForSingleObject(process, 0), DWORD(WAIT_TIMEOUT));
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 30000);
}

}  // namespace
