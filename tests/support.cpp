#include "support.h"

#include "defaultinstance.h"
#include "frmlogin.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProxyStyle>
#include <QTest>
#include <QTimer>

namespace {

// A desktop style that puts icons on dialog buttons, as some desktops' themes do.
class ButtonIconsStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returned) const override
    {
        return hint == SH_DialogButtonBox_ButtonsHaveIcons
                   ? 1
                   : QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

} // namespace

void prepareApplication()
{
    QApplication::setApplicationName(QStringLiteral("Brightfold"));
    QApplication::setStyle(new ButtonIconsStyle);
    // The headless platform cannot pass on a message box's size hints and says so each time.
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (!message.contains(QLatin1String("propagateSizeHints")))
                previous(type, context, message);
        });
}

frmLogin *openLoginWindow()
{
    frmLogin *login = &runtime::defaultInstance<frmLogin>();
    login->show();
    if (!QTest::qWaitForWindowActive(login))
        qWarning("the login window did not become active");
    return login;
}

QWidget *logIn(const QString &userName)
{
    frmLogin *login = openLoginWindow();
    QTest::keyClicks(child(login, "txtUserName"), userName);
    QTest::keyClicks(child(login, "txtPassword"), QStringLiteral("bluelanterns"));
    QTest::keyClick(child(login, "txtPassword"), Qt::Key_Return);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("frmlogon") && window->isVisible())
            return QTest::qWaitForWindowActive(window) ? window : nullptr;
    }
    return nullptr;
}

void discardWindows()
{
    qDeleteAll(QApplication::topLevelWidgets());
    QApplication::processEvents();
}

int exitStatusAfter(const std::function<void()> &userAction)
{
    QTimer::singleShot(0, qApp, userAction);
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, qApp, [] { QCoreApplication::exit(-1); });
    timeout.start(2000);
    return QApplication::exec();
}

MessageBoxes::MessageBoxes()
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool MessageBoxes::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QMessageBox *>(watched);
    if (!box || event->type() != QEvent::Show)
        return false;
    QStringList buttons;
    for (const QAbstractButton *button : box->buttons())
        buttons << button->text().remove(u'&') + (button->icon().isNull() ? "" : "+icon");
    const QWidget *owner = box->parentWidget();
    seen << QStringList{box->windowTitle(), QString::number(box->icon()), box->text(),
                        buttons.join(u','), owner ? owner->objectName() : QString()}
                .join(u'|');
    QMetaObject::invokeMethod(
        box, [box] { QTest::keyClick(box, Qt::Key_Return); }, Qt::QueuedConnection);
    return false;
}
