#include "windowing.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace runtime {

void showWindow(QWidget *window)
{
    window->show();
}

void unloadWindow(QWidget *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->close();
}

void setFocusOn(QWidget *control)
{
    control->window()->activateWindow();
    control->setFocus(Qt::OtherFocusReason);
}

void setWindowCaption(QWidget *window, const QString &caption)
{
    // Qt reads "[*]" in a window title as the place of its unsaved-changes mark and drops it;
    // doubled, it is shown as written, so that a caption always appears exactly as given.
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

void endProgram()
{
    // Hide rather than close: closing runs the windows' close handling, and nothing of the
    // program may run any more.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        window->hide();
    QCoreApplication::exit(0);
}

} // namespace runtime
