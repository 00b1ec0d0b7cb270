#pragma once

#include <QString>

#include <stdexcept>

// An error raised by the program's own operations. It never reaches Qt: the error boundary
// around every handler reports it and the program goes on.
class RuntimeError : public std::runtime_error
{
public:
    enum class Kind {
        FloatingPoint, // invalid operation, division by zero or overflow in a computation
        Overflow, // a value that does not fit the integer it is converted to
    };

    RuntimeError(Kind kind, const char *operation);

    Kind kind() const { return errorKind; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    Kind errorKind;
};
