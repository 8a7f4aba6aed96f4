#include "testwindows.h"

#include "defaultinstance.h"
#include "fonts.h"
#include "frmlogin.h"
#include "label.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTimer>
#include <QWindow>

void prepareTestApplication()
{
    QApplication::setApplicationName(QStringLiteral("Brightfold"));
    runtime::installWindowFont();
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (!message.contains(QLatin1String("does not support propagateSizeHints")))
                previous(type, context, message);
        });
}

void clickOn(QWidget *control, bool doubleClick)
{
    QWindow *window = control->window()->windowHandle();
    const QPoint at = control->mapTo(control->window(), control->rect().center());
    if (doubleClick)
        QTest::mouseDClick(window, Qt::LeftButton, {}, at);
    else
        QTest::mouseClick(window, Qt::LeftButton, {}, at);
}

void pasteInto(QLineEdit *box, const QString &text)
{
    clickOn(box);
    QApplication::clipboard()->setText(text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
}

void discardAllWindows()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        delete window;
    QApplication::processEvents();
}

frmLogin *openLoginWindow()
{
    frmLogin *login = &runtime::defaultInstance<frmLogin>();
    login->show();
    if (!QTest::qWaitForWindowActive(login))
        qWarning("login window did not become active");
    return login;
}

QWidget *converterWindow()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->objectName() == QLatin1String("frmlogon") && window->isVisible())
            return window;
    }
    return nullptr;
}

QWidget *logIn(const QString &userName)
{
    frmLogin *login = openLoginWindow();
    QTest::keyClicks(control<QLineEdit>(login, "txtUserName"), userName);
    QTest::keyClicks(control<QLineEdit>(login, "txtPassword"), QStringLiteral("bluelanterns"));
    QTest::keyClick(control<QLineEdit>(login, "txtPassword"), Qt::Key_Return);
    QWidget *converter = converterWindow();
    if (converter && !QTest::qWaitForWindowActive(converter))
        qWarning("converter window did not become active");
    return converter;
}

QRect inTwips(const QRect &pixels)
{
    constexpr int twipsPerPixel = 15;
    return {pixels.x() * twipsPerPixel, pixels.y() * twipsPerPixel, pixels.width() * twipsPerPixel,
            pixels.height() * twipsPerPixel};
}

int runUntilProgramEnds(const std::function<void()> &userAction, int timeoutMs)
{
    QTimer::singleShot(0, qApp, userAction);
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, qApp, [] { QCoreApplication::exit(-1); });
    timeout.start(timeoutMs);
    return QApplication::exec();
}

CaptionRecorder::CaptionRecorder(runtime::Label *label)
{
    QObject::connect(label, &runtime::Label::captionWritten, label,
                     [this](const QString &caption) { writes.append(caption); });
}
