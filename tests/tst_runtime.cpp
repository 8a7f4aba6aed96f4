// The error frame around every click procedure and what it reports for each run-time error, and
// the classic window font that the windows keep, with their captions fitted to their controls.

#include "controlarray.h"
#include "errorframe.h"
#include "floatingpoint.h"
#include "fonts.h"
#include "frmlogin.h"
#include "support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include <stdexcept>

using namespace runtime;

class RuntimeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareApplication(); }
    void cleanup() { discardWindows(); }

    void errorInAProcedure_data()
    {
        QTest::addColumn<double>("left");
        QTest::addColumn<char>(
            "operation"); // arithmetic, or E (element 1 of an empty control array),
                          // M (memory exhausted), X (any other exception)
        QTest::addColumn<double>("right");
        QTest::addColumn<QString>("shown"); // the error's number and description, or "" for none
        const double largest = 1.7976931348623157e308;
        QTest::newRow("overflowing product") << 1e308 << '*' << 1.8 << "6':\n\nOverflow";
        QTest::newRow("ordinary product") << 100.0 << '*' << 1.8 << ""; // flags cleared before
        QTest::newRow("overflowing sum") << largest << '+' << 1e292 << "6':\n\nOverflow";
        QTest::newRow("division by zero") << 1.0 << '/' << 0.0 << "11':\n\nDivision by zero";
        QTest::newRow("zero by zero")
            << 0.0 << '/' << 0.0 << "5':\n\nInvalid procedure call or argument";
        QTest::newRow("underflow is no fault") << 1e-308 << '/' << 1e10 << "";
        QTest::newRow("missing element")
            << 0.0 << 'E' << 0.0 << "340':\n\nControl array element doesn't exist";
        QTest::newRow("out of memory") << 0.0 << 'M' << 0.0 << "7':\n\nOut of memory";
        QTest::newRow("anything else") << 0.0 << 'X' << 0.0 << "51':\n\nInternal error";
    }

    void errorInAProcedure()
    {
        QFETCH(double, left);
        QFETCH(char, operation);
        QFETCH(double, right);
        QFETCH(QString, shown);
        QWidget owner;
        owner.setObjectName("owner");
        MessageBoxes boxes;
        // The operands come from the table, so the compiler cannot fold the arithmetic away.
        runEventProcedure(&owner, [&] {
            if (operation == 'E')
                ControlArray<QWidget>().element(1);
            if (operation == 'M')
                throw std::bad_alloc();
            if (operation == 'X')
                throw std::runtime_error("unexpected");
            arithmeticStep([&] {
                return operation == '*'   ? left * right
                       : operation == '+' ? left + right
                                          : left / right;
            });
        });
        const QString message = "Brightfold|3|Run-time error '" + shown + "|OK|owner";
        QCOMPARE(boxes.seen, shown.isEmpty() ? QStringList{} : QStringList{message});
    }

    // The windows keep the font they were laid out for, so a desktop font cuts off no caption.
    void windowsKeepTheirFont()
    {
        const QWidgetList windows{logIn("Ann"), openLoginWindow()};
        const QWidgetList controls =
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
                         captionRoom(control),
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
        useClassicWindowFont(&window);
        const QFont changed("DejaVu Sans", 10);
        label->setFixedWidth(QFontMetrics(changed).horizontalAdvance(label->text()) * room / 100);
        window.setFont(changed);
        const int fitted = label->font().stretch();
        QVERIFY2(stretch == 90 ? fitted >= 80 && fitted < 100 : fitted == stretch,
                 qPrintable(QString::number(fitted)));
        QCOMPARE(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                 room > 50);
    }
};

QTEST_MAIN(RuntimeTest)
#include "tst_runtime.moc"
