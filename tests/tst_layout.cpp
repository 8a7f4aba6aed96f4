// What the two windows' layout promises: their client sizes and frames, no caption cut off in the
// font in use whatever font the desktop sets, the converter's right edges and bottom line, and the
// scratch label that lies below its client area until the window is enlarged.

#include "fonts.h"
#include "frmlogin.h"
#include "support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>

class LayoutTest : public QObject
{
    Q_OBJECT

    static QRect twips(const QWidget *widget)
    {
        const QRect r = widget->geometry();
        return {r.x() * 15, r.y() * 15, r.width() * 15, r.height() * 15};
    }

private slots:
    void initTestCase() { prepareApplication(); }
    void cleanup() { discardWindows(); }

    void windows()
    {
        QWidget *login = openLoginWindow();
        QCOMPARE(twips(login).size(), QSize(4935, 1545));
        QCOMPARE(login->minimumSize(), login->maximumSize());
        QVERIFY(!(login->windowFlags() &
                  (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        const QPoint offCentre =
            login->geometry().center() - login->screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);
        QWidget *converter = logIn("Ann");
        QCOMPARE(twips(converter).size(), QSize(3585, 3375));
        QVERIFY(converter->minimumSize() != converter->maximumSize()); // sizable
        for (const char *name : {"txt1", "lbl1", "Option1", "Command1"})
            QVERIFY2(twips(child(converter, name)).right() + 1 == 3495, name);
        QCOMPARE(twips(child(converter, "Label3")).bottom() + 1, 3375);
        const QFont equals = child(converter, "Label2")->font();
        QVERIFY(equals.pointSizeF() == 9.75 && equals.bold());
    }

    // The windows keep the font they were laid out for, so a desktop font cuts off no caption.
    void captionsFitWhateverTheDesktopFont()
    {
        const QWidgetList windows{logIn("Ann"), openLoginWindow()},
            controls =
                windows[0]->findChildren<QWidget *>() + windows[1]->findChildren<QWidget *>();
        const auto fonts = [&] {
            QStringList used;
            for (QWidget *control : controls)
                used << control->objectName() + ' ' + control->font().toString();
            return used;
        };
        const QStringList laidOutFor = fonts();
        const QFont before = QApplication::font();
        QApplication::setFont(QFont("DejaVu Sans", 14, QFont::Black, true));
        QCOMPARE(fonts(), laidOutFor);
        QApplication::setFont(before);
        for (QWidget *control : controls) {
            const auto *label = qobject_cast<QLabel *>(control);
            const auto *button = qobject_cast<QAbstractButton *>(control);
            const QString caption = label ? label->text() : button ? button->text() : QString();
            QVERIFY2(control->fontMetrics().horizontalAdvance(QString(caption).remove('&')) <=
                         runtime::captionRoom(control),
                     qPrintable(control->objectName() + " cuts off " + caption));
        }
    }

    void captionFitting_data()
    {
        QTest::addColumn<int>("room"); // the label's width, in % of what its caption needs
        QTest::addColumn<int>("stretch");
        QTest::newRow("room enough") << 100 << 0;
        QTest::newRow("a little short") << 90 << 90; // condensed just enough: from 80 to 99
        QTest::newRow("far too short") << 50 << 80;
    }

    // A window's captions are fitted again when its font changes.
    void captionFitting()
    {
        QFETCH(int, room);
        QFETCH(int, stretch);
        QWidget window;
        auto *label = new QLabel("Fahrenheit > Kelvin", &window);
        runtime::useClassicWindowFont(&window);
        const QFont changed("DejaVu Sans", 10);
        label->setFixedWidth(QFontMetrics(changed).horizontalAdvance(label->text()) * room / 100);
        window.setFont(changed);
        const int fitted = label->font().stretch();
        QVERIFY2(stretch == 90 ? fitted >= 80 && fitted < 100 : fitted == stretch,
                 qPrintable(QString::number(fitted)));
        QCOMPARE(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                 room > 50);
    }

    void scratchLabelBelowTheClientArea()
    {
        QWidget *converter = logIn("Ann");
        QWidget *scratch = child(converter, "lbl2");
        const auto visibleHeight = [&] { return scratch->visibleRegion().boundingRect().height(); };
        QCOMPARE(visibleHeight(), 0);
        converter->resize(converter->width(), 3615 / 15);
        QTRY_COMPARE(visibleHeight(), 1);
        converter->resize(converter->width(), 3735 / 15);
        QTRY_COMPARE(visibleHeight(), 9);
        QCOMPARE(twips(scratch), QRect(1320, 3600, 255, 135)); // resizing moves nothing
    }
};

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
