#include "core/floatingpoint.h"

#include <cmath>

void FloatingPoint::clearStatus() { }

bool FloatingPoint::failed(double result)
{
    return !std::isfinite(result);
}
