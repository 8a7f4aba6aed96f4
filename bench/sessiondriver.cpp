#include "sessiondriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace bench {

void runWhenProgramRuns(void (*session)())
{
    // Headless, every message box would warn that its size hints cannot be passed on.
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (!message.contains(QLatin1String("does not support propagateSizeHints")))
                previous(type, context, message);
        });
    // The program shows its login window before it enters its event loop.
    QTimer::singleShot(0, qApp, session);
}

void fail(const QString &what)
{
    std::fprintf(stderr, "bench: %s\n", qPrintable(what));
    std::fflush(stderr);
    std::_Exit(3);
}

QWidget *windowWith(const char *controlName)
{
    QElapsedTimer waited;
    waited.start();
    do {
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            if (window->isVisible() && window->findChild<QWidget *>(QLatin1String(controlName)))
                return window;
        }
        QTest::qWait(10);
    } while (waited.elapsed() < 5000);
    fail(QStringLiteral("no window with a control %1 appeared").arg(QLatin1String(controlName)));
}

void clickOn(QWidget *control)
{
    QWindow *window = control->window()->windowHandle();
    QTest::mouseClick(window, Qt::LeftButton, {},
                      control->mapTo(control->window(), control->rect().center()));
}

QWidget *logIn(const QString &userName)
{
    QWidget *login = windowWith("txtUserName");
    if (!QTest::qWaitForWindowActive(login))
        fail(QStringLiteral("the login window did not become active"));
    QTest::keyClicks(control<QLineEdit>(login, "txtUserName"), userName);
    auto *password = control<QLineEdit>(login, "txtPassword");
    QTest::keyClicks(password, QStringLiteral("bluelanterns"));
    QTest::keyClick(password, Qt::Key_Return);
    QWidget *converter = windowWith("txt1");
    if (!QTest::qWaitForWindowActive(converter))
        fail(QStringLiteral("the converter window did not become active"));
    return converter;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read /proc/self/status"));
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    fail(QStringLiteral("no VmRSS in /proc/self/status"));
}

MessageBoxCloser::MessageBoxCloser()
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool MessageBoxCloser::eventFilter(QObject *watched, QEvent *event)
{
    // Closed once its own event loop runs, as a user's click would find it.
    if (event->type() == QEvent::Show && qobject_cast<QMessageBox *>(watched))
        QMetaObject::invokeMethod(this, &MessageBoxCloser::closeActiveBox, Qt::QueuedConnection);
    return false;
}

void MessageBoxCloser::closeActiveBox()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    texts.append(box->text());
    QTest::mouseClick(box->buttons().value(0), Qt::LeftButton);
}

} // namespace bench
