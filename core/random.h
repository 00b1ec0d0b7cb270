#pragma once

#include <cstdint>

class RandomSource;

// A whole number drawn from source, held in a double: Lowerbound plus floor(r * Upperbound)
// for r uniform in [0, 1). Upperbound counts the possible outcomes, it is not the top value.
// Reseeds source from the clock on every call. Throws RuntimeError when the arithmetic fails.
double Random(RandomSource &source, std::int32_t Lowerbound, std::int32_t Upperbound);

// A whole number from Random as a 32-bit integer. Throws RuntimeError when it does not fit.
std::int32_t toInt32(double whole);
