#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QStringList>
#include <QWidget>

class frmLogin;

// Sets the application up as the program's start does, as far as the windows rely on it, under a
// style that puts icons on dialog buttons, as some desktops do.
void prepareApplication();

frmLogin *openLoginWindow();

// Logs in as a user would, with the shared password and Enter; returns the converter window.
QWidget *logIn(const QString &userName);

// Deletes every window, so that the next test starts as the program does.
void discardWindows();

// Whether a window lies at the centre of its screen, to the pixel that halving may lose.
bool centredOnScreen(const QWidget *window);

// A window's client area or a control's place, in twips.
QRect twips(const QWidget *widget);

template <class Control = QWidget> Control *child(QWidget *window, const QString &name)
{
    return window->findChild<Control *>(name);
}

// While it lives, records every message box as "title|icon|text|buttons|owner" (icon: the
// QMessageBox::Icon number; owner: the object name of the window it belongs to), and closes it
// as a user would, with Enter.
class MessageBoxes : public QObject
{
public:
    MessageBoxes() { QCoreApplication::instance()->installEventFilter(this); }
    QStringList seen;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
