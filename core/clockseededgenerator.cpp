#include "core/clockseededgenerator.h"

#include <chrono>
#include <utility>

namespace {
// SplitMix64's finalizer: a bijection of 64-bit values that spreads every input bit.
constexpr std::uint64_t mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

constexpr std::uint64_t golden = 0x9e3779b97f4a7c15ULL;
} // namespace

ClockSeededGenerator::ClockSeededGenerator(Clock clock)
    : clock(std::move(clock))
{ }

void ClockSeededGenerator::randomize()
{
    // A bijection of the state for a given clock reading: since every draw moves the state on,
    // an unchanged reading cannot bring back the state of the previous draw.
    state = mix(state ^ mix(clock() + golden));
}

double ClockSeededGenerator::next()
{
    state += golden;
    return static_cast<double>(mix(state) >> 11) * 0x1.0p-53;
}

std::uint64_t ClockSeededGenerator::systemClock()
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count());
}

ClockSeededGenerator &ClockSeededGenerator::processWide()
{
    static ClockSeededGenerator generator;
    return generator;
}
