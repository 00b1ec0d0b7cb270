#pragma once

// Whether a step of the dare draw failed: an invalid operation, a division by zero or an
// overflow. Each system has its own source for this, chosen by the build: where the processor
// keeps IEEE status flags they tell (floatingpoint_fenv.cpp); WebAssembly keeps none, and there
// the result tells, as each of the three leaves a NaN or an infinity (floatingpoint_finite.cpp).
namespace FloatingPoint {

// Forgets what earlier arithmetic left behind.
void clearStatus();

// Whether the arithmetic since clearStatus(), which gave result, failed.
bool failed(double result);

} // namespace FloatingPoint
