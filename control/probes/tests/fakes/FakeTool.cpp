// Stands in for a console tool (ipconfig, netsh, arp, ping) or the connection tool's program
// in the probe tests: it runs nothing and sends nothing. With PEVLIN_FAKE_DIR set it appends
// its command line to "calls.txt" there and to "<name>.calls" (so a test sees which program
// ran) and answers from files named after its own program:
// "<name>.out" to standard output, "<name>.err" to standard error, "<name>.exit" the exit
// code ("<name>.<last word of the command line>.exit" first, so one subcommand can fail alone);
// while "<name>.hold" exists (at most 20 s) it stays running.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string FakeDir()
{
    char dir[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("PEVLIN_FAKE_DIR", dir, MAX_PATH);
    return length && length < MAX_PATH ? std::string(dir, length) : std::string();
}

std::string OwnName()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length);
    name = name.substr(name.find_last_of('\\') + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.resize(dot);
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return name;
}

std::string ReadFileBytes(const std::string& path, bool& found)
{
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    found = file != nullptr;
    if (!file)
        return bytes;
    char buffer[4096];
    for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, read);
    std::fclose(file);
    return bytes;
}

void WriteAll(DWORD which, const std::string& bytes)
{
    const HANDLE handle = GetStdHandle(which);
    DWORD written = 0;
    for (size_t done = 0; done < bytes.size(); done += written)
        if (!WriteFile(handle, bytes.data() + done, DWORD(bytes.size() - done), &written, nullptr) || !written)
            return;
}

std::string LastWord(const std::string& line)
{
    const size_t end = line.find_last_not_of(' ');
    if (end == std::string::npos)
        return std::string();
    const size_t space = line.find_last_of(' ', end);
    const size_t start = space == std::string::npos ? 0 : space + 1;
    return line.substr(start, end + 1 - start);
}

}  // namespace

int main()
{
    const std::string dir = FakeDir();
    if (dir.empty())
        return 0;
    const std::string base = dir + "\\" + OwnName();

    for (const std::string& record : {dir + "\\calls.txt", base + ".calls"}) {
        if (FILE* calls = std::fopen(record.c_str(), "ab")) {
            std::fprintf(calls, "%s\n", GetCommandLineA());
            std::fclose(calls);
        }
    }
    bool found = false;
    WriteAll(STD_OUTPUT_HANDLE, ReadFileBytes(base + ".out", found));
    WriteAll(STD_ERROR_HANDLE, ReadFileBytes(base + ".err", found));
    for (int i = 0; i < 1000 && GetFileAttributesA((base + ".hold").c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(20);
    std::string code = ReadFileBytes(base + "." + LastWord(GetCommandLineA()) + ".exit", found);
    if (!found)
        code = ReadFileBytes(base + ".exit", found);
    return found ? std::atoi(code.c_str()) : 0;
}
