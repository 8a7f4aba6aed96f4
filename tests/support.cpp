#include "support.h"

#include "defaultinstance.h"
#include "frmlogin.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QProxyStyle>
#include <QScreen>
#include <QTest>

namespace {

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
}

frmLogin *openLoginWindow()
{
    frmLogin *login = &runtime::defaultInstance<frmLogin>();
    login->show();
    return QTest::qWaitForWindowActive(login) ? login : nullptr;
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

bool centredOnScreen(const QWidget *window)
{
    const QPoint offCentre =
        window->geometry().center() - window->screen()->availableGeometry().center();
    return offCentre.manhattanLength() <= 2;
}

QRect twips(const QWidget *widget)
{
    const QRect r = widget->geometry();
    return {r.x() * 15, r.y() * 15, r.width() * 15, r.height() * 15};
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
