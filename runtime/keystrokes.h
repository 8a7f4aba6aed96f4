#pragma once

#include <QList>
#include <QString>

namespace runtime {

struct Keystroke
{
    int key = 0; // a Qt::Key
    Qt::KeyboardModifiers modifiers;
    QString text;

    bool operator==(const Keystroke &) const = default;
};

// Reads the keystroke notation: plain characters, key names in braces ("{Home}", "{end}", in any
// case), and "+", "^" or "%" holding Shift, Control or Alt down for the key that follows.
// Unknown key names are skipped.
QList<Keystroke> parseKeystrokes(const QString &notation);

// Queues the keystrokes for the control that has the keyboard focus and returns at once.
void sendKeys(const QString &notation);

} // namespace runtime
