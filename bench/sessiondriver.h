#pragma once

// Drives the real Brightfold executable from inside its own process: a benchmark that includes
// this is built as a library that bench/run.sh preloads into the program (LD_PRELOAD). It
// starts once the program's event loop runs, and reaches the windows only as a user sees them:
// through Qt's public widget types and the controls' object names.

#include <QObject>
#include <QStringList>
#include <QWidget>

namespace bench {

// Registers the session to run once the program's event loop has started. Call it from a
// Q_COREAPP_STARTUP_FUNCTION, which runs when the program creates its application.
void runWhenProgramRuns(void (*session)());

// Reports what went wrong and ends the program at once with status 3.
[[noreturn]] void fail(const QString &what);

// The visible top-level window holding a control of that name; waits up to five seconds.
QWidget *windowWith(const char *controlName);

// A window's control of that type and name; fails when there is none.
template <class Control> Control *control(QWidget *window, const char *name)
{
    auto *found = window->findChild<Control *>(QLatin1String(name));
    if (!found)
        fail(QStringLiteral("no control %1 in %2").arg(QLatin1String(name), window->objectName()));
    return found;
}

// A click as the window system delivers it, at the control's centre.
void clickOn(QWidget *control);

// Logs in as a user would, with the shared password; returns the converter window.
QWidget *logIn(const QString &userName);

// The program's resident memory (VmRSS), in KiB.
qint64 residentKiB();

// Watches for message boxes while it lives, keeps their texts and closes each with its button.
class MessageBoxCloser : public QObject
{
public:
    MessageBoxCloser();
    QStringList texts;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void closeActiveBox();
};

} // namespace bench
