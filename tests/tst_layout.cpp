// Both windows as they open: their frames, and every control's place, size and caption in twips
// against the window definitions, with no caption cut off in the font actually in use.

#include "fonts.h"
#include "frmlogin.h"
#include "testwindows.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

class LayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareTestApplication(); }
    void cleanup() { discardAllWindows(); }
    void windowFrames();
    void controls_data();
    void controls();

private:
    QWidget *open(const QString &window)
    {
        return window == "frmLogin" ? static_cast<QWidget *>(openLoginWindow()) : logIn("Ann");
    }
};

void LayoutTest::windowFrames()
{
    const QList<QSize> iconSizes{{32, 32}, {16, 16}, {128, 128}, {48, 48}, {32, 32}, {16, 16}};
    QWidget *login = open("frmLogin");
    QCOMPARE(login->windowTitle(), "Login - \"Orvane\" Brightfold");
    QCOMPARE(inTwips(login->rect()).size(), QSize(4935, 1545));
    QCOMPARE(login->minimumSize(), login->maximumSize());
    QVERIFY(
        !(login->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY((login->geometry().center() - login->screen()->availableGeometry().center())
                .manhattanLength() <= 2);
    QCOMPARE(login->windowIcon().availableSizes(), iconSizes);

    QWidget *converter = open("frmlogon");
    QCOMPARE(inTwips(converter->rect()).size(), QSize(3585, 3375));
    QVERIFY(converter->minimumSize() != converter->maximumSize()); // sizable
    QCOMPARE(converter->windowIcon().availableSizes(), iconSizes);
    const QFont equals = converter->findChild<QWidget *>("Label2")->font();
    QVERIFY(equals.pointSizeF() == 9.75 && equals.bold());
    QCOMPARE(converter->findChild<QWidget *>("txt1")->accessibleName(), "Temperature");
    QCOMPARE(converter->findChild<QWidget *>("lbl1")->accessibleName(), "Result");
}

void LayoutTest::controls_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    const auto row = [](const char *window, const char *name, const char *caption, QRect twips) {
        QTest::addRow("%s.%s", window, name) << window << name << caption << twips;
    };
    row("frmLogin", "lblLabels_0", "&User Name:", {105, 150, 1080, 270});
    row("frmLogin", "txtUserName", "", {1200, 135, 3525, 345});
    row("frmLogin", "lblLabels_1", "&Password:", {105, 540, 1080, 270});
    row("frmLogin", "txtPassword", "", {1200, 525, 3525, 345});
    row("frmLogin", "cmdOK", "OK", {2040, 1020, 1140, 390});
    row("frmLogin", "cmdCancel", "Exit", {3600, 1020, 1140, 390});
    row("frmLogin", "Label1", "Brightfold 1.0®", {0, 1080, 2055, 255});
    row("frmlogon", "Option1", "Do Nothing", {2280, 720, 1215, 255});
    row("frmlogon", "ck", "Celsius > Kelvin", {120, 600, 1815, 255});
    row("frmlogon", "kc", "Kelvin > Celsius", {120, 840, 1815, 255});
    row("frmlogon", "kf", "Kelvin > Fahrenheit", {120, 1080, 1815, 255});
    row("frmlogon", "fk", "Fahrenheit > Kelvin", {120, 1320, 1815, 255});
    row("frmlogon", "txt1", "", {120, 1680, 3375, 285});
    row("frmlogon", "lbl1", "", {120, 2400, 3375, 255});
    row("frmlogon", "Label2", "Equals", {1440, 2040, 615, 255});
    row("frmlogon", "cf", "Celsius > Fahrenheit", {120, 120, 1935, 255});
    row("frmlogon", "fc", "Fahrenheit > Celsius", {120, 360, 1935, 255});
    row("frmlogon", "lbl2", "", {1320, 3600, 255, 135});
    row("frmlogon", "Label1", "www.orvane.example", {600, 2880, 2295, 255});
    row("frmlogon", "Label3", "Brightfold Version 1.0", {480, 3120, 2655, 255});
    row("frmlogon", "Command1", "About", {2760, 120, 735, 255});
}

void LayoutTest::controls()
{
    QFETCH(QString, window);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    auto *widget = open(window)->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(inTwips(widget->geometry()), twips);
    QVERIFY(widget->isVisibleTo(widget->window()) && widget->isEnabled());
    const auto *label = qobject_cast<QLabel *>(widget);
    const auto *button = qobject_cast<QAbstractButton *>(widget);
    if (label || button)
        QCOMPARE(label ? label->text() : button->text(), caption);
    const int drawn = widget->fontMetrics().horizontalAdvance(QString(caption).remove(u'&'));
    QVERIFY2(drawn <= runtime::captionRoom(widget), "caption cut off");
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
