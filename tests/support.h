#pragma once

#include <QObject>
#include <QStringList>
#include <QWidget>

#include <functional>

class frmLogin;

// Sets the application up as the program's start does, as far as the windows rely on it.
void prepareApplication();

frmLogin *openLoginWindow();

// Logs in as a user would, with the shared password and Enter; returns the converter window.
QWidget *logIn(const QString &userName);

// Deletes every window, so that the next test starts as the program does.
void discardWindows();

// Does what a user does, inside the event loop as the program runs it, until the program ends;
// returns the exit status, or -1 when it has not ended within two seconds.
int exitStatusAfter(const std::function<void()> &userAction);

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
    MessageBoxes();
    QStringList seen;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
