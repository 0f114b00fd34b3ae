// The vendor's setup. Every step is optional and named by the test:
//   KAVO_FAKE_SETUP_RECORD        file that receives "CMDLINE=<command line>", "PROGRAM=<its own
//                                 path>" and the ini's bytes
//   KAVO_FAKE_SETUP_INI           the ini's name beside this program (default "setup.ini")
//   KAVO_FAKE_SETUP_SECTION       its section (default "COMMON")
//   KAVO_FAKE_SETUP_STATUS_KEY    "HKCU\sub\key\value" (or HKLM) receiving the install status
//   KAVO_FAKE_SETUP_STATUS        that DWORD (default 1)
//   KAVO_FAKE_SETUP_SERIAL_KEY    "HKCU\sub\key\value" receiving the ini's SERIAL
//   KAVO_FAKE_SETUP_REGISTER_DLL  product object DLL to register machine-wide (32-bit view)
//   KAVO_FAKE_SETUP_PRODUCT_VERSION  the version the product answers with from now on, written
//                                 to the product object's KAVO_FAKE_PRODUCT_VERSION_FILE
//   KAVO_FAKE_SETUP_EXIT          exit code (default 0)
//   KAVO_FAKE_SETUP_WINDOW_PROGRAM  program started first with "--window", and waited for,
//                                 as the product's setup hands its window to a child process
//   KAVO_FAKE_SETUP_WINDOW_TITLE  with "--window": the title of the window shown
//   KAVO_FAKE_SETUP_LINGER_MS     with "--window": how long it is shown (default 2000)
//   KAVO_FAKE_SETUP_RUNONCE       name of a RunOnce value of the user receiving this program's
//                                 path and its arguments, as the setup leaves itself to finish
//                                 after a restart
#include <windows.h>
#include <ole2.h>

#include <cstring>

#include "FakeEnv.h"
#include "InstalledProduct.h"

namespace {

// The 64-bit view for HKLM, as the product writes it on 64-bit Windows.
bool SplitKey(const std::string& text, HKEY& root, std::string& subKey, std::string& value)
{
    const size_t first = text.find('\\');
    const size_t last = text.find_last_of('\\');
    if (first == std::string::npos || last == first)
        return false;
    const std::string rootName = text.substr(0, first);
    if (rootName == "HKCU" || rootName == "HKEY_CURRENT_USER")
        root = HKEY_CURRENT_USER;
    else if (rootName == "HKLM" || rootName == "HKEY_LOCAL_MACHINE")
        root = HKEY_LOCAL_MACHINE;
    else
        return false;
    subKey = text.substr(first + 1, last - first - 1);
    value = text.substr(last + 1);
    return true;
}

void WriteValue(const std::string& where, DWORD type, const void* data, DWORD size)
{
    HKEY root = nullptr;
    std::string subKey;
    std::string name;
    if (!SplitKey(where, root, subKey, name))
        return;
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void RegisterProduct(const std::string& dll)
{
    wchar_t clsid[64];
    StringFromGUID2(CLSID_KavoInstalledProduct, clsid, 64);
    char clsidText[64];
    WideCharToMultiByte(CP_ACP, 0, clsid, -1, clsidText, sizeof clsidText, nullptr, nullptr);
    const std::string path = std::string("Software\\Classes\\CLSID\\") + clsidText + "\\InprocServer32";
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(dll.c_str()), DWORD(dll.size() + 1));
    RegSetValueExA(key, "ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>("Both"), 5);
    RegCloseKey(key);
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// The setup's window, shown for a while by the child process; the status is written only
// after it has gone, so a watcher that does not wait reads the status from before.
int ShowSetupWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KavoFakeSetupWindow";
    RegisterClassA(&windowClass);
    const std::string title = EnvText("KAVO_FAKE_SETUP_WINDOW_TITLE", "KAVO fake setup");
    HWND window = CreateWindowA(windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    const DWORD linger = DWORD(EnvNumber("KAVO_FAKE_SETUP_LINGER_MS", 2000));
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < linger) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    DestroyWindow(window);
    return 0;
}

void RunWindowProgram(const std::string& program)
{
    std::string commandLine = "\"" + program + "\" --window";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// The setup's own command as it was started: its path unquoted, then the arguments that
// followed the program on its command line.
std::string OwnCommand()
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const char* line = GetCommandLineA();
    const char* rest = nullptr;
    if (*line == '"')
        rest = std::strchr(line + 1, '"');
    else
        rest = std::strchr(line, ' ');
    std::string arguments = rest ? rest + (*rest == '"' ? 1 : 0) : "";
    return self + arguments;
}

void ScheduleAfterRestart(const std::string& valueName)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    const std::string command = OwnCommand();
    RegSetValueExA(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   DWORD(command.size() + 1));
    RegCloseKey(key);
}

}  // namespace

int main()
{
    if (std::strstr(GetCommandLineA(), " --window"))
        return ShowSetupWindow();
    const std::string windowProgram = EnvText("KAVO_FAKE_SETUP_WINDOW_PROGRAM");
    if (!windowProgram.empty())
        RunWindowProgram(windowProgram);

    const std::string ini = ModuleFolderOf(nullptr) + "\\" + EnvText("KAVO_FAKE_SETUP_INI", "setup.ini");
    const std::string section = EnvText("KAVO_FAKE_SETUP_SECTION", "COMMON");

    const std::string record = EnvText("KAVO_FAKE_SETUP_RECORD");
    if (!record.empty()) {
        char self[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        AppendToFile(record, "CMDLINE=" + std::string(GetCommandLineA()) + "\r\nPROGRAM=" + self + "\r\n" + ReadFileBytes(ini));
    }

    const std::string serialKey = EnvText("KAVO_FAKE_SETUP_SERIAL_KEY");
    if (!serialKey.empty()) {
        char serial[256] = {};
        GetPrivateProfileStringA(section.c_str(), "SERIAL", "", serial, sizeof serial, ini.c_str());
        WriteValue(serialKey, REG_SZ, serial, DWORD(lstrlenA(serial) + 1));
    }
    const std::string dll = EnvText("KAVO_FAKE_SETUP_REGISTER_DLL");
    if (!dll.empty())
        RegisterProduct(dll);
    const std::string newVersion = EnvText("KAVO_FAKE_SETUP_PRODUCT_VERSION");
    const std::string versionFile = EnvText("KAVO_FAKE_PRODUCT_VERSION_FILE");
    if (!newVersion.empty() && !versionFile.empty()) {
        DeleteFileA(versionFile.c_str());
        AppendToFile(versionFile, newVersion);
    }
    const std::string statusKey = EnvText("KAVO_FAKE_SETUP_STATUS_KEY");
    if (!statusKey.empty()) {
        const DWORD status = DWORD(EnvNumber("KAVO_FAKE_SETUP_STATUS", 1));
        WriteValue(statusKey, REG_DWORD, &status, sizeof status);
    }
    const std::string runOnce = EnvText("KAVO_FAKE_SETUP_RUNONCE");
    if (!runOnce.empty())
        ScheduleAfterRestart(runOnce);
    return EnvNumber("KAVO_FAKE_SETUP_EXIT", 0);
}
