// The real KAVOComp.exe, started from a folder of its own with a text definition that points
// every registry place, name and folder it touches at this test process's own, so that test
// programs running side by side never meet. The product object is the fake's, registered
// machine-wide as the product's setup registers it.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "CHandle.h"
#include "CRegKey.h"
#include "DefinitionText.h"
#include "InstalledProduct.h"
#include "KavoDriver.h"
#include "KavoTestPaths.h"
#include "ProgramRun.h"
#include "resource.h"

namespace {

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kFrameClass[] = "KAVOWizardWindowClass";

std::string Pid()
{
    return std::to_string(GetCurrentProcessId());
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ProductClassKey()
{
    wchar_t clsid[64];
    StringFromGUID2(CLSID_KavoInstalledProduct, clsid, 64);
    char text[64];
    WideCharToMultiByte(CP_ACP, 0, clsid, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

class CompanionProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        definition = ReadWholeFile(SourcePath("resources/text.def"));
        ASSERT_FALSE(definition.empty());
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        for (const char* name : {"KAVOComp.exe", "KAVOCore.dll"})
            ASSERT_TRUE(CopyFileA((TestBinFolder() + "\\" + name).c_str(), (folder + "\\" + name).c_str(), FALSE)) << name;
        const std::string fakeSetup = TestBinFolder() + "\\kavo_fake_setup.exe";
        ASSERT_TRUE(CopyFileA(fakeSetup.c_str(), (folder + "\\" + setupName).c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(fakeSetup.c_str(), (folder + "\\" + windowModule).c_str(), FALSE));

        std::string text = definition;
        if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n"))
            text += "\r\n";
        const std::string hkcu = "HKEY_CURRENT_USER\\" + scratch;
        text += "COMMON_NAME_AUTORUN=" + autorun + "\r\n";
        text += "COMMON_REG_HKCU_KAVO=" + hkcu + "\\user\r\n";
        text += "COMMON_REG_HKLM_KAVO=" + hkcu + "\\machine\r\n";
        text += "COMMON_REG_XGINSTALLSTATUS=" + hkcu + "\\state\\Status\r\n";
        text += "COMMON_CT_PRODUCTID=KAVO-TEST-PRODUCT\r\n";
        text += "COMMON_CT_PRODUCTVERSION=17.0\r\n";
        text += "COMMON_DLPK_OUTPUT_PATH=" + Output() + "\r\n";
        text += "COMMON_CMD_XGINSTALL=setup.exe\r\n";
        text += "COMMON_SETUP_EXE_FILE_NAME=" + setupName + "\r\n";
        text += "COMMON_WINDOW_MODULE=" + windowModule + "\r\n";
        text += "COMMON_WINDOW_TITLE=" + windowTitle + "\r\n";
        ASSERT_TRUE(WriteWholeFile(folder + "\\text.def", text));

        CRegKey product;
        ASSERT_EQ(product.Create(HKEY_LOCAL_MACHINE, ("Software\\Classes\\CLSID\\" + ProductClassKey() + "\\InprocServer32").c_str(),
                                 KEY_WRITE | KEY_WOW64_32KEY),
                  ERROR_SUCCESS);
        product.SetStringValue(nullptr, (TestBinFolder() + "\\KavoFakeProduct.dll").c_str());
        product.SetStringValue("ThreadingModel", "Both");
    }

    void TearDown() override
    {
        CRegKey runOnce;
        if (runOnce.Open(HKEY_CURRENT_USER, kRunOnceKey, KEY_SET_VALUE) == ERROR_SUCCESS)
            runOnce.DeleteValue(autorun.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, scratch.c_str());
        HKEY classes = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\CLSID", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &classes) ==
            ERROR_SUCCESS) {
            RegDeleteTreeA(classes, ProductClassKey().c_str());
            RegCloseKey(classes);
        }
        for (const char* name : {"KAVO_FAKE_PRODUCT_ID", "KAVO_FAKE_PACKAGE_RECORD", "KAVO_FAKE_SETUP_WINDOW_PROGRAM",
                                 "KAVO_FAKE_SETUP_WINDOW_TITLE", "KAVO_FAKE_SETUP_LINGER_MS", "KAVO_FAKE_SETUP_STATUS_KEY",
                                 "KAVO_FAKE_SETUP_STATUS"})
            SetEnvironmentVariableA(name, nullptr);
        // The folder goes as a whole, with whatever a run left in it.
        std::string from = folder + std::string(1, '\0');
        SHFILEOPSTRUCTA operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NO_UI;
        SHFileOperationA(&operation);
    }

    std::string Output() const { return folder + "\\out"; }
    std::string Companion() const { return folder + "\\KAVOComp.exe"; }

    void SetStatus(int status)
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, (scratch + "\\state").c_str());
        if (status < 0)
            return;
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, (scratch + "\\state").c_str()), ERROR_SUCCESS);
        key.SetDWORDValue("Status", DWORD(status));
    }

    // What the companion's RunOnce value holds; "-" when there is none.
    std::string RunOnceValue() const
    {
        CRegKey key;
        CString value;
        if (key.Open(HKEY_CURRENT_USER, kRunOnceKey, KEY_READ) != ERROR_SUCCESS ||
            key.QueryStringValue(autorun.c_str(), value) != ERROR_SUCCESS)
            return "-";
        return value.GetString();
    }
    void PlantRunOnceValue()
    {
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kRunOnceKey), ERROR_SUCCESS);
        key.SetStringValue(autorun.c_str(), "left by the wizard");
    }
    // What the clean-up at exit may remove: "download.tmp" beside the companion and the
    // download output folder.
    void PlantDownloads()
    {
        ASSERT_TRUE(WriteWholeFile(folder + "\\download.tmp", "package"));
        ASSERT_TRUE(CreateDirectoryA(Output().c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(WriteWholeFile(Output() + "\\setup.ini", "[COMMON]\r\n"));
    }

    // The page in the frame of the process once its texts are set; null when none comes.
    HWND WaitForPage(DWORD processId, DWORD timeout = 60000)
    {
        HWND frame = WaitForWindowOfClass(kFrameClass, timeout, processId);
        HWND page = nullptr;
        for (int i = 0; frame && i < 500 && !page; ++i) {
            page = FindWindowExA(frame, nullptr, "#32770", nullptr);
            if (!page)
                Sleep(20);
        }
        for (int i = 0; page && i < 500 && !IsWindowVisible(page); ++i)
            Sleep(20);
        return page;
    }

    // The exit value of a run that must show no window while it lasts.
    DWORD ExitWithoutWindow(HANDLE process)
    {
        bool shown = false;
        const DWORD start = GetTickCount();
        while (WaitForSingleObject(process, 20) == WAIT_TIMEOUT && GetTickCount() - start < 60000)
            shown = shown || FindTopLevelWindowOf(GetProcessId(process), kFrameClass) != nullptr;
        EXPECT_FALSE(shown) << "a frame was shown";
        return WaitForExit(process, 1000);
    }

    // The RunOnce command of the companion in this folder with args.
    std::string CompanionCommand(const std::string& args) const
    {
        char command[MAX_PATH];
        lstrcpynA(command, (folder + "\\kavocomp.exe").c_str(), MAX_PATH);
        PathQuoteSpacesA(command);
        return std::string(command) + " " + args;
    }

    const std::string folder = TempFolder() + "\\kavo-companion-" + Pid();
    const std::string scratch = "Software\\KavoTest\\CompanionProgram_" + Pid();
    const std::string autorun = "KAVO autorun test " + Pid();
    const std::string setupName = "kavo_setup_" + Pid() + ".exe";
    const std::string windowModule = "kavo_setupui_" + Pid() + ".exe";
    // Japanese, as the product's setup window is titled: "KAVO テスト setup <pid>" in CP932.
    const std::string windowTitle = "KAVO \x83\x65\x83\x58\x83\x67 setup " + Pid();
    std::string definition;
};

TEST_F(CompanionProgram, ResultPageIsShownInTheFrameAfterTheRunOnceValueIsDeleted)
{
    struct Case {
        const char* name;
        const char* arguments;
        int status;  // -1: no value
        const char* productId;
        int control;
        const char* key;
        bool closeButton;  // the page's own close; else the title bar's, answered Yes
    };
    const Case cases[] = {
        {"installed", "-c -i Lpcif", 1, "KAVO-TEST-PRODUCT", IDC_CLOSE, "B_N10_IDC_CLOSE", true},
        {"no status", "-c -i Lpcif", -1, "KAVO-TEST-PRODUCT", IDC_INSTALL, "B_E09_IDC_INSTALL", false},
        {"status neither 0 nor 1", "-c", 2, "KAVO-TEST-PRODUCT", IDC_INSTALL, "B_E09_IDC_INSTALL", false},
        {"another product", "-c", 1, "OTHER-PRODUCT", IDC_INSTALL, "B_E09_IDC_INSTALL", false},
        {"upgraded", "-cu", 1, "kavo-test-product", IDC_CLOSE, "D_N05_IDCLOSE", true},
        {"upgrade failed", "-cu", -1, "KAVO-TEST-PRODUCT", IDC_INSTALL, "D_E05_IDC_INSTALL", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetStatus(c.status);
        SetEnvironmentVariableA("KAVO_FAKE_PRODUCT_ID", c.productId);
        PlantRunOnceValue();
        PlantDownloads();
        CHandle process(StartProgram(Companion(), c.arguments));
        ASSERT_TRUE(bool(process));
        HWND page = WaitForPage(GetProcessId(process));
        ASSERT_NE(page, nullptr);
        char text[512] = {};
        GetDlgItemTextA(page, c.control, text, sizeof text);
        EXPECT_EQ(std::string(text), DefinitionText(definition, c.key));
        EXPECT_EQ(RunOnceValue(), "-");

        if (c.closeButton) {
            PostMessageA(GetDlgItem(page, c.control), BM_CLICK, 0, 0);
            EXPECT_EQ(WaitForExit(process), 0u);
            // The done page asks for the whole clean-up.
            EXPECT_FALSE(Exists(folder + "\\download.tmp"));
            EXPECT_FALSE(Exists(Output()));
        } else {
            MessageBoxAnswerer answerer(DefinitionText(definition, "COMMON_TITLE"), IDYES, GetProcessId(process));
            answerer.Start();
            PostMessageA(GetParent(page), WM_SYSCOMMAND, SC_CLOSE, 0);
            answerer.Wait();
            EXPECT_TRUE(answerer.seen) << "no close question";
            EXPECT_EQ(WaitForExit(process), 0u);
        }
    }
}

TEST_F(CompanionProgram, QuietCompletionShowsNothingAndCleansUpEverything)
{
    for (int status : {1, -1}) {
        SCOPED_TRACE(status);
        SetStatus(status);
        PlantRunOnceValue();
        PlantDownloads();
        CHandle process(StartProgram(Companion(), "-c -q -i Lpcif"));
        ASSERT_TRUE(bool(process));
        EXPECT_EQ(ExitWithoutWindow(process), 0u);
        EXPECT_FALSE(Exists(folder + "\\download.tmp"));
        EXPECT_FALSE(Exists(Output()));
        EXPECT_EQ(RunOnceValue(), "-");
    }
}

TEST_F(CompanionProgram, RestartStartsTheMainProgramWithTheSameArgumentsAndCleansNothing)
{
    const std::string other = folder + "\\installed";
    ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
    struct Case {
        const char* name;
        const char* pathValue;  // null: no "Path" value
        std::string mainFolder;
    };
    const Case cases[] = {
        {"no Path value: beside the companion", nullptr, folder},
        {"the installed folder", other.c_str(), other},
    };
    const std::string recorder = TestBinFolder() + "\\kavo_fake_package.exe";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeA(HKEY_CURRENT_USER, (scratch + "\\machine").c_str());
        if (c.pathValue) {
            CRegKey key;
            ASSERT_EQ(key.Create(HKEY_CURRENT_USER, (scratch + "\\machine").c_str()), ERROR_SUCCESS);
            key.SetStringValue("Path", c.pathValue);
        }
        DeleteFileA((folder + "\\kavo.exe").c_str());
        ASSERT_TRUE(CopyFileA(recorder.c_str(), (c.mainFolder + "\\kavo.exe").c_str(), FALSE));
        const std::string record = folder + "\\main-started.txt";
        DeleteFileA(record.c_str());
        SetEnvironmentVariableA("KAVO_FAKE_PACKAGE_RECORD", record.c_str());
        PlantRunOnceValue();
        PlantDownloads();

        CHandle process(StartProgram(Companion(), "--restart -i Lpdt"));
        ASSERT_TRUE(bool(process));
        EXPECT_EQ(ExitWithoutWindow(process), 0u);
        std::string started;
        for (int i = 0; i < 500 && started.empty(); ++i) {
            started = ReadWholeFile(record);
            if (started.empty())
                Sleep(20);
        }
        const std::string tail = " --restart -i Lpdt\r\n";
        ASSERT_GE(started.size(), tail.size()) << started;
        EXPECT_EQ(started.substr(started.size() - tail.size()), tail);
        EXPECT_NE(StrStrIA(started.c_str(), (c.mainFolder + "\\kavo.exe").c_str()), nullptr) << started;
        // Restart mode leaves the decision and the clean-up to the main program.
        EXPECT_EQ(RunOnceValue(), "left by the wizard");
        EXPECT_TRUE(Exists(folder + "\\download.tmp"));
        EXPECT_TRUE(Exists(Output()));
        DeleteFileA((c.mainFolder + "\\kavo.exe").c_str());
    }
}

// The setup still runs after the restart: the companion re-arms its RunOnce value, shows
// nothing until the setup has ended, then reads the status the setup left at its end.
TEST_F(CompanionProgram, RunningSetupIsWaitedForWithTheRunOnceValueReArmed)
{
    SetStatus(0);
    SetEnvironmentVariableA("KAVO_FAKE_SETUP_WINDOW_PROGRAM", (folder + "\\" + windowModule).c_str());
    SetEnvironmentVariableA("KAVO_FAKE_SETUP_WINDOW_TITLE", windowTitle.c_str());
    SetEnvironmentVariableA("KAVO_FAKE_SETUP_LINGER_MS", "8000");
    SetEnvironmentVariableA("KAVO_FAKE_SETUP_STATUS_KEY", ("HKCU\\" + scratch + "\\state\\Status").c_str());
    SetEnvironmentVariableA("KAVO_FAKE_SETUP_STATUS", "1");
    PlantRunOnceValue();
    CHandle setup(StartProgram(folder + "\\" + setupName, ""));
    ASSERT_TRUE(bool(setup));
    CHandle process(StartProgram(Companion(), "-c -i Lpcif"));
    ASSERT_TRUE(bool(process));

    const std::string rearmed = CompanionCommand("-c -i Lpcif");
    std::string seen;
    for (int i = 0; i < 500 && seen != rearmed; ++i) {
        seen = RunOnceValue();
        if (seen != rearmed)
            Sleep(20);
    }
    EXPECT_EQ(seen, rearmed);
    EXPECT_EQ(WaitForSingleObject(setup, 0), DWORD(WAIT_TIMEOUT)) << "the setup ended before the value was read";

    bool shownWhileSetupRan = false;
    HWND frame = nullptr;
    const DWORD start = GetTickCount();
    while (!frame && GetTickCount() - start < 90000) {
        const bool setupRunning = WaitForSingleObject(setup, 0) == WAIT_TIMEOUT;
        frame = FindTopLevelWindowOf(GetProcessId(process), kFrameClass);
        shownWhileSetupRan = shownWhileSetupRan || (frame && setupRunning);
        if (!frame)
            Sleep(20);
    }
    EXPECT_FALSE(shownWhileSetupRan);
    HWND page = WaitForPage(GetProcessId(process));
    ASSERT_NE(page, nullptr);
    char text[512] = {};
    GetDlgItemTextA(page, IDC_CLOSE, text, sizeof text);
    EXPECT_EQ(std::string(text), DefinitionText(definition, "B_N10_IDC_CLOSE"));
    EXPECT_EQ(RunOnceValue(), "-");
    PostMessageA(GetDlgItem(page, IDC_CLOSE), BM_CLICK, 0, 0);
    EXPECT_EQ(WaitForExit(process), 0u);
}

}  // namespace
