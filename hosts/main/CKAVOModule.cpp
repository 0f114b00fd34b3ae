#include "CKAVOModule.h"

#include <commctrl.h>
#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <memory>

#include "Administrator.h"
#include "CAxHost.h"
#include "CFrameWindow.h"
#include "CPageContext.h"
#include "CScopedComInit.h"
#include "CTextDef.h"
#include "CThreadList.h"
#include "DomainUrl.h"
#include "ExitCleanup.h"
#include "FirewallCheck.h"
#include "LauncherBlock.h"
#include "ProgramFolder.h"

const char kInstanceMutexName[] = "KAVO_XXC_3f2A9c41-7D5e-4b8A-9c1F-0e6D2a7B5c93";

namespace {

CString CommonStartupFile(const char* name)
{
    char folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_COMMON_STARTUP, FALSE))
        return CString();
    return CString(folder) + "\\" + name;
}

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

}  // namespace

bool CKAVOModule::ParseCommandLine(const char* commandLine, int* result)
{
    arguments.Split(commandLine);
    char** argv = arguments.GetArgv();
    const int count = arguments.GetCount();
    for (int i = 0; i < count; ++i) {
        const char* token = argv[i];
        const bool hasNext = i + 1 < count;
        if (!std::strcmp(token, "-c") || !std::strcmp(token, "--complete-installation")) {
            startPage = "COMPLETE_INSTALLATION";
        } else if (!std::strcmp(token, "-cu") || !std::strcmp(token, "--complete-upgrade")) {
            startPage = "COMPLETE_UPGRADE";
        } else if (!std::strcmp(token, "-s") || !std::strcmp(token, "--skip-preamble")) {
            startPage = "SKIP_PREAMBLE";
        } else if (!std::strcmp(token, "-pa") || !std::strcmp(token, "--parented")) {
            mode = "parented";
        } else if (!std::strncmp(token, "-id=", 4)) {
            customerId = token + 4;
        } else if (!std::strncmp(token, "-ps=", 4)) {
            accessKey = token + 4;
        } else if (!std::strncmp(token, "-mode=", 6)) {
            mode = token + 6;
        } else if (!std::strcmp(token, "-P") || !std::strcmp(token, "--page")) {
            if (hasNext) {
                // Page ids are written with dashes on the command line.
                for (char* c = argv[++i]; *c; ++c)
                    if (*c == '-')
                        *c = '_';
                startPage = argv[i];
            }
        } else if (!std::strcmp(token, "-i") || !std::strcmp(token, "--phase-indicator")) {
            if (hasNext)
                phaseIndicator = argv[++i];
        } else if (!std::strcmp(token, "-p") || !std::strcmp(token, "--phase")) {
            if (hasNext)
                startPage = argv[++i];
        }
    }
    if (result)
        *result = 0;
    return true;
}

void CKAVOModule::FillContext(CPageContext& context) const
{
    if (phaseIndicator)
        context.phase = phaseIndicator;
    context.customer.VeldinCommonID = customerId;
    context.customer.AccessKey = accessKey;
    if (mode == "osa1")
        context.runMode = RUNMODE_OSA1;
    else if (mode == "osa2")
        context.runMode = RUNMODE_OSA2;
    else if (mode == "parented")
        context.runMode = RUNMODE_PARENTED;
    else
        context.runMode = RUNMODE_NORMAL;
}

void CKAVOModule::RunMessageLoop()
{
    if (CHandle(openInstanceMutex ? openInstanceMutex(kInstanceMutexName)
                                  : OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kInstanceMutexName)))
        return;
    // Two instances started together can both miss the open above; only one creates.
    instanceMutex.Attach(CreateMutexA(nullptr, TRUE, kInstanceMutexName));
    if (!instanceMutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        instanceMutex.Close();
        return;
    }

    CThreadListMapping threadList(CreateThreadListMapping(ThreadListMappingName()));
    LoadTextDefinition();

    if (!(isAdministrator ? isAdministrator() : CheckAdministrator())) {
        MessageBoxA(nullptr, CTextDef::GetText("COMMON_NEEDPRIV"), CTextDef::GetText("COMMON_CAPTION"), MB_ICONERROR);
        return;
    }

    AtlAxWinInit();
    // The update page's template holds a progress bar: its class must exist before any page.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    auto frame = std::make_unique<CFrameWindow>();
    frame->Create();
    CPageContext& context = frame->context;
    FillContext(context);
    context.launcherParams = OpenParentParams(FILE_MAP_READ);
    if (context.launcherParams)
        ApplyLauncherBlock(context, context.launcherParams);

    if (frame->m_hWnd) {
        SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        frame->CenterWindow();
    }
    ReadDomainUrl();

    // Preset before any page exists: a page made during start-up may already set 404 or 405.
    context.exitValue = EXIT_PRESET;
    CMainPageSource mainPages;
    CWBDialog* page = BuildStartPage(startPage, pageSource ? *pageSource : mainPages, frame->m_hWnd, context);
    frame->SetCurrentPage(page, 0);
    context.traceLog.WriteLine("start");

    frame->RunMessageLoop();

    exitValue = context.exitValue;
    cleanupFlags = context.cleanupFlags;
    cleanupFolder = CString(context.cleanupFolder, int(strnlen(context.cleanupFolder, sizeof context.cleanupFolder)));
    context.traceLog.Write("end\r\n");
    if (frame->m_hWnd && IsWindow(frame->m_hWnd))
        frame->DestroyWindow();

    context.launcherParams = nullptr;
    CloseParentParams();
    WaitThreadListMapping(threadList);
    threadList.Close();
    frame.reset();
}

int CKAVOModule::WinMain()
{
    const CScopedCoInit com;
    if (!com.Succeeded() && (com.Result() != RPC_E_CHANGED_MODE || !GetModuleHandleA("Mscoree.dll")))
        return com.Result();

    ParseCommandLine(GetCommandLineA(), nullptr);
    exitValue = 0;
    cleanupFolder.Empty();

    int result;
    const CString startupShortcut = CommonStartupFile("gsmsi.lnk");
    if (startPage && !std::strcmp(startPage, "COMPLETE_INSTALLATION") && !startupShortcut.IsEmpty() &&
        GetFileAttributesA(startupShortcut) != INVALID_FILE_ATTRIBUTES) {
        result = E_ABORT;
    } else {
        if (!startupShortcut.IsEmpty())
            DeleteFileA(startupShortcut);
        {
            const CScopedCoInit multiThreaded(COINIT_MULTITHREADED);
            const CScopedOleInit ole;
            RunMessageLoop();
        }
        ExitCleanup(cleanupFolder, cleanupFlags);
        result = exitValue;
    }
    return result;
}
