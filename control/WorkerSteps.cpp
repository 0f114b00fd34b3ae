#include "WorkerSteps.h"

#include <tlhelp32.h>

#include <cstring>

#include "CHandle.h"
#include "PevlinLog.h"
#include "PevlinPanel.h"

void CWorkerSteps::Report(LONG code, LONG progress, const char* text, const char* trace)
{
    m_state.RtnCode = code;
    Update(progress, text);
    if (trace)
        m_state.traceText = trace;
    WriteTraceLine(m_state);
}

void CWorkerSteps::Update(LONG progress, const char* text)
{
    m_state.progress = progress;
    m_state.statusText = text;
    SetStatus(&m_state);
}

void CWorkerSteps::Trace(const char* trace)
{
    m_state.traceText = trace;
    WriteTraceLine(m_state);
}

void CWorkerSteps::Result(LONG code, const char* text)
{
    m_state.RtnCode = code;
    Update(100, text);
    WriteLogFooter(m_state);
}

bool CWorkerSteps::Aborted()
{
    if (m_state.abortFlag != 1)
        return false;
    if (m_quietAbort) {
        Result(250, "中断しました...");
    } else {
        Trace("Processing discontinuance");
        Result(250, "処理を中断しました...");
    }
    return true;
}

bool CWorkerSteps::SettleWait()
{
    const int seconds = m_state.osClass == 0 ? 20 : 3;
    for (int i = 0; i < seconds; ++i) {
        Sleep(1000);
        if (Aborted())
            return true;
    }
    return false;
}

HANDLE CWorkerSteps::Start(const char* commandLine)
{
    return m_state.startProcess ? m_state.startProcess(commandLine) : StartHidden(commandLine);
}

HANDLE StartHidden(const char* commandLine)
{
    char line[MAX_PATH * 2] = {};
    lstrcpynA(line, commandLine, sizeof line);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup,
                        &started))
        return nullptr;
    CloseHandle(started.hThread);
    return started.hProcess;
}

void WaitAndClose(HANDLE process)
{
    if (!process)
        return;
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
}

bool FindRunningConnectionTool(bool& running, HANDLE(WINAPI* takeSnapshot)(DWORD, DWORD))
{
    running = false;
    CHandle snapshot((takeSnapshot ? takeSnapshot : CreateToolhelp32Snapshot)(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    if (!Process32First(snapshot, &entry))
        return false;
    do {
        // Short names of old systems, and a name cut at the field's end, count too.
        if (std::strstr(entry.szExeFile, "TangoManager.ex") || std::strstr(entry.szExeFile, "TANGOM~1.EXE"))
            running = true;
    } while (!running && Process32Next(snapshot, &entry));
    return true;
}

void CloseLocationDialog()
{
    for (int i = 0; i < 1000; ++i) {
        if (HWND prompt = FindWindowA(nullptr, "ネットワークの場所の設定")) {
            PostMessageA(prompt, WM_CLOSE, 0, 0);
            return;
        }
        Sleep(10);
    }
}
