#pragma once

#include <QString>

class QWidget;

namespace runtime {

// Shows a window modeless, without an owner: the caller goes on at once.
void showWindow(QWidget *window);

// Closes a window and discards it with its controls once the current event is done.
void unloadWindow(QWidget *window);

// Moves the keyboard focus to a control, activating its window as well: after a message box
// closes, its owner is not always active again yet.
void setFocusOn(QWidget *control);

void setWindowCaption(QWidget *window, const QString &caption);

// Places a window, not yet shown, at the centre of the screen it will appear on.
void centreOnScreen(QWidget *window);

// Ends the program at once, whatever windows are open, with exit status 0.
void endProgram();

} // namespace runtime
