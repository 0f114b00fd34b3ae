#pragma once
// The monthly fee table of the security service: rows "N, fee" meaning that the N-th licence
// and those after it cost fee each, up to the next higher threshold. Downloaded once per
// process on a worker thread; waiters learn of the end through named events.
#include <windows.h>

#include "CComCriticalSection.h"
#include "CSimpleArray.h"
#include "CStringT.h"

enum FeeCalcReadyState {
    FEECALC_NOT_LOADED = 0,
    FEECALC_LOADING = 1,
    FEECALC_READY = 2,
    FEECALC_PARSE_ERROR = 3,
    FEECALC_DOWNLOAD_FAILED = 4,
};

class CFeeCalcElement {
public:
    CFeeCalcElement(CFeeCalcElement* next, int threshold, int fee) : m_next(next), m_threshold(threshold), m_fee(fee) {}
    virtual ~CFeeCalcElement() = default;

    CFeeCalcElement* m_next;
    int m_threshold;
    int m_fee;
};

class CFeeCalc {
public:
    CFeeCalc();
    virtual ~CFeeCalc();
    CFeeCalc(const CFeeCalc&) = delete;
    CFeeCalc& operator=(const CFeeCalc&) = delete;

    // A non-null eventName is set (if such an event exists then) when the load ends.
    FeeCalcReadyState GetReadyState(const char* eventName);
    // url must stay valid until the download has ended. Without async, returns the final
    // state; a worker that cannot be started ends the load as a failed download.
    FeeCalcReadyState StartLoad(const char* url, BOOL async);

    // Both answer 0 unless the table is ready.
    int GetUnitFee(int count) const;
    int GetTotalFee(int count) const;

    // Reads a table's text into the rows (ahead of those already there): FEECALC_READY, or
    // FEECALC_PARSE_ERROR at the first line that is no row (the rows before it stay).
    FeeCalcReadyState Parse(const char* text);
    // Back to "not loaded" with no rows, for a process that starts over (tests).
    void Clear();

private:
    static unsigned __stdcall ThreadProc(void* self);
    void Load();
    void SetState(FeeCalcReadyState state);

    CFeeCalcElement* m_rows = nullptr;
    volatile FeeCalcReadyState m_state = FEECALC_NOT_LOADED;
    CSimpleArray<CString> m_eventNames;
    const char* m_url = nullptr;
    CComAutoCriticalSection m_lock;
};

// The one table of the process.
CFeeCalc& GetFeeCalc();
