#include "CXGInstall.h"

#include <process.h>
#include <shlobj.h>
#include <shlwapi.h>


#include "CHandle.h"
#include "CRegKey.h"
#include "CTextDef.h"
#include "CodeSignature.h"
#include "DirectoryTree.h"
#include "DownloadFile.h"
#include "KavoMessages.h"
#include "ProgramFolder.h"
#include "Wow64.h"

namespace {

constexpr WPARAM kFinished = 0xFFFF;
constexpr LPARAM kDownloadStarted = 0x00000001;
constexpr LPARAM kDownloadEnded = 0x00650001;
constexpr LPARAM kPackageRunning = 0x00010002;
constexpr LPARAM kSetupStarting = 0x00020002;

// text with its environment variables expanded into at most MAX_PATH bytes.
bool ExpandText(const char* text, CString& expanded)
{
    char buffer[MAX_PATH];
    const DWORD length = ExpandEnvironmentStringsA(text, buffer, MAX_PATH);
    if (length == 0 || length > MAX_PATH)
        return false;
    expanded = buffer;
    return true;
}

// Expands text into an absolute path. A relative result (an unset variable, a bare name)
// would land in whatever folder the process happens to be in, or the Windows folder for an ini.
bool ExpandAbsolute(const char* text, CString& expanded)
{
    CString buffer;
    if (!ExpandText(text, buffer) || buffer.Find('%') >= 0 || PathIsRelativeA(buffer))
        return false;
    expanded = buffer;
    return true;
}

// Starts program (named in full, so no search can pick another file) with commandLine and
// waits for it to end; its exit code is not ours to judge. started runs once it runs.
template <class Started>
bool RunAndWait(const CString& program, const CString& commandLine, Started started)
{
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    PROCESS_INFORMATION info = {};
    // CreateProcessA may write into its command line.
    CString writable(commandLine);
    if (!CreateProcessA(program, writable.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CHandle process(info.hProcess);
    CHandle thread(info.hThread);
    started();
    WaitForSingleObject(process, INFINITE);
    return true;
}

// The program part of a command text, up to the closing quote when it starts with one, else
// up to the first blank; arguments gets the rest with its leading blank.
void SplitCommand(const CString& command, CString& program, CString& arguments)
{
    if (!command.IsEmpty() && command[0] == '"') {
        const int close = command.Find('"', 1);
        const int end = close < 0 ? command.GetLength() : close;
        program = command.Mid(1, end - 1);
        arguments = close < 0 ? CString() : command.Mid(close + 1);
        return;
    }
    const int blank = command.Find(' ');
    program = blank < 0 ? command : command.Left(blank);
    arguments = blank < 0 ? CString() : command.Mid(blank);
}

CString PackagePath()
{
    CString package = GetProgramFolder();
    package += "\\download.tmp";
    return package;
}

bool ReadSerial(HKEY root, const char* subKey, const char* name, REGSAM view, CString& serial)
{
    CRegKey key;
    if (key.Open(root, subKey, KEY_READ | view) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    bool found = false;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
        CString text;
        char* buffer = text.GetBufferSetLength(int(size));
        DWORD read = size;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &read) == ERROR_SUCCESS) {
            buffer[read < size ? read : size - 1] = 0;
            text.ReleaseBuffer();
            if (!text.IsEmpty()) {
                serial = text;
                found = true;
            }
        }
    }
    return found;
}

}  // namespace

CXGInstall::CXGInstall() : m_cancel(std::make_shared<std::atomic<bool>>(false)) {}

void CXGInstall::SetArguments(HWND notifyWnd, const char* serial, const char* installFolder, const char* extra, int flags)
{
    m_notifyWnd = notifyWnd;
    m_serial = serial ? serial : "";
    m_installFolder = installFolder ? installFolder : "";
    m_extra = extra ? extra : "";
    m_flags = flags;
    *m_cancel = false;
    if (m_serial.IsEmpty())
        m_serial = GetInstalledProductSerial();
}

