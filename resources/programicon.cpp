#include "programicon.h"

#include "programiconpaths.h"

QStringList programIconImages()
{
    return {BRIGHTFOLD_PROGRAM_ICON_PATHS};
}

QIcon programIcon()
{
    QIcon icon;
    for (const QString &image : programIconImages())
        icon.addFile(image);
    return icon;
}
