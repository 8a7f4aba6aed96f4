#pragma once

#include <QIcon>
#include <QString>

class QWidget;

namespace runtime {

// What the program declares at start.
struct ApplicationDescription
{
    QString title;                         // also the title of message boxes that name none
    QString desktopId;                     // ties the windows to the desktop entry
    QIcon (*icon)() = nullptr;             // every window's and message box's icon
    QWidget *(*startupWindow)() = nullptr; // shown at start; no start-up procedure runs
};

// Creates the application, shows the start-up window and runs the event loop until the program
// ends; returns the exit status.
int runApplication(int &argc, char **argv, const ApplicationDescription &description);

// Ends the program at once, whatever windows are open, with exit status 0.
void endProgram();

} // namespace runtime
