#pragma once
// The state one control instance shares with the worker of its running diagnosis. Two
// threads touch it without a lock: the browser's thread writes only the abort flag, the wait
// flag and the profile name; the worker writes the rest and polls the flags.
#include <windows.h>

#include "CSimpleArray.h"
#include "CStringT.h"

struct PevlinState {
    volatile BYTE abortFlag = 0;
    volatile BYTE waitFlag = 0;
    HWND panelWindow = nullptr;
    LONG progress = 0;
    CString statusText;
    volatile LONG RtnCode = 0;
    CString traceText;
    CString CheckURL;
    CString LogPath;
    CString CompanyCode;
    LONG RetryV6 = 0;
    LONG RetryNB = 0;
    LONG RetryNA1 = 0;
    char osName[32] = {};
    // -1 Windows 95, NT 4.0 or unknown; 0 98/ME; 1 2000; 2 XP/2003; 3 Vista and later.
    LONG osClass = -1;
    // Empty while logging is off.
    char logFilePath[MAX_PATH] = {};
    // -1 no tool, 0 only the old generation, 1 a "1.2." version, 2 another version.
    LONG toolKind = -1;
    char toolRegion[8] = {};
    char connectCommand[MAX_PATH] = {};
    char toolProgramPath[MAX_PATH] = {};
    char minimisedStartCommand[MAX_PATH] = {};
    char profileName[MAX_PATH] = {};
    char createProfileCommand[MAX_PATH] = {};
    char profileFilePath[MAX_PATH] = {};
    CSimpleArray<CString> profileList;
    // Empty on Vista and later.
    char hostsFilePath[MAX_PATH] = {};
    // Where the worker takes the process list and starts the connection tool's commands;
    // null: the system's. Tests put stand-ins here that fail.
    HANDLE(WINAPI* takeProcessSnapshot)(DWORD flags, DWORD processId) = nullptr;
    HANDLE (*startProcess)(const char* commandLine) = nullptr;
};
