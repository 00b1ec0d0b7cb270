#include "core/floatingpoint.h"

#include <cfenv>

void FloatingPoint::clearStatus()
{
    std::feclearexcept(FE_ALL_EXCEPT);
}

bool FloatingPoint::failed(double)
{
    return std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0;
}
