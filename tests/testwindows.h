#pragma once

#include <QLineEdit>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class frmLogin;
namespace runtime {
class Label;
}

// What the program sets up at start, for tests that open its windows directly.
void prepareTestApplication();

// Deletes every window, so that the next test starts as the program does.
void discardAllWindows();

frmLogin *openLoginWindow();

// Logs in as a user would, with the shared password, and returns the converter window.
QWidget *logIn(const QString &userName);

QRect inTwips(const QRect &pixels);

// Does what a user does, inside the application's event loop as the program runs it, until the
// program ends; returns the exit status, or -1 when it has not ended after the timeout.
int runUntilProgramEnds(const std::function<void()> &userAction, int timeoutMs = 2000);

// Every caption written into a label, in order.
class CaptionRecorder
{
public:
    explicit CaptionRecorder(runtime::Label *label);
    QStringList writes;
};

template <class Control> Control *control(QWidget *window, const QString &name)
{
    return window->findChild<Control *>(name);
}