int CXGInstall::Start(HWND notifyWnd, const char* serial, const char* installFolder, const char* extra, int flags)
{
    SetArguments(notifyWnd, serial, installFolder, extra, flags);
    const uintptr_t thread = _beginthreadex(nullptr, 0, &WorkerProc, this, 0, nullptr);
    if (!thread)
        return 1;
    CloseHandle(reinterpret_cast<HANDLE>(thread));
    return 0;
}

unsigned __stdcall CXGInstall::WorkerProc(void* param)
{
    std::unique_ptr<CXGInstall> self(static_cast<CXGInstall*>(param));
    try {
        return unsigned(self->Run());
    } catch (...) {
        self->Post(kFinished, ResultDownloadFailed);
        return ResultDownloadFailed;
    }
}

void CXGInstall::Post(WPARAM wParam, LPARAM lParam)
{
    if (m_notifyWnd)
        PostMessageA(m_notifyWnd, WM_KAVO_INSTALLPROGRESS, wParam, lParam);
}

int CXGInstall::Run()
{
    int result = Download();
    // Held from the signature check until the package runs: nobody can swap it in between.
    CHandle package;
    if (result == ResultSuccess)
        result = VerifyPackage(package);
    if (result == ResultSuccess)
        result = RunPackage(package);
    if (result == ResultSuccess)
        result = WriteSetupIni();
    if (result == ResultSuccess)
        result = RunSetup();
    Post(kFinished, result);
    return result;
}

int CXGInstall::Download()
{
    // A stale setup from an earlier run must not be taken for the new one. Only a folder of
    // our own goes: never a root, an unexpanded name or a folder the system lives in.
    ExpandAndDeleteDirectoryTree(CTextDef::GetText("COMMON_DLPK_OUTPUT_PATH"));

    m_lastPercent = 0;
    Post(0, kDownloadStarted);
    const CString package = PackagePath();
    const CString url = CTextDef::GetText(IsWow64() ? "COMMON_URI_XG64INSTALLER" : "COMMON_URI_XG32INSTALLER");
    const HRESULT hr = DownloadFile(url, package, this);
    Post(0, kDownloadEnded);
    return hr == S_OK ? ResultSuccess : ResultDownloadFailed;
}

