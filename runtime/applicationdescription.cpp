#include "applicationdescription.h"

#include "fonts.h"
#include "windowing.h"

#include <QApplication>
#include <QLocale>
#include <QWidget>

namespace runtime {

int runApplication(int &argc, char **argv, const ApplicationDescription &description)
{
    FontConfigurationReader fontConfiguration;
    QApplication application(argc, argv);
    QApplication::setApplicationName(description.title);
    QApplication::setOrganizationName(description.organisation);
    QApplication::setApplicationVersion(description.version);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    installWindowFont();
    fontConfiguration.finish();

    showWindow(description.startupWindow());
    return QApplication::exec();
}

} // namespace runtime
