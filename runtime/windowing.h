#pragma once

#include <QString>

class QWidget;

namespace runtime {

// Moves the keyboard focus to a control, activating its window as well: after a message box
// closes, its owner is not always active again yet.
void setFocusOn(QWidget *control);

// Sets the title bar text exactly as given.
void setWindowCaption(QWidget *window, const QString &caption);

// Places a window, not yet shown, at the centre of the screen it will appear on.
void centreOnScreen(QWidget *window);

} // namespace runtime
