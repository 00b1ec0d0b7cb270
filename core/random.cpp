#include "core/random.h"

#include "core/floatingpoint.h"
#include "core/randomsource.h"
#include "core/runtimeerror.h"

#include <cmath>
#include <limits>

namespace {
void checkFloatingPointStatus(double result)
{
    if (FloatingPoint::failed(result))
        throw RuntimeError(RuntimeError::Kind::FloatingPoint, "Random");
}
} // namespace

double Random(RandomSource &source, std::int32_t Lowerbound, std::int32_t Upperbound)
{
    source.randomize();
    const double r = source.next();

    // Earlier work may have left flags set; only this computation's count. volatile keeps the
    // compiler from moving the arithmetic past the status tests.
    FloatingPoint::clearStatus();
    const volatile double p = r * static_cast<double>(Upperbound);
    checkFloatingPointStatus(p);
    const volatile double s = std::floor(p) + static_cast<double>(Lowerbound);
    checkFloatingPointStatus(s);
    return s;
}

std::int32_t toInt32(double whole)
{
    // Written so that NaN fails too.
    if (!(whole >= std::numeric_limits<std::int32_t>::min()
          && whole <= std::numeric_limits<std::int32_t>::max()))
        throw RuntimeError(RuntimeError::Kind::Overflow, "the dare number");
    return static_cast<std::int32_t>(whole);
}
