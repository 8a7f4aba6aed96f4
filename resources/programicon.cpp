#include "programicon.h"

#include "programiconpaths.h"

QIcon programIcon()
{
    QIcon icon;
    for (const char *image : {BRIGHTFOLD_PROGRAM_ICON_PATHS})
        icon.addFile(QString::fromLatin1(image));
    return icon;
}
