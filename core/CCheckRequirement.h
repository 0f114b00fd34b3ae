#pragma once
// The whole PC check of the requirement pages: loads the OS definition, probes the PC,
// looks for conflicting software and leaves six results, the disk figures and the conflict
// lists in the page context. Runs on a worker thread that the caller waits for.
#include <windows.h>

#include "CCheckEnv.h"
#include "CPageContext.h"
#include "CSimpleArray.h"
#include "CStringT.h"

class CCheckRequirement : public CCheckEnv {
public:
    explicit CCheckRequirement(const SystemApiTable* api = nullptr);

    // Blocks until the check has ended; always 0. window is not used by the check.
    int Run(HWND window, CPageContext* ctx);
    // Results not met (errors) and warnings in the last run.
    int GetErrorCount() const { return m_counters[REQ_RESULT_NOT_MET]; }
    int GetWarningCount() const { return m_counters[REQ_RESULT_WARNING]; }

    // Installed software named by the downloaded conflict list or the exclusion list, less
    // the exclusions that match exactly. FALSE with empty lists when the list cannot be
    // fetched.
    BOOL CheckConflicts(CSimpleArray<CString>& names, CSimpleArray<CString>& keys);

private:
    static unsigned __stdcall CheckRequirementThreadProc(void* self);
    void RunCheck();
    void SetAllFailed();

    CPageContext* m_context = nullptr;
    int m_counters[3] = {0, 0, 0};
};
