#include "FuzzRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "CanaryStringMgr.h"
#include "KavoTestPaths.h"
#include "MutationEngine.h"

namespace {

// What the watchdog and the crash filter need to report the input that is running.
struct CurrentInput {
    const char* name = nullptr;
    uint64_t runSeed = 0;
    uint32_t iteration = 0;
    const std::string* bytes = nullptr;
    volatile LONG running = 0;
    volatile DWORD startTick = 0;
};

CurrentInput g_current;

std::string FailurePath(const char* name, uint64_t runSeed, uint32_t iteration)
{
    char file[160];
    std::snprintf(file, sizeof file, "\\fuzz-%s-%llx-%u.bin", name, (unsigned long long)runSeed, iteration);
    return TestBinFolder() + file;
}

std::string SaveInput(const char* name, uint64_t runSeed, uint32_t iteration, const std::string& bytes)
{
    const std::string path = FailurePath(name, runSeed, iteration);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(not saved)";
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

// Ends the process: the parser's thread cannot be trusted to come back.
[[noreturn]] void AbortRun(const char* what)
{
    const CurrentInput& c = g_current;
    const std::string saved = c.bytes ? SaveInput(c.name, c.runSeed, c.iteration, *c.bytes) : "(none)";
    std::fprintf(stderr, "\nFUZZ FAILURE: %s in %s, seed 0x%llx, input %u (%u bytes), saved to %s\n"
                         "replay: KAVO_FUZZ_ITERATION=%u --gtest_filter=*%s*\n",
                 what, c.name ? c.name : "?", (unsigned long long)c.runSeed, c.iteration,
                 c.bytes ? unsigned(c.bytes->size()) : 0u, saved.c_str(), c.iteration, c.name ? c.name : "");
    std::fflush(stderr);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    std::abort();
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info)
{
    char what[96];
    std::snprintf(what, sizeof what, "exception 0x%08lx at %p", info->ExceptionRecord->ExceptionCode,
                  info->ExceptionRecord->ExceptionAddress);
    AbortRun(what);
}

// Watches the running input and ends the process when it takes longer than the limit.
class CWatchdog {
public:
    explicit CWatchdog(DWORD limitMs) : m_limitMs(limitMs)
    {
        m_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_thread = CreateThread(nullptr, 0, &Proc, this, 0, nullptr);
    }
    ~CWatchdog()
    {
        SetEvent(m_stop);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        CloseHandle(m_stop);
    }
    CWatchdog(const CWatchdog&) = delete;
    CWatchdog& operator=(const CWatchdog&) = delete;

private:
    static DWORD WINAPI Proc(void* self)
    {
        auto& dog = *static_cast<CWatchdog*>(self);
        while (WaitForSingleObject(dog.m_stop, 100) == WAIT_TIMEOUT) {
            // The start is read before the clock: an input that began after this read would
            // otherwise look as if it had started in the future and wrap to a hang.
            const DWORD started = g_current.startTick;
            const LONG elapsed = LONG(GetTickCount() - started);
            if (g_current.running && elapsed > LONG(dog.m_limitMs)) {
                char what[64];
                std::snprintf(what, sizeof what, "no end after %lu ms (hang)", dog.m_limitMs);
                AbortRun(what);
            }
        }
        return 0;
    }

    DWORD m_limitMs;
    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
};

bool ReplayIteration(uint32_t& iteration)
{
    char text[32];
    const DWORD length = GetEnvironmentVariableA("KAVO_FUZZ_ITERATION", text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return false;
    iteration = uint32_t(std::strtoul(text, nullptr, 10));
    return true;
}

}  // namespace

CFuzzRun::CFuzzRun(const char* name, std::vector<std::string> seeds, uint64_t runSeed, uint32_t count,
                   DWORD perInputLimitMs)
    : m_name(name), m_seeds(std::move(seeds)), m_runSeed(runSeed), m_count(count), m_limitMs(perInputLimitMs)
{
}

FuzzSummary CFuzzRun::Run(const std::function<void(const std::string& input)>& parse)
{
    FuzzSummary summary;
    if (m_seeds.empty()) {
        ADD_FAILURE() << m_name << ": no seeds";
        return summary;
    }
    const CMutationEngine engine(m_seeds, m_runSeed);
    uint32_t first = 0;
    uint32_t end = m_count;
    if (ReplayIteration(first))
        end = first + 1;

    SetUnhandledExceptionFilter(&OnUnhandledException);
    CWatchdog watchdog(m_limitMs);
    const DWORD start = GetTickCount();
    long faults = CanaryFaults();
    for (uint32_t i = first; i < end; ++i) {
        const std::string input = engine.Make(i);
        g_current.name = m_name.c_str();
        g_current.runSeed = m_runSeed;
        g_current.iteration = i;
        g_current.bytes = &input;
        g_current.startTick = GetTickCount();
        InterlockedExchange(&g_current.running, 1);
        try {
            parse(input);
        } catch (const std::exception& e) {
            AbortRun((std::string("C++ exception: ") + e.what()).c_str());
        } catch (...) {
            AbortRun("C++ exception");
        }
        InterlockedExchange(&g_current.running, 0);
        if (CanaryFaults() != faults)
            AbortRun("a string buffer was written outside its bounds");
        if ((i % 64 == 63 || i + 1 == end) && !HeapValidate(GetProcessHeap(), 0, nullptr))
            AbortRun("the process heap is corrupt (found within the last 64 inputs)");
        faults = CanaryFaults();
        ++summary.inputs;
    }
    g_current.bytes = nullptr;
    g_current.name = nullptr;
    summary.milliseconds = GetTickCount() - start;
    std::printf("[fuzz] %s: %u inputs in %lu ms (seed 0x%llx)\n", m_name.c_str(), summary.inputs,
                summary.milliseconds, (unsigned long long)m_runSeed);
    std::fflush(stdout);
    return summary;
}
