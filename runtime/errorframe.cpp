#include "errorframe.h"

#include "messagebox.h"
#include "runtimeerror.h"

#include <cstdio>
#include <new>

namespace runtime {

static int errorNumberOf(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const RuntimeError &runtimeError) {
        return runtimeError.number();
    } catch (const std::bad_alloc &) {
        return OutOfMemory;
    } catch (...) {
        return InternalError;
    }
}

void reportUnhandledError(std::exception_ptr error) noexcept
{
    try {
        const int number = errorNumberOf(error);
        showMessage(
            QStringLiteral("Run-time error '%1':\n\n%2").arg(number).arg(errorDescription(number)),
            CriticalMessage);
    } catch (...) {
        // Not even the message box could be shown (memory exhausted): the console is all that
        // is left, and the event loop must still not see the exception.
        std::fputs("Brightfold: run-time error while reporting a run-time error\n", stderr);
    }
}

} // namespace runtime
