#pragma once

#include <cstdint>

namespace vorn::sampledata {

// A small generator of its own (SplitMix64), so that a seed gives the same numbers with
// every compiler and standard library.
class TSampleRandom {
public:
    explicit TSampleRandom(std::uint64_t Seed) : FState(Seed) {}

    std::uint64_t Next() {
        FState += 0x9E3779B97F4A7C15ULL;
        std::uint64_t Z = FState;
        Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBULL;
        return Z ^ (Z >> 31);
    }

    // A number from 0 to Count - 1 (Count > 0). The modulo bias is far below what the
    // demo data could show.
    std::uint64_t Below(std::uint64_t Count) { return Next() % Count; }

    // True in Percent cases out of 100.
    bool Chance(int Percent) { return Below(100) < static_cast<std::uint64_t>(Percent); }

private:
    std::uint64_t FState;
};

} // namespace vorn::sampledata
