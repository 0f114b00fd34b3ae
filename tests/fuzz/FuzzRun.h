#pragma once
// Runs one parser over many inputs made by CMutationEngine and fails loudly, naming the run's
// seed value and the input's number, when an input crashes the parser, runs longer than the
// time limit, breaks a string canary or corrupts the heap. The failing input is written to
// "fuzz-<name>-<seed>-<n>.bin" beside the test program first.
//
// KAVO_FUZZ_ITERATION=<n> in the environment runs input n alone, to replay a failure.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct FuzzSummary {
    uint32_t inputs = 0;
    DWORD milliseconds = 0;
};

class CFuzzRun {
public:
    // name: file-name safe. perInputLimitMs: an input that takes longer counts as a hang.
    CFuzzRun(const char* name, std::vector<std::string> seeds, uint64_t runSeed, uint32_t count,
             DWORD perInputLimitMs = 10000);

    // Calls parse with each input; a C++ exception out of parse is a failure too. Prints and
    // returns what was run.
    FuzzSummary Run(const std::function<void(const std::string& input)>& parse);

private:
    std::string m_name;
    std::vector<std::string> m_seeds;
    uint64_t m_runSeed;
    uint32_t m_count;
    DWORD m_limitMs;
};
