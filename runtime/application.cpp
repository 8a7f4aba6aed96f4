#include "application.h"

#include "accessibility.h"
#include "fonts.h"

#include <QApplication>
#include <QWidget>

namespace runtime {

int runApplication(int &argc, char **argv, const ApplicationDescription &description)
{
    FontConfigurationReader fontConfiguration;
    QApplication application(argc, argv);
    QApplication::setApplicationName(description.title);
    QGuiApplication::setDesktopFileName(description.desktopId);
    QApplication::setWindowIcon(description.icon());
    improveAccessibility();
    fontConfiguration.finish();

    description.startupWindow()->show();
    return QApplication::exec();
}

void endProgram()
{
    // Not by closing the windows: that would run their close handling, and nothing of the program
    // may run any more.
    QCoreApplication::exit(0);
}

} // namespace runtime
