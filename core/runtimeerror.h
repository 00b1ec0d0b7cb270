#pragma once

#include <stdexcept>

// An error raised by the program's own operations. The window's error boundary reports it and
// the program goes on.
class RuntimeError : public std::runtime_error
{
public:
    enum class Kind {
        FloatingPoint, // invalid operation, division by zero or overflow in a computation
        Overflow, // a value that does not fit the integer it is converted to
    };

    RuntimeError(Kind kind, const char *operation);

    Kind kind() const { return errorKind; }

private:
    Kind errorKind;
};
