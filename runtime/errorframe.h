#pragma once

#include <exception>
#include <functional>

class QAbstractButton;
class QWidget;

namespace runtime {

// Shows the run-time error message for an exception that left an event procedure of the owner
// window. Never throws.
void reportUnhandledError(QWidget &owner, std::exception_ptr error) noexcept;

// Runs one event procedure of the owner window. Whatever it throws is shown to the user and stops
// there, so no exception ever reaches Qt's event loop; the window stays as the failed step left it.
template <class Procedure> void runEventProcedure(QWidget &owner, Procedure &&procedure) noexcept
{
    try {
        procedure();
    } catch (...) {
        reportUnhandledError(owner, std::current_exception());
    }
}

// Runs the procedure in its error frame on every Click of the button. An option button clicks
// when the user selects it with the mouse, Space or the arrow keys, and when it is clicked while
// already selected; selected any other way (assistive technology's Toggle action), it clicks too.
void onClick(QAbstractButton *button, std::function<void()> procedure);

} // namespace runtime
