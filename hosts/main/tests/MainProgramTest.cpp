#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "CHandle.h"
#include "CKAVOModule.h"
#include "DefinitionText.h"
#include "KavoDriver.h"
#include "KavoTestPaths.h"
#include "ProgramRun.h"
#include "resource.h"

namespace {

DWORD RunProgram(const std::string& program, const std::string& arguments, DWORD timeout = 60000)
{
    CHandle process(StartProgram(program, arguments));
    if (!process)
        return DWORD(-1);
    return WaitForExit(process, timeout);
}

std::string MainProgram()
{
    return TestBinFolder() + "\\KAVO.exe";
}

std::string StartupShortcut()
{
    char folder[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, folder, CSIDL_COMMON_STARTUP, TRUE);
    return std::string(folder) + "\\gsmsi.lnk";
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::string& path)
{
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

TEST(MainProgram, StartPageIdsEndWithTheirExitValue)
{
    struct Case {
        const char* arguments;
        DWORD exitValue;
    };
    // Ids of no page end at once with the preset value. "-P" without an id is a plain start,
    // which now checks for firewall products and updates instead of ending.
    for (const Case& c : {Case{"-P XYZ", 401}, Case{"-p A-N08-2", 401}, Case{"-P A-N08-2 -P XYZ", 401}}) {
        EXPECT_EQ(RunProgram(MainProgram(), c.arguments), c.exitValue) << c.arguments;
    }
}

TEST(MainProgram, CoreScreenIsShownInTheFrameAndClosesThroughTheConfirmation)
{
    CHandle process(StartProgram(MainProgram(), "-P A-N08-2"));
    ASSERT_TRUE(bool(process));
    HWND frame = WaitForWindowOfClass("KAVOWizardWindowClass", 30000, GetProcessId(process));
    ASSERT_NE(frame, nullptr);
    for (int i = 0; i < 250 && !IsWindowVisible(frame); ++i)
        Sleep(20);
    EXPECT_TRUE(IsWindowVisible(frame));
    HWND page = FindWindowExA(frame, nullptr, "#32770", nullptr);
    ASSERT_NE(page, nullptr);
    RECT client, pageRect;
    GetClientRect(frame, &client);
    GetClientRect(page, &pageRect);
    EXPECT_EQ(client.bottom, pageRect.bottom + 47);
    EXPECT_NE(GetDlgItem(page, 220), nullptr) << "the step bar";

    // The title bar's Close asks first; Yes ends the wizard with the preset value.
    MessageBoxAnswerer answerer("KAVO申込・設定ツール", IDYES, GetProcessId(process));
    answerer.Start();
    PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    answerer.Wait();
    EXPECT_TRUE(answerer.seen);
    EXPECT_EQ(WaitForExit(process), 401u);
}

TEST(MainProgram, EveryScreenIdShowsItsPageFromTheCoreLibraryWithItsTexts)
{
    struct Case {
        const char* screen;
        int control;
        const char* key;
    };
    const Case cases[] = {
        {"A-N07", IDC_STATIC1, "A_N07_IDC_STATIC1"},
        {"A-N08", IDC_STATIC1, "A_N08_IDC_STATIC1"},
        {"A-N08-2", IDC_STATIC1, "A_N08_IDC_STATIC1"},
        {"B-N01", IDC_STATIC2, "B_N01_IDC_STATIC2"},
        {"B-N02", IDC_START, "B_N02_IDC_START"},
        {"B-N03", IDC_START, "B_N02_IDC_START"},
        {"B-N04", IDC_STATIC1, "B_N04_IDC_STATIC1"},
        {"B-N05", IDC_SIGNUP, "B_N05_IDC_SIGNUP"},
        {"B-N05-2", IDC_STATIC1, "B_N05_2_IDC_STATIC1"},
        {"B-N06", IDC_PRINT, "B_N06_IDC_PRINT"},
        {"B-N07", IDC_STATIC1, "B_N07_IDC_STATIC1"},
        {"B-N08", IDC_INSTALL, "B_N08_IDC_INSTALL"},
        {"B-N09", IDC_STATIC1, "B_N09_IDC_STATIC1"},
        {"B-N10", IDC_CLOSE, "B_N10_IDC_CLOSE"},
        {"B-E02-2", IDC_STATIC1, "B_E02_2_IDC_STATIC1"},
        {"B-E02-HDD-2", IDC_STATIC1, "B_E02_HDD_2_IDC_STATIC1"},
        {"B-E02-SOFT-2", IDC_STATIC1, "B_E02_SOFT_2_IDC_STATIC1"},
        {"B-E09", IDC_INSTALL, "B_E09_IDC_INSTALL"},
        {"C-N01", IDC_STATIC1, "C_N01_IDC_STATIC1"},
        {"C-N02", IDC_STATIC2, "C_N02_IDC_STATIC2"},
        {"D-N01", IDC_STATIC1, "D_N01_IDC_STATIC1"},
        {"D-N03", IDC_STATIC1, "D_N03_IDC_STATIC1"},
        {"D-N05", IDC_CLOSE, "D_N05_IDCLOSE"},
        {"D-E02-2", IDC_STATIC1, "B_E02_2_IDC_STATIC1"},
        {"D-E02-HDD-2", IDC_STATIC1, "B_E02_HDD_2_IDC_STATIC1"},
        {"D-E02-SOFT-2", IDC_STATIC1, "B_E02_SOFT_2_IDC_STATIC1"},
        {"D-E05", IDC_INSTALL, "D_E05_IDC_INSTALL"},
        {"EXG0001", IDC_STATIC1, "B_E02_2_IDC_STATIC1"},
        {"EXG1003", IDC_BACK, "ERR_IDC_BACK"},
        {"EWS0001", IDC_BACK, "ERR_IDC_BACK"},
    };
    const std::string definition = ReadWholeFile(SourcePath("resources/text.def"));
    ASSERT_FALSE(definition.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen);
        const std::string expected = DefinitionText(definition, c.key);
        ASSERT_FALSE(expected.empty()) << c.key;
        CHandle process(StartProgram(MainProgram(), std::string("-P ") + c.screen));
        ASSERT_TRUE(bool(process));
        const DWORD processId = GetProcessId(process);
        HWND frame = WaitForWindowOfClass("KAVOWizardWindowClass", 30000, processId);
        HWND page = nullptr;
        for (int i = 0; frame && i < 500 && !page; ++i) {
            page = FindWindowExA(frame, nullptr, "#32770", nullptr);
            if (!page)
                Sleep(20);
        }
        // The window exists before its texts are set, and a page may set them after it is
        // shown: wait for the text rather than for a state of the window.
        char text[512] = {};
        for (int i = 0; page && i < 500; ++i) {
            GetDlgItemTextA(page, c.control, text, sizeof text);
            if (expected == text)
                break;
            Sleep(20);
        }
        EXPECT_NE(page, nullptr);
        EXPECT_EQ(std::string(text), expected);
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 30000);
        // The frame goes with its process; the next start must not find this one.
        for (int i = 0; i < 250 && FindTopLevelWindowOf(processId, "KAVOWizardWindowClass"); ++i)
            Sleep(20);
    }
}

