#include "windowing.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace runtime {

void setFocusOn(QWidget *control)
{
    control->window()->activateWindow();
    control->setFocus(Qt::OtherFocusReason);
}

void setWindowCaption(QWidget *window, const QString &caption)
{
    // Qt reads "[*]" in a window title as the place of its unsaved-changes mark and drops it;
    // doubled, it is shown as written.
    window->setWindowTitle(QString(caption).replace(QLatin1String("[*]"), QLatin1String("[*][*]")));
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window->size(),
                                            screen->availableGeometry()));
}

} // namespace runtime
