#include "brightfold.h"

#include "defaultinstance.h"
#include "frmlogin.h"
#include "productinfo.h"

runtime::ApplicationDescription brightfoldApplication()
{
    return {
        QStringLiteral(BRIGHTFOLD_TITLE),
        QStringLiteral(BRIGHTFOLD_COMPANY),
        QStringLiteral(BRIGHTFOLD_VERSION_TEXT),
        [] { return static_cast<QWidget *>(&runtime::defaultInstance<frmLogin>()); },
    };
}