int CXGInstall::VerifyPackage(CHandle& package)
{
    const CString path = PackagePath();
    // Shared for reading only: the bytes checked stay the bytes that run.
    package.Attach(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    const SignatureCheck check =
        package ? VerifyCodeSignature(path, CTextDef::GetText(kSecuritySoftwarePublisherKey), package) : SignatureCheck();
    if (check.verdict == SignatureVerdict::Trusted)
        return ResultSuccess;
    package.Close();
    DeleteFileA(path);
    m_log.WriteLine("installer: downloaded package " + DescribeSignatureCheck(check) + ", deleted");
    return ResultPackageRefused;
}

int CXGInstall::RunPackage(CHandle& package)
{
    Post(0, kPackageRunning);
    const CString path = PackagePath();
    // Quoted: the program folder may hold blanks.
    CString commandLine("\"");
    commandLine += path;
    commandLine += "\"";
    return RunAndWait(path, commandLine, [&package] { package.Close(); }) ? ResultSuccess : ResultPackageFailed;
}

int CXGInstall::WriteSetupIni()
{
    CString output;
    CString ini;
    if (!ExpandAbsolute(CTextDef::GetText("COMMON_DLPK_OUTPUT_PATH"), output) ||
        !ExpandAbsolute(CTextDef::GetText("COMMON_DLPK_OUTPUT_PATH") + "\\" + CTextDef::GetText("COMMON_NAME_XGSETUPINIFILE"), ini))
        return ResultIniFailed;
    const CString section = CTextDef::GetText("COMMON_NAME_XGSETUPINISECTION");
    bool written = WritePrivateProfileStringA(section, "SERIAL", m_serial, ini) &&
                   WritePrivateProfileStringA(section, "CUSTOMERINFO_SKIP", "1", ini);
    if (written && (m_flags & FlagInstallFolder)) {
        written = m_installFolder.IsEmpty() ? WritePrivateProfileStringA(section, "INSTALLTYPE_SKIP", "1", ini)
                                            : WritePrivateProfileStringA(section, "INSTALLDIR", m_installFolder, ini);
    }
    if (!written)
        return ResultIniFailed;
    if (m_flags & FlagCopyPreparation) {
        // The names are relative to the output folder; joined here instead of changing the
        // process-wide current directory from a worker thread.
        auto inOutput = [&output](const CString& name) {
            if (!PathIsRelativeA(name))
                return name;
            CString path = output;
            path += "\\";
            path += name;
            return path;
        };
        CopyFileA(inOutput(CTextDef::GetText("COMMON_DATA_XGSETUP_PREPARATION_VALID_FILE_PATH")),
                  inOutput(CTextDef::GetText("COMMON_DATA_XGSETUP_PREPARATION_FILE_PATH")), FALSE);
    }
    return ResultSuccess;
}

int CXGInstall::RunSetup()
{
    Post(0, kSetupStarting);
    CString output;
    CString command;
    if (!ExpandAbsolute(CTextDef::GetText("COMMON_DLPK_OUTPUT_PATH"), output) ||
        !ExpandText(CTextDef::GetText("COMMON_CMD_XGINSTALL"), command))
        return ResultSetupFailed;
    // The program goes to CreateProcess on its own and quoted in the command line: a folder
    // with blanks must not let "C:\\Program.exe" or the like run in its place.
    CString program;
    CString arguments;
    SplitCommand(command, program, arguments);
    if (program.IsEmpty())
        return ResultSetupFailed;
    const CString path = output + "\\" + program;
    const CString commandLine = "\"" + path + "\"" + arguments;
    return RunAndWait(path, commandLine, [this] { Post(kFinished, ResultSetupStarted); }) ? ResultSuccess
                                                                                           : ResultSetupFailed;
}

STDMETHODIMP CXGInstall::OnStartBinding(DWORD, IBinding*) { return E_NOTIMPL; }
STDMETHODIMP CXGInstall::GetPriority(LONG*) { return E_NOTIMPL; }
STDMETHODIMP CXGInstall::OnLowResource(DWORD) { return E_NOTIMPL; }

STDMETHODIMP CXGInstall::OnProgress(ULONG progress, ULONG progressMax, ULONG, LPCWSTR)
{
    const ULONG percent = progressMax ? ULONG(ULONGLONG(progress) * 100 / progressMax) : 0;
    if (percent != m_lastPercent) {
        Post(0, LPARAM(percent << 16 | 1));
        m_lastPercent = percent;
    }
    return *m_cancel ? E_ABORT : S_OK;
}

STDMETHODIMP CXGInstall::OnStopBinding(HRESULT, LPCWSTR) { return S_OK; }

STDMETHODIMP CXGInstall::GetBindInfo(DWORD* bindFlags, BINDINFO*)
{
    if (bindFlags)
        *bindFlags = 0x1020B3;
    return S_OK;
}

STDMETHODIMP CXGInstall::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }
STDMETHODIMP CXGInstall::OnObjectAvailable(REFIID, IUnknown*) { return E_NOTIMPL; }

CString GetInstalledProductSerial()
{
    struct Place {
        const char* subKey;
        const char* name;
        REGSAM view;
    };
    const REGSAM firstView = IsWow64() ? KEY_WOW64_64KEY : 0;
    const Place places[] = {
        {"SOFTWARE\\Shieldvale\\CoreClient\\1700\\LicensePlugin", "SN", firstView},
        {"SOFTWARE\\Shieldvale\\GuardSuite", "SerialNumber", KEY_WOW64_64KEY},
        {"SOFTWARE\\Shieldvale\\GuardSuite", "register no.", KEY_WOW64_64KEY},
        {"SOFTWARE\\Shieldvale\\GuardSuite", "SerialNumber", 0},
        {"SOFTWARE\\Shieldvale\\GuardSuite", "register no.", 0},
    };
    CString serial;
    for (const Place& place : places) {
        if (ReadSerial(HKEY_LOCAL_MACHINE, place.subKey, place.name, place.view, serial))
            break;
    }
    return serial;
}
