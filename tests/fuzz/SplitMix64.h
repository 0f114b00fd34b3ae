#pragma once
// A small seeded generator with the same sequence on every platform and compiler (the
// standard library's distributions are not specified bit for bit).
#include <cstdint>

class CSplitMix64 {
public:
    explicit CSplitMix64(uint64_t seed) : m_state(seed) {}

    uint64_t Next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 to bound - 1; 0 for a bound of 0.
    uint32_t Below(uint32_t bound) { return bound ? uint32_t(Next() % bound) : 0; }
    bool OneIn(uint32_t n) { return Below(n) == 0; }

private:
    uint64_t m_state;
};
