#pragma once
// State shared by the host's frame and every page of one run. The main program, the
// companion program and the core library all build and read this one definition directly,
// so the field order is a contract: append only, and keep the layout checks below true.
#include <windows.h>
#include <cstddef>
#include "CStringT.h"
#include "CAtlMap.h"
#include "CSimpleArray.h"
#include "CTraceLog.h"
#include "COpsCustomerData.h"
#include "COpsResponse.h"

class CWBDialog;

enum : DWORD {
    CLEANUP_DOWNLOAD_TMP = 1,  // "download.tmp" beside the host program
    CLEANUP_FOLDER = 2,        // the tree named by cleanupFolder
    CLEANUP_RUNONCE = 4,       // the companion program's RunOnce value
    CLEANUP_ALL = 7,
};

enum : LONG {
    RUNMODE_NORMAL = 0,
    RUNMODE_PARENTED = 1,
    RUNMODE_OSA1 = 2,
    RUNMODE_OSA2 = 3,
};

enum : LONG {
    EXIT_PRESET = 401,
    EXIT_INSTALLED = 201,
    EXIT_INSTALL_ERROR = 404,
    EXIT_INSTALL_NOT_CONFIRMED = 405,
};

// The launching tool's shared block: fixed offsets of the tool's own format.
enum : size_t {
    LAUNCHER_BLOCK_SIZE = 412,
    LAUNCHER_CUSTOMER_ID_OFFSET = 0,
    LAUNCHER_ACCESS_KEY_OFFSET = 16,
    LAUNCHER_MODE_OFFSET = 392,
    LAUNCHER_QUIET_OFFSET = 408,
};

enum RequirementIndex { REQ_IE, REQ_OS, REQ_CPU, REQ_MEM, REQ_HDD, REQ_APP, REQ_COUNT };
// One requirement's result as requirementResults holds it; the order is the severity's.
enum RequirementResult : LONG { REQ_RESULT_NOT_MET = 0, REQ_RESULT_WARNING = 1, REQ_RESULT_MET = 2 };

struct CConflictLists {
    CSimpleArray<CString> displayNames;
    CSimpleArray<CString> uninstallKeys;
};

struct CPageContext {
    DWORD cleanupFlags;
    LONG exitValue;
    LONG runMode;
    const BYTE* launcherParams;
    CAtlMap<CString, CString> values;
    CWBDialog* ownerPage;
    CTraceLog traceLog;
    HWND notifyWindow;
    UINT notifyMessage;
    LONG autoFlow;
    char cleanupFolder[MAX_PATH + 1];
    CString phase;
    CString errorCode;
    LONG requirementResults[REQ_COUNT];
    DWORD diskFigures[3];
    CConflictLists conflictLists;
    COpsCustomerData customer;
    COpsResponse response;

    explicit CPageContext(CWBDialog* owner = nullptr);
    ~CPageContext();
    CPageContext(const CPageContext&) = delete;
    CPageContext& operator=(const CPageContext&) = delete;

    // Destroys the context and frees it when bit 0 of flags is set, for callers that
    // only hold its address.
    void DestroyAndDelete(unsigned flags);

    // An absent key reads as empty.
    CString GetValue(const char* key) const;
    void SetValue(const char* key, const char* value);

    // Empties the flow's memory at the end of a page chain.
    void ClearFlowData();

    // The serial entry with that SerialID, searched from the last entry back; null when none.
    COpsSerialInfo* FindSerial(const char* serialId);
    // The SerialID of the first serial awaiting installation (status 1); null when none.
    const char* GetFirstSerialAwaitingInstall() const;
    // The SerialStatus of the first entry with that SerialID; -1 when none.
    int GetSerialStatus(const char* serialId) const;

    // The launching tool asks for the quiet completion when its value at byte 408 is not -1.
    bool IsValueSet() const;
};

static_assert(offsetof(CPageContext, cleanupFlags) == 0, "clean-up flags are the first word");
static_assert(offsetof(CPageContext, exitValue) == 4 && offsetof(CPageContext, runMode) == 8 &&
                  offsetof(CPageContext, launcherParams) == 12 && offsetof(CPageContext, values) == 16,
              "the leading fields are read by every deliverable at fixed offsets");
static_assert(sizeof(void*) == 4, "the deliverables are 32-bit");
static_assert(sizeof(((CPageContext*)nullptr)->requirementResults) == 24, "six 32-bit results");
static_assert(sizeof(((CPageContext*)nullptr)->cleanupFolder) == 261, "261-byte path");
