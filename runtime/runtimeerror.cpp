#include "runtimeerror.h"

namespace runtime {

QString errorDescription(int number)
{
    switch (number) {
    case InvalidProcedureCall:
        return QStringLiteral("Invalid procedure call or argument");
    case Overflow:
        return QStringLiteral("Overflow");
    case OutOfMemory:
        return QStringLiteral("Out of memory");
    case DivisionByZero:
        return QStringLiteral("Division by zero");
    case ControlArrayElementMissing:
        return QStringLiteral("Control array element doesn't exist");
    default:
        return QStringLiteral("Internal error");
    }
}

RuntimeError::RuntimeError(int number) : m_number(number) {}

void raiseError(int number)
{
    throw RuntimeError(number);
}

} // namespace runtime
