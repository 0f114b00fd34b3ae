// The vendor's installation package: unpacks its setup files into the output folder.
//   KAVO_FAKE_PACKAGE_SOURCE  folder whose files are the package's contents
//   KAVO_FAKE_PACKAGE_OUTPUT  folder to unpack into (created)
//   KAVO_FAKE_PACKAGE_RECORD  file that receives the command line, one per line
//   KAVO_FAKE_PACKAGE_EXIT    exit code (default 0)
#include <windows.h>
#include <shlobj.h>

#include "FakeEnv.h"

// The signing script changes a byte of this text after signing: the changed package still runs
// as before, so only the signature check can tell the two apart.
const char kMarker[] = "KAVO fake package marker";

// The real package unpacks into a folder written with environment names ("%TEMP%\\...").
std::string Expanded(const std::string& text)
{
    char expanded[MAX_PATH] = {};
    const DWORD length = ExpandEnvironmentStringsA(text.c_str(), expanded, MAX_PATH);
    return length && length <= MAX_PATH ? std::string(expanded) : text;
}

int main()
{
    const char* volatile marker = kMarker;
    (void)marker;
    const std::string record = EnvText("KAVO_FAKE_PACKAGE_RECORD");
    if (!record.empty())
        AppendToFile(record, std::string(GetCommandLineA()) + "\r\n");

    const std::string source = EnvText("KAVO_FAKE_PACKAGE_SOURCE");
    const std::string output = Expanded(EnvText("KAVO_FAKE_PACKAGE_OUTPUT"));
    if (!source.empty() && !output.empty()) {
        SHCreateDirectoryExA(nullptr, output.c_str(), nullptr);
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((source + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    CopyFileA((source + "\\" + data.cFileName).c_str(), (output + "\\" + data.cFileName).c_str(), FALSE);
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
    }
    return EnvNumber("KAVO_FAKE_PACKAGE_EXIT", 0);
}
