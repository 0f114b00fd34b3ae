#include "CKAVOCompModule.h"

#include <objbase.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cstring>
#include <memory>

#include "CAxHost.h"
#include "CCompanionPages.h"
#include "CFrameWindow.h"
#include "CRegKey.h"
#include "CScopedComInit.h"
#include "CTextDef.h"
#include "CThreadList.h"
#include "ExitCleanup.h"
#include "InstallState.h"
#include "ProgramFolder.h"
#include "RunOnceAutorun.h"

namespace {

void LoadTextDefinition()
{
    const CString folder = GetProgramFolder();
    if (CTextDef::LoadFromFile(folder + "\\text.def"))
        return;
    HMODULE core = LoadLibraryA(folder + "\\kavocore.dll");
    if (core) {
        CTextDef::LoadFromResource(core, 3);
        FreeLibrary(core);
    }
}

DWORD RunningWindowsMajorVersion()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    return version.dwMajorVersion;
}

const char* ResultPage(const char* mode, bool success)
{
    if (!std::strcmp(mode, "COMPLETE_UPGRADE"))
        return success ? "CPostUpgradeDialog" : "CUpgradeFailedDialog";
    return success ? "CPostInstallDialog" : "CInstallFailedDialog";
}

}  // namespace

CString ArgumentText(const char* commandLine)
{
    if (!commandLine)
        return CString();
    const char* rest = commandLine[0] == '"' ? std::strstr(commandLine + 1, "\" ") : std::strchr(commandLine, ' ');
    if (!rest)
        return CString();
    return CString(rest + (commandLine[0] == '"' ? 2 : 1));
}

CString MainProgramPath()
{
    char path[MAX_PATH] = {};
    CRegKey key;
    const HKEY root = CTextDef::GetRegRoot("COMMON_REG_HKLM_KAVO");
    CString folder;
    if (root && key.Open(root, CTextDef::GetRegPath("COMMON_REG_HKLM_KAVO"), KEY_READ | KEY_WRITE) == ERROR_SUCCESS &&
        key.QueryStringValue("Path", folder) != ERROR_SUCCESS)
        folder.Empty();
    if (folder.IsEmpty())
        folder = GetProgramFolder();
    lstrcpynA(path, folder, MAX_PATH);
    PathAppendA(path, "kavo.exe");
    return CString(path);
}

void ApplyCachedValues()
{
    const HKEY root = CTextDef::GetRegRoot("COMMON_REG_HKCU_KAVO");
    CRegKey key;
    if (!root ||
        key.Open(root, CTextDef::GetRegPath("COMMON_REG_HKCU_KAVO") + "\\cached extdef", KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return;
    const CString list = CTextDef::GetText("COMMON_DATA_CACHED_EXTDEF_PROPERTIES");
    int position = 0;
    for (;;) {
        const CString name = list.Tokenize("\r\n,", position);
        if (position < 0)
            break;
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            continue;
        CString value;
        if (key.QueryStringValue(name, value) == ERROR_SUCCESS)
            CTextDef::SetText(name, value);
    }
}

void CKAVOCompModule::ParseCommandLine(const char* commandLine)
{
    mode = "COMPLETE_INSTALLATION";
    arguments.Split(commandLine);
    char** argv = arguments.GetArgv();
    const int count = arguments.GetCount();
    for (int i = 0; i < count; ++i) {
        const char* token = argv[i];
        if (!std::strcmp(token, "-c") || !std::strcmp(token, "--complete-installation"))
            mode = "COMPLETE_INSTALLATION";
        else if (!std::strcmp(token, "-cu") || !std::strcmp(token, "--complete-upgrade"))
            mode = "COMPLETE_UPGRADE";
        else if (!std::strcmp(token, "-q") || !std::strcmp(token, "--quiet"))
            quiet = TRUE;
        else if (!std::strcmp(token, "-R") || !std::strcmp(token, "--restart"))
            restart = TRUE;
        if ((!std::strcmp(token, "-i") || !std::strcmp(token, "--phase-indicator")) && i + 1 < count)
            phaseIndicator = argv[++i];
    }
}

int CKAVOCompModule::PreMessageLoop()
{
    LoadTextDefinition();
    ApplyCachedValues();
    if (restart)
        return 0;
    SetRunOnceAutorun(1, ArgumentText(GetCommandLineA()));

    installerPending = FALSE;
    int status = GetInstallStatus();
    bool success = false;
    if (status == 0 && WaitForSetupToFinish(waitTimings) == 0) {
        status = GetInstallStatus();
        if (status == 1) {
            success = true;
        } else if (status == 0) {
            const DWORD major = windowsMajorVersion ? windowsMajorVersion() : RunningWindowsMajorVersion();
            installerPending = IsInstallerPending(major > 5);
        }
    } else if (status == 1) {
        success = true;
    }
    if (!installerPending) {
        if (success)
            success = IsExpectedProductInstalled() != FALSE;
        mode = ResultPage(mode, success);
        SetRunOnceAutorun(0, nullptr);
    }
    return 0;
}

void CKAVOCompModule::RunMessageLoop()
{
    if (restart) {
        ShellExecuteA(nullptr, nullptr, MainProgramPath(), ArgumentText(GetCommandLineA()), nullptr, SW_SHOWNORMAL);
        return;
    }
    if (installerPending)
        return;
    CThreadListMapping threadList(CreateThreadListMapping(ThreadListMappingName()));
    if (quiet) {
        cleanupFlags = 7;
        // Left to process exit, as a worker may still be registered in it.
        threadList.Detach();
        return;
    }
    AtlAxWinInit();
    auto frame = std::make_unique<CFrameWindow>(false);
    frame->Create();
    CPageContext& context = frame->context;
    if (phaseIndicator)
        context.phase = phaseIndicator;
    if (frame->m_hWnd) {
        SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        frame->CenterWindow();
    }
    frame->SetCurrentPage(CreateCompanionPage(mode, frame->m_hWnd, &context), 0);
    if (frame->m_hWnd)
        ShowWindow(frame->m_hWnd, SW_SHOW);
    context.traceLog.WriteLine("start");
    frame->RunMessageLoop();
    cleanupFlags = context.cleanupFlags;
    context.traceLog.Write("end\r\n");
    if (frame->m_hWnd && IsWindow(frame->m_hWnd))
        frame->DestroyWindow();
    WaitThreadListMapping(threadList);
    threadList.Close();
    frame.reset();
}

int CKAVOCompModule::WinMain()
{
    {
        const CScopedCoInit com;
        if (!com.Succeeded() && (com.Result() != RPC_E_CHANGED_MODE || !GetModuleHandleA("Mscoree.dll")))
            return 0;
        ParseCommandLine(GetCommandLineA());
        PreMessageLoop();
        const CScopedCoInit multiThreaded(COINIT_MULTITHREADED);
        const CScopedOleInit ole;
        RunMessageLoop();
    }
    ExitCleanup(CTextDef::GetText("COMMON_DLPK_OUTPUT_PATH"), cleanupFlags);
    return 0;
}
