// The end-to-end runs see pages only through the scripted browser registered in the prefix:
// an update of the prefix can bring back Wine's own browser without any other test noticing.
#include <gtest/gtest.h>

#include <string>

#include "KavoTestPaths.h"

namespace {

HWND FrameOf(DWORD pid)
{
    for (HWND window = FindWindowExA(nullptr, nullptr, "KAVOWizardWindowClass", nullptr); window;
         window = FindWindowExA(nullptr, window, "KAVOWizardWindowClass", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid)
            return window;
    }
    return nullptr;
}

TEST(ScriptedBrowserRegistration, MainProgramPageLoadsTheDoubleFromThePrefix)
{
    const std::string record = TempFolder() + "\\kavo-load-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(record.c_str(), nullptr);
    DeleteFileA((record + "\\events.txt").c_str());
    SetEnvironmentVariableA("KAVO_SCRIPTED_BROWSER_DIR", record.c_str());

    const std::string program = TestBinFolder() + "\\KAVO.exe";
    std::string commandLine = "\"" + program + "\" -P A-N07";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    SetEnvironmentVariableA("KAVO_SCRIPTED_BROWSER_DIR", nullptr);
    CloseHandle(process.hThread);

    // The page's first navigation, recorded by the double under the program's process id.
    const std::string expected = std::to_string(process.dwProcessId) + " 0000 BeforeNavigate2 about:blank\n";
    // On a loaded machine the record has shown the first navigation before the browser's
    // window could be found under the frame: both are waited for.
    std::string events;
    bool shell = false;
    for (int i = 0; i < 1500 && (events.find(expected) == std::string::npos || !shell); ++i) {
        Sleep(20);
        events = ReadWholeFile(record + "\\events.txt");
        HWND frame = FrameOf(process.dwProcessId);
        HWND page = frame ? FindWindowExA(frame, nullptr, "#32770", nullptr) : nullptr;
        HWND control = page ? GetDlgItem(page, 200) : nullptr;
        shell = control && FindWindowExA(control, nullptr, "Shell Embedding", nullptr);
    }
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hProcess);
    DeleteFileA((record + "\\events.txt").c_str());
    RemoveDirectoryA(record.c_str());

    EXPECT_NE(events.find(expected), std::string::npos)
        << "KAVO.exe did not load the scripted browser; register it with tests/env/wine-env.sh's "
           "kavo_register_scripted_browser. Record:\n"
        << events;
    EXPECT_TRUE(shell) << "the page's browser control holds no browser window";
}

}  // namespace
