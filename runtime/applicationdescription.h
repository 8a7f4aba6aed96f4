#pragma once

#include <QString>

class QWidget;

namespace runtime {

// What the program declares to the runtime at start.
struct ApplicationDescription
{
    QString title; // also the title of message boxes that name none
    QString organisation;
    QString version;
    QWidget *(*startupWindow)() = nullptr; // the window shown at start; no start-up procedure
};

// Creates the application, shows the start-up window and runs the event loop until the program
// ends; returns the exit status.
int runApplication(int &argc, char **argv, const ApplicationDescription &description);

} // namespace runtime
