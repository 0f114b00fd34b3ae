#pragma once
// What every diagnostics worker does between its probes: step and final reports to the panel
// and the log, the abort check, the pauses and the hidden starts of the connection tool.
#include <windows.h>

#include "PevlinState.h"

class CWorkerSteps {
public:
    // quietAbort: the abort ends with "中断しました..." and no trace line of its own; else
    // a "Processing discontinuance" trace line comes first and the text is "処理を中断しました...".
    CWorkerSteps(PevlinState& state, bool quietAbort) : m_state(state), m_quietAbort(quietAbort) {}

    // Step code, progress and status text to the panel, then a trace line (with trace set
    // first when given).
    void Report(LONG code, LONG progress, const char* text, const char* trace = nullptr);
    // Progress and status text to the panel; RtnCode stays.
    void Update(LONG progress, const char* text);
    // Trace text set and its line written.
    void Trace(const char* trace);
    // The final report: code, progress 100, text, panel, log footer.
    void Result(LONG code, const char* text);

    // True, after the final report 250, when the user pressed abort.
    bool Aborted();
    // 3 s, or 20 s on Windows 98/ME, a second at a time; true when aborted meanwhile.
    bool SettleWait();

    // StartHidden, or the state's own start when it has one.
    HANDLE Start(const char* commandLine);

    PevlinState& State() { return m_state; }

private:
    PevlinState& m_state;
    bool m_quietAbort;
};

// Started without handle inheritance, its window hidden; null when it did not start. The
// caller closes the handle.
HANDLE StartHidden(const char* commandLine);
// Waits for the end of a process started by StartHidden and closes its handle (null: nothing).
void WaitAndClose(HANDLE process);

// True, with running set, when the process list could be read; takeSnapshot null: the system's.
bool FindRunningConnectionTool(bool& running, HANDLE(WINAPI* takeSnapshot)(DWORD, DWORD) = nullptr);

// Closes the network-location prompt a new connection raises, looking for up to 10 s.
void CloseLocationDialog();
