#pragma once

class QObject;
class QString;

namespace runtime {

// Gives screen readers what Qt 6.4 does not give them on its own: a password box reports nothing
// but its mask character, a text box is announced when the focus arrives in it, a description
// change carries its text (Qt 6.8 sends it), and a window that is a plain widget is presented as a
// window. Call it once the application exists and before its first window.
void improveAccessibility();

// Tells a screen reader of a change, such as a result shown elsewhere in the window, to speak at
// once as a message of the source's. From Qt 6.8, which has announcements; nothing before. On
// AT-SPI, not when the focused widget has just been given the message as its description, which
// the screen reader speaks already.
void announce(QObject *source, const QString &message);

} // namespace runtime