TEST(MainProgram, SecondInstanceEndsAtOnceWithZero)
{
    CHandle first(CreateMutexA(nullptr, TRUE, kInstanceMutexName));
    ASSERT_TRUE(bool(first));
    EXPECT_EQ(RunProgram(MainProgram(), "-P XYZ"), 0u);
}

TEST(MainProgram, CompletionIsRefusedWhileTheStartupShortcutExists)
{
    const std::string shortcut = StartupShortcut();
    Touch(shortcut);
    ASSERT_TRUE(Exists(shortcut));
    EXPECT_EQ(RunProgram(MainProgram(), "-c -i Lpcif"), DWORD(E_ABORT));
    EXPECT_TRUE(Exists(shortcut));

    // Any other start removes the shortcut and goes on.
    EXPECT_EQ(RunProgram(MainProgram(), "-P XYZ"), 401u);
    EXPECT_FALSE(Exists(shortcut));

    // Without the shortcut the completion goes on to its result page.
    CHandle process(StartProgram(MainProgram(), "-c -i Lpcif"));
    ASSERT_TRUE(bool(process));
    EXPECT_NE(WaitForWindowOfClass("KAVOWizardWindowClass", 30000, GetProcessId(process)), nullptr);
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 30000);
}

TEST(MainProgram, LogFileNamedByTheDefinitionBesideTheProgramRecordsTheRun)
{
    const std::string folder = TempFolder() + "\\kavo-main-log";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(MainProgram().c_str(), (folder + "\\KAVO.exe").c_str(), FALSE));
    std::string definition = ReadWholeFile(SourcePath("resources/text.def"));
    ASSERT_FALSE(definition.empty());
    definition += "COMMON_NAME_LOGFILE=kavo.log\r\n";
    ASSERT_TRUE(WriteWholeFile(folder + "\\text.def", definition));

    EXPECT_EQ(RunProgram(folder + "\\KAVO.exe", "-P XYZ"), 401u);
    const std::string log = ReadWholeFile(folder + "\\kavo.log");
    EXPECT_NE(log.find("] start\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("] end\r\n"), std::string::npos) << log;

    for (const char* name : {"\\kavo.log", "\\text.def", "\\KAVO.exe"})
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
