#include "core/runtimeerror.h"

#include <string>

namespace {
std::string describe(RuntimeError::Kind kind, const char *operation)
{
    std::string text;
    switch (kind) {
    case RuntimeError::Kind::FloatingPoint:
        text = "Floating-point error (invalid operation, division by zero or overflow)";
        break;
    case RuntimeError::Kind::Overflow:
        text = "Overflow (the value does not fit a 32-bit integer)";
        break;
    }
    return text + " in " + operation + '.';
}
} // namespace

RuntimeError::RuntimeError(Kind kind, const char *operation)
    : std::runtime_error(describe(kind, operation))
    , errorKind(kind)
{ }
