#include "application.h"
#include "defaultinstance.h"
#include "frmlogin.h"
#include "productinfo.h"
#include "programicon.h"

int main(int argc, char *argv[])
{
    const runtime::ApplicationDescription brightfold{
        QStringLiteral(BRIGHTFOLD_TITLE),
        QStringLiteral(BRIGHTFOLD_APP_ID),
        programIcon,
        [] { return static_cast<QWidget *>(&runtime::defaultInstance<frmLogin>()); },
    };
    return runtime::runApplication(argc, argv, brightfold);
}
