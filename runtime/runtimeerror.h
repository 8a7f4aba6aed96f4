#pragma once

#include <QString>

#include <exception>

namespace runtime {

// The run-time error numbers that the program raises.
enum ErrorNumber {
    InvalidProcedureCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    DivisionByZero = 11,
    ControlArrayElementMissing = 340,
    InternalError = 51,
};

QString errorDescription(int number);

// A run-time error travelling from the operation that failed to the error frame of the event
// procedure that called it. It never leaves the frame (see errorframe.h).
class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(int number);

    int number() const noexcept { return m_number; }

private:
    int m_number;
};

[[noreturn]] void raiseError(int number);

} // namespace runtime
