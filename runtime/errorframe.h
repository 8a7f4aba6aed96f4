#pragma once

#include <exception>

namespace runtime {

// Shows the run-time error message for an exception that left an event procedure. Never throws.
void reportUnhandledError(std::exception_ptr error) noexcept;

// Runs one event procedure. Whatever it throws is shown to the user and stops there, so no
// exception ever reaches Qt's event loop; the windows stay as the failed step left them.
template <class Procedure> void runEventProcedure(Procedure &&procedure) noexcept
{
    try {
        procedure();
    } catch (...) {
        reportUnhandledError(std::current_exception());
    }
}

} // namespace runtime
