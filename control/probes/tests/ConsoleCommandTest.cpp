#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "CConsoleProcess.h"
#include "ConsoleCommand.h"
#include "FakeTools.h"

namespace {

using ConsoleCommand = FakeToolsTest;

TEST_F(ConsoleCommand, CapturesStandardOutputAndStandardErrorOfTheTool)
{
    SetOutput("ipconfig", "out line\r\n");
    SetErrorOutput("ipconfig", "err line\r\n");
    CString output;
    ASSERT_TRUE(RunConsoleCommand("ipconfig /all", &output));
    EXPECT_EQ(std::string(output), "out line\r\nerr line\r\n");
    EXPECT_EQ(Calls(), std::vector<std::string>{"ipconfig /all"});
}

TEST_F(ConsoleCommand, ExitCodeIsNotJudged)
{
    SetExitCode("netsh", 1);
    EXPECT_TRUE(RunConsoleCommand("netsh interface ipv6 install", nullptr));
}

TEST_F(ConsoleCommand, ToolThatDoesNotStartFailsWithEmptyOutput)
{
    CString output("old");
    EXPECT_FALSE(RunConsoleCommand("pevlin-no-such-tool-here", &output));
    EXPECT_TRUE(output.IsEmpty());
}

TEST_F(ConsoleCommand, KeepsTheFirst80000BytesAndStillReadsTheToolToItsEnd)
{
    // Much more than a pipe buffer: a reader that stopped at the limit would leave the tool
    // blocked in its write and never see it end.
    std::string big(300000, 'a');
    big[kConsoleOutputLimit - 1] = 'z';
    SetOutput("arp", big);
    CString output;
    ASSERT_TRUE(RunConsoleCommand("arp -a", &output));
    ASSERT_EQ(output.GetLength(), kConsoleOutputLimit);
    EXPECT_EQ(output[kConsoleOutputLimit - 1], 'z');
}

// True when handle (a value in process) is a read end holding exactly marker.
bool HoldsReadEndWith(HANDLE process, HANDLE handle, const std::string& marker)
{
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process, handle, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return false;
    char seen[64] = {};
    DWORD read = 0;
    const bool same = PeekNamedPipe(copy, seen, sizeof seen, &read, nullptr, nullptr) &&
                      std::string(seen, read) == marker;
    CloseHandle(copy);
    return same;
}

TEST_F(ConsoleCommand, ToolDoesNotInheritThePipesReadEnd)
{
    const std::string marker = "marker-5EB11";
    SetOutput("ping", marker);
    Hold("ping");
    CConsoleProcess tool;
    ASSERT_TRUE(tool.Start("ping -n 1 127.0.0.1"));
    DWORD waiting = 0;
    for (int i = 0; i < 500 && waiting < marker.size(); ++i) {
        Sleep(10);
        PeekNamedPipe(tool.OutputPipe(), nullptr, 0, nullptr, &waiting, nullptr);
    }
    ASSERT_EQ(waiting, marker.size());
    // An inherited handle keeps its value in the child: the read end's value in the tool
    // names the same pipe (with the marker waiting in it) only when the tool inherited it.
    const bool inherited = HoldsReadEndWith(tool.Process(), tool.OutputPipe(), marker);
    Release("ping");
    CString output;
    tool.ReadOutput(kConsoleOutputLimit, output);
    EXPECT_TRUE(tool.WaitForEnd());
    EXPECT_EQ(std::string(output), marker);
    EXPECT_FALSE(inherited) << "the tool holds the read end of its own output pipe";
}

}  // namespace
