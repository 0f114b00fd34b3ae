#include "CFeeCalc.h"

#include <climits>

#include "ThreadStart.h"
#include "UrlText.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits from p on, as StrToInt reads them: a value too large wraps like its 32-bit sum.
int ReadNumber(const char*& p)
{
    unsigned value = 0;
    for (; IsDigit(*p); ++p)
        value = value * 10 + unsigned(*p - '0');
    return int(value);
}

// The whole line is: blanks, number, blanks, comma, blanks, number, blanks.
bool MatchRow(const char* p, int& threshold, int& fee)
{
    while (IsBlank(*p))
        ++p;
    if (!IsDigit(*p))
        return false;
    threshold = ReadNumber(p);
    while (IsBlank(*p))
        ++p;
    if (*p++ != ',')
        return false;
    while (IsBlank(*p))
        ++p;
    if (!IsDigit(*p))
        return false;
    fee = ReadNumber(p);
    while (IsBlank(*p))
        ++p;
    return *p == '\0';
}

int Clamp(long long value)
{
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : int(value);
}

}  // namespace

CFeeCalc::CFeeCalc() = default;

CFeeCalc::~CFeeCalc()
{
    Clear();
}

void CFeeCalc::Clear()
{
    while (m_rows) {
        CFeeCalcElement* next = m_rows->m_next;
        delete m_rows;
        m_rows = next;
    }
    CComCritSecLock<CComAutoCriticalSection> lock(m_lock);
    m_state = FEECALC_NOT_LOADED;
    m_eventNames.RemoveAll();
}

FeeCalcReadyState CFeeCalc::GetReadyState(const char* eventName)
{
    CComCritSecLock<CComAutoCriticalSection> lock(m_lock);
    if (eventName)
        m_eventNames.Add(CString(eventName));
    return m_state;
}

FeeCalcReadyState CFeeCalc::StartLoad(const char* url, BOOL async)
{
    {
        CComCritSecLock<CComAutoCriticalSection> lock(m_lock);
        m_state = FEECALC_LOADING;
    }
    m_url = url;
    HANDLE thread = StartThread(&ThreadProc, this);
    if (!thread) {
        SetState(FEECALC_DOWNLOAD_FAILED);
        return GetReadyState(nullptr);
    }
    if (!async)
        WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return GetReadyState(nullptr);
}

unsigned __stdcall CFeeCalc::ThreadProc(void* self)
{
    static_cast<CFeeCalc*>(self)->Load();
    return 0;
}

void CFeeCalc::Load()
{
    FeeCalcReadyState state = FEECALC_DOWNLOAD_FAILED;
    CString text;
    if (m_url && FetchUrlText(m_url, text))
        state = Parse(text);
    SetState(state);
}

FeeCalcReadyState CFeeCalc::Parse(const char* text)
{
    const char* line = text ? text : "";
    while (*line) {
        const char* end = line;
        while (*end && *end != '\n')
            ++end;
        if (end != line && *line != '#') {
            // White space is ASCII here, so trimming byte by byte cannot split a character.
            const char* first = line;
            const char* last = end;
            while (first < last && IsSpace(*first))
                ++first;
            while (last > first && IsSpace(last[-1]))
                --last;
            if (first != last) {
                const CString row(first, int(last - first));
                int threshold = 0;
                int fee = 0;
                if (!MatchRow(row, threshold, fee))
                    return FEECALC_PARSE_ERROR;
                m_rows = new CFeeCalcElement(m_rows, threshold, fee);
            }
        }
        line = *end ? end + 1 : end;
    }
    return FEECALC_READY;
}

void CFeeCalc::SetState(FeeCalcReadyState state)
{
    CSimpleArray<CString> names;
    {
        CComCritSecLock<CComAutoCriticalSection> lock(m_lock);
        m_state = state;
        for (int i = 0; i < m_eventNames.GetSize(); ++i)
            names.Add(m_eventNames[i]);
        m_eventNames.RemoveAll();
    }
    for (int i = 0; i < names.GetSize(); ++i) {
        if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, names[i])) {
            SetEvent(event);
            CloseHandle(event);
        }
    }
}

int CFeeCalc::GetUnitFee(int count) const
{
    if (m_state != FEECALC_READY)
        return 0;
    for (const CFeeCalcElement* row = m_rows; row; row = row->m_next)
        if (row->m_threshold <= count)
            return row->m_fee;
    return 0;
}

int CFeeCalc::GetTotalFee(int count) const
{
    if (m_state != FEECALC_READY)
        return 0;
    long long total = 0;
    long long remaining = count;
    for (const CFeeCalcElement* row = m_rows; row; row = row->m_next) {
        if (row->m_threshold > remaining)
            continue;
        // This tier holds the licences from its threshold up to remaining; the rest are
        // priced by the rows below it.
        total += (remaining - row->m_threshold + 1) * row->m_fee;
        remaining = static_cast<long long>(row->m_threshold) - 1;
    }
    return Clamp(total);
}

CFeeCalc& GetFeeCalc()
{
    static CFeeCalc table;
    return table;
}
