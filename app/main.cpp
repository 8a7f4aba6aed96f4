#include "applicationdescription.h"
#include "defaultinstance.h"
#include "frmlogin.h"
#include "productinfo.h"

int main(int argc, char *argv[])
{
    const runtime::ApplicationDescription brightfold{
        QStringLiteral(BRIGHTFOLD_TITLE),
        QStringLiteral(BRIGHTFOLD_COMPANY),
        QStringLiteral(BRIGHTFOLD_VERSION_TEXT),
        [] { return static_cast<QWidget *>(&runtime::defaultInstance<frmLogin>()); },
    };
    return runtime::runApplication(argc, argv, brightfold);
}
