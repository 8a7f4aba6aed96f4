#pragma once

#include <QIcon>

// The program's icon: the 256-colour images at 32 and 16 pixels, then the full-colour ones at 128,
// 48, 32 and 16, in that order, from the images compiled into the program. Call it once a
// QGuiApplication exists.
QIcon programIcon();
