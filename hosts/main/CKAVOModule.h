#pragma once
// The main program: its command line, the single-instance rule, the start of the wizard and
// the clean-up the pages asked for.
#include <windows.h>

#include "CHandle.h"
#include "CStringT.h"
#include "CommandLineSplitter.h"
#include "StartPage.h"

struct CPageContext;

// "KAVO_XXC_" and the program's own GUID.
extern const char kInstanceMutexName[];

class CKAVOModule {
public:
    CKAVOModule() = default;
    CKAVOModule(const CKAVOModule&) = delete;
    CKAVOModule& operator=(const CKAVOModule&) = delete;

    // The process entry's body: returns the process exit code.
    int WinMain();
    bool ParseCommandLine(const char* commandLine, int* result);
    void RunMessageLoop();
    // The command line's share of the page context.
    void FillContext(CPageContext& context) const;

    // Held while the module lives: the single-instance mark.
    CHandle instanceMutex;
    CommandLineSplitter arguments;
    const char* startPage = nullptr;
    const char* phaseIndicator = nullptr;
    CString customerId;
    CString accessKey;
    CString mode;
    LONG exitValue = 0;
    DWORD cleanupFlags = 0;
    CString cleanupFolder;

    // Seams: the rights check (Wine always reports an administrator) and where pages come from.
    bool (*isAdministrator)() = nullptr;
    IStartPageSource* pageSource = nullptr;
    // Seam: the look for a running instance (OpenMutexA); a test lets it miss one that exists,
    // as when two instances start together.
    HANDLE (*openInstanceMutex)(const char* name) = nullptr;
};
