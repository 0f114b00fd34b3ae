#include "FakeTools.h"

#include <windows.h>

#include "ConsoleCommand.h"
#include "KavoTestPaths.h"

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    const std::string bytes = ReadWholeFile(path);
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string MakeTestFolder(const char* name)
{
    const std::string folder =
        TempFolder() + "\\pevlin-" + std::to_string(GetCurrentProcessId()) + "-" + name;
    RemoveTestFolder(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void RemoveTestFolder(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTestFolder(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

void FakeToolsTest::SetUp()
{
    m_folder = MakeTestFolder("fakes");
    ASSERT_TRUE(SetEnvironmentVariableA("PEVLIN_FAKE_DIR", m_folder.c_str()));
    SetEnvironmentVariableA("PEVLIN_FAKE_RASDIAL", nullptr);
    SetEnvironmentVariableA("PEVLIN_FAKE_RASHANDLE", nullptr);

    // Nothing may reach the network: every tool a probe starts must be a fake beside this
    // program, and it must be the one that answers (Wine's own ping sends real packets). The
    // program's folder does not change while it runs, so once is enough.
    static bool verified = false;
    for (const char* tool : {"ipconfig", "netsh", "arp", "ping"}) {
        if (verified)
            break;
        const std::string fake = TestBinFolder() + "\\" + tool + ".exe";
        ASSERT_NE(GetFileAttributesA(fake.c_str()), INVALID_FILE_ATTRIBUTES) << "missing fake " << fake;
        const std::string probe = std::string(tool) + " --fake-check";
        ASSERT_TRUE(RunConsoleCommand(probe.c_str(), nullptr)) << probe;
        ASSERT_EQ(CallsOf(tool), std::vector<std::string>{probe}) << "the fake " << tool << " did not answer";
    }
    verified = true;
    HMODULE ras = GetModuleHandleA("rasapi32.dll");
    ASSERT_NE(ras, nullptr);
    ASSERT_NE(GetProcAddress(ras, "PevlinFakeRasIdentity"), nullptr) << "the system's remote-access library is loaded";
    ClearCalls();
}

void FakeToolsTest::TearDown()
{
    SetEnvironmentVariableA("PEVLIN_FAKE_DIR", nullptr);
    SetEnvironmentVariableA("PEVLIN_FAKE_RASDIAL", nullptr);
    SetEnvironmentVariableA("PEVLIN_FAKE_RASHANDLE", nullptr);
    RemoveTestFolder(m_folder);
}

void FakeToolsTest::SetOutput(const std::string& tool, const std::string& bytes)
{
    ASSERT_TRUE(WriteWholeFile(m_folder + "\\" + tool + ".out", bytes));
}

void FakeToolsTest::SetErrorOutput(const std::string& tool, const std::string& bytes)
{
    ASSERT_TRUE(WriteWholeFile(m_folder + "\\" + tool + ".err", bytes));
}

void FakeToolsTest::SetExitCode(const std::string& tool, int code)
{
    ASSERT_TRUE(WriteWholeFile(m_folder + "\\" + tool + ".exit", std::to_string(code)));
}

void FakeToolsTest::Hold(const std::string& tool)
{
    ASSERT_TRUE(WriteWholeFile(m_folder + "\\" + tool + ".hold", ""));
}

void FakeToolsTest::Release(const std::string& tool)
{
    DeleteFileA((m_folder + "\\" + tool + ".hold").c_str());
}

std::vector<std::string> FakeToolsTest::Calls() const
{
    return ReadLines(m_folder + "\\calls.txt");
}

std::vector<std::string> FakeToolsTest::CallsOf(const std::string& tool) const
{
    return ReadLines(m_folder + "\\" + tool + ".calls");
}

std::vector<std::string> FakeToolsTest::RasCalls() const
{
    return ReadLines(m_folder + "\\ras.txt");
}

void FakeToolsTest::ClearCalls()
{
    DeleteFileA((m_folder + "\\calls.txt").c_str());
    DeleteFileA((m_folder + "\\ras.txt").c_str());
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((m_folder + "\\*.calls").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
        DeleteFileA((m_folder + "\\" + found.cFileName).c_str());
    while (FindNextFileA(search, &found));
    FindClose(search);
}
