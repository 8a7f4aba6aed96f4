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

// What the program sets up at start, for tests that open its windows directly. It also silences
// the headless platform's warning that it cannot pass on a message box's size hints.
void prepareTestApplication();

// A click as the window system delivers it: to the window at the control's centre, so that it
// reaches whatever a user would hit there.
void clickOn(QWidget *control, bool doubleClick = false);

// Clicks into the box and pastes the text with Ctrl+V.
void pasteInto(QLineEdit *box, const QString &text);

// Deletes every window, so that the next test starts as the program does.
void discardAllWindows();

frmLogin *openLoginWindow();

// Logs in as a user would, with the shared password, and returns the converter window.
QWidget *logIn(const QString &userName);

// The converter window if it is open, else null.
QWidget *converterWindow();

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
