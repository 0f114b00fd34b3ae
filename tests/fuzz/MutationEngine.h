#pragma once
// Derives test inputs from seed texts: byte flips, inserted and deleted spans, duplicated and
// truncated spans, splices between seeds, and bytes that mean something to the definition,
// answer and code page 932 formats. Input n depends only on the seeds, the run's seed value
// and n, so one input can be made again alone from the numbers a failure reports.
#include <cstdint>
#include <string>
#include <vector>

#include "SplitMix64.h"

class CMutationEngine {
public:
    // seeds must not be empty; maxSize bounds every input made.
    CMutationEngine(std::vector<std::string> seeds, uint64_t runSeed, size_t maxSize = 16384);

    std::string Make(uint32_t iteration) const;

private:
    void MutateOnce(std::string& data, CSplitMix64& rng) const;
    const std::string& AnySeed(CSplitMix64& rng) const;

    std::vector<std::string> m_seeds;
    uint64_t m_runSeed;
    size_t m_maxSize;
};
