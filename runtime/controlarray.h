#pragma once

#include "errorframe.h"
#include "runtimeerror.h"

#include <QAbstractButton>
#include <QMap>
#include <QVariant>
#include <QWidget>

namespace runtime {

// Controls of one kind that share a name and are told apart by an index. The window definition
// marks each element with the properties "controlArray" (the shared name) and "index".
template <class Control> class ControlArray
{
public:
    ControlArray(QWidget *window, const char *name) : m_window(window), m_name(name) {}

    Control *element(int index) const
    {
        Control *control = elements().value(index);
        if (!control)
            raiseError(ControlArrayElementMissing);
        return control;
    }

    QList<int> indexes() const { return elements().keys(); }

    // Runs procedure(index) in its error frame when an element is clicked.
    template <class Window> void onClick(Window *window, void (Window::*procedure)(int)) const
    {
        const QMap<int, Control *> all = elements();
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            const int index = it.key();
            QObject::connect(it.value(), &QAbstractButton::clicked, window,
                             [=] { runEventProcedure([=] { (window->*procedure)(index); }); });
        }
    }

private:
    // Looked up on use, so the array can be declared before the window's controls exist.
    QMap<int, Control *> elements() const
    {
        QMap<int, Control *> found;
        const auto controls = m_window->template findChildren<Control *>();
        for (Control *control : controls) {
            if (control->property("controlArray").toString() == QLatin1String(m_name))
                found.insert(control->property("index").toInt(), control);
        }
        return found;
    }

    QWidget *m_window;
    const char *m_name;
};

// Runs procedure() in its error frame when the button is clicked.
template <class Window>
void onClick(QAbstractButton *button, Window *window, void (Window::*procedure)())
{
    QObject::connect(button, &QAbstractButton::clicked, window,
                     [=] { runEventProcedure([=] { (window->*procedure)(); }); });
}

} // namespace runtime
