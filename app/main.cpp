#include "accessibility.h"
#include "defaultinstance.h"
#include "frmlogin.h"
#include "productinfo.h"
#include "programicon.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // The name is also the title of every message box that gives none.
    QApplication::setApplicationName(QStringLiteral(BRIGHTFOLD_TITLE));
    QGuiApplication::setDesktopFileName(QStringLiteral(BRIGHTFOLD_APP_ID));
    QApplication::setWindowIcon(programIcon());
    runtime::improveAccessibility();

    runtime::defaultInstance<frmLogin>().show();
    return QApplication::exec();
}
