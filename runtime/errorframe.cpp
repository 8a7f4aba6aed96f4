#include "errorframe.h"

#include "messagebox.h"
#include "runtimeerror.h"

#include <QAbstractButton>
#include <QPointer>

#include <cstdio>
#include <memory>
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

void reportUnhandledError(QWidget &owner, std::exception_ptr error) noexcept
{
    try {
        const int number = errorNumberOf(error);
        showMessage(
            owner,
            QStringLiteral("Run-time error '%1':\n\n%2").arg(number).arg(errorDescription(number)),
            CriticalMessage);
    } catch (...) {
        // Not even the message box could be shown (memory exhausted): the console is all that
        // is left, and the event loop must still not see the exception.
        std::fputs("Brightfold: run-time error while reporting a run-time error\n", stderr);
    }
}

void onClick(QAbstractButton *button, std::function<void()> procedure)
{
    QWidget *owner = button->window();
    auto clicks = std::make_shared<quint64>(); // clicks so far
    const auto click = [=] {
        ++*clicks;
        runEventProcedure(*owner, procedure);
    };
    QObject::connect(button, &QAbstractButton::clicked, button, click);
    if (!button->isCheckable())
        return;
    // A selection by mouse or keyboard emits clicked() right after toggled(); a selection without
    // a click following it by the time the event loop runs again still clicks, once.
    QObject::connect(button, &QAbstractButton::toggled, button, [=](bool checked) {
        if (!checked)
            return;
        const quint64 clicksBefore = *clicks;
        QMetaObject::invokeMethod(
            button,
            [=] {
                if (*clicks == clicksBefore)
                    click();
            },
            Qt::QueuedConnection);
    });
}

} // namespace runtime
