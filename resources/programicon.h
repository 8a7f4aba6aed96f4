#pragma once

#include <QIcon>
#include <QStringList>

// The program's icon for its windows: the 256-colour images at 32 and 16 pixels, then the
// full-colour ones at 128, 48, 32 and 16, in that order. Built from the images compiled into
// the program; call it once a QGuiApplication exists.
QIcon programIcon();

// The resource paths of the icon's images, in the order programIcon() offers them.
QStringList programIconImages();
