#pragma once

class QObject;
class QString;

namespace runtime {

// Gives screen readers what Qt 6.4 does not give them on its own: a password box reports nothing
// but its mask character, a text box is announced when the focus arrives in it, a description
// change carries its text, and a window that is a plain widget is presented as a window. Call it
// once the application exists and before its first window.
void improveAccessibility();

// Has screen readers say the text at once, wherever the user is; from Qt 6.8 on.
void announce(QObject *source, const QString &text);

} // namespace runtime
