#pragma once

#include "core/randomsource.h"

#include <cstdint>
#include <functional>

// SplitMix64 with 53 bits of resolution. A reseed mixes the clock into the current state
// rather than replacing it, so two reseeds within one clock tick still give different draws.
class ClockSeededGenerator final : public RandomSource
{
public:
    using Clock = std::function<std::uint64_t()>; // nanoseconds

    explicit ClockSeededGenerator(Clock clock = systemClock);

    void randomize() override;
    double next() override;

    static std::uint64_t systemClock();
    // The generator the program draws from, shared for the whole run.
    static ClockSeededGenerator &processWide();

private:
    Clock clock;
    std::uint64_t state = 0x2545f4914f6cdd1dULL;
};
