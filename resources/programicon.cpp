#include "programicon.h"

#include "programiconpaths.h"

QIcon programIcon()
{
    // The images live in a static library, whose resources register only when asked to.
    Q_INIT_RESOURCE(brightfold_icons);
    QIcon icon;
    for (const char *image : {BRIGHTFOLD_PROGRAM_ICON_PATHS})
        icon.addFile(QString::fromLatin1(image));
    return icon;
}
