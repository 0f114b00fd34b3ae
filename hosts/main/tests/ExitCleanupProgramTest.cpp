// The exit clean-up as the real program does it: KAVO.exe shows a page, the title bar's Close
// is answered Yes, and the program removes what the pages asked for before it ends.
#include <gtest/gtest.h>

#include <string>

#include "CHandle.h"
#include "CRegKey.h"
#include "CTextDef.h"
#include "KavoDriver.h"
#include "KavoTestPaths.h"
#include "ProgramRun.h"

namespace {

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The program's own texts, from the core library beside it.
std::string BuiltInText(const char* key)
{
    HMODULE core = LoadLibraryA((TestBinFolder() + "\\KAVOCore.dll").c_str());
    if (!core)
        return std::string();
    CTextDef::LoadFromResource(core, 3);
    FreeLibrary(core);
    return CTextDef::GetText(key).GetString();
}

bool RunOnceValueExists(const std::string& name)
{
    CRegKey key;
    CString value;
    return key.Open(HKEY_CURRENT_USER, kRunOnceKey, KEY_READ) == ERROR_SUCCESS &&
           key.QueryStringValue(name.c_str(), value) == ERROR_SUCCESS;
}

// Starts KAVO.exe with arguments; with close, answers the close question of its frame with
// Yes. The full exit value, or -1 when the program did not end.
DWORD RunProgram(const std::string& arguments, bool close)
{
    CHandle process(StartProgram(TestBinFolder() + "\\KAVO.exe", arguments));
    if (!process)
        return DWORD(-1);
    if (close) {
        HWND frame = WaitForWindowOfClass("KAVOWizardWindowClass", 30000, GetProcessId(process));
        EXPECT_NE(frame, nullptr);
        for (int i = 0; frame && i < 250 && !IsWindowVisible(frame); ++i)
            Sleep(20);
        MessageBoxAnswerer answerer(BuiltInText("COMMON_TITLE"), IDYES, GetProcessId(process));
        answerer.Start();
        PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
        answerer.Wait();
        EXPECT_TRUE(answerer.seen) << "no close question";
    }
    return WaitForExit(process);
}

TEST(MainProgramExit, CloseAnsweredYesRemovesTheDownloadAndTheRunOnceValue)
{
    const std::string download = TestBinFolder() + "\\download.tmp";
    const std::string autorun = BuiltInText("COMMON_NAME_AUTORUN");
    ASSERT_FALSE(autorun.empty());
    const struct {
        const char* name;
        const char* arguments;
        bool close;
        bool cleaned;
    } cases[] = {
        // An id of no page ends before any page could ask for the clean-up.
        {"no page", "-P XYZ", false, false},
        {"close answered yes", "-P A-N08-2", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CloseHandle(CreateFileA(download.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        CRegKey runOnce;
        ASSERT_EQ(runOnce.Create(HKEY_CURRENT_USER, kRunOnceKey), ERROR_SUCCESS);
        ASSERT_EQ(runOnce.SetStringValue(autorun.c_str(), "kavocomp.exe"), ERROR_SUCCESS);

        EXPECT_EQ(RunProgram(c.arguments, c.close), 401u);
        EXPECT_EQ(Exists(download), !c.cleaned);
        EXPECT_EQ(RunOnceValueExists(autorun), !c.cleaned);

        DeleteFileA(download.c_str());
        runOnce.DeleteValue(autorun.c_str());
    }
}

}  // namespace
