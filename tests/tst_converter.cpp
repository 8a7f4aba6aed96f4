// The converter window after a real login: its layout, the six conversions with the empty-field
// refusal and the run-time errors, every way of selecting an option, and the reset.

#include "support.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

class ConverterTest : public QObject
{
    Q_OBJECT

    QWidget *converter = nullptr;
    QRadioButton *option(const QString &name) { return child<QRadioButton>(converter, name); }
    QLabel *label(const char *name) { return child<QLabel>(converter, name); }
    QLineEdit *input() { return child<QLineEdit>(converter, "txt1"); }
    QString shown()
    {
        return input()->text() + '|' + label("lbl1")->text() + '|' + label("lbl2")->text();
    }
    void show(const QString &typed, const QString &result, const QString &scratch)
    {
        input()->setText(typed);
        label("lbl1")->setText(result);
        label("lbl2")->setText(scratch);
    }
    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

private slots:
    void initTestCase() { prepareApplication(); }
    void init() { QVERIFY((converter = logIn("Ann"))); }
    void cleanup() { discardWindows(); }

    void opening()
    {
        QCOMPARE(twips(converter).size(), QSize(3585, 3375));
        QVERIFY(converter->minimumSize() != converter->maximumSize()); // sizable
        QVERIFY(centredOnScreen(converter));
        for (const char *name : {"txt1", "lbl1", "Option1", "Command1"})
            QVERIFY2(twips(child(converter, name)).right() + 1 == 3495, name);
        QCOMPARE(twips(label("Label3")).bottom() + 1, 3375); // the version line closes the window
        QCOMPARE(twips(label("lbl2")).top(), 3600);          // wholly below the client area
        QVERIFY(label("Label2")->font().pointSizeF() == 9.75 && label("Label2")->font().bold());
        QCOMPARE(QApplication::focusWidget(), option("Option1"));
        for (QRadioButton *option : converter->findChildren<QRadioButton *>())
            QVERIFY2(!option->isChecked(), qPrintable(option->objectName()));
    }

    void conversion_data()
    {
        QTest::addColumn<QString>("optionName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result"); // lbl1|lbl2 afterwards; "before|scratch": untouched
        QTest::addColumn<QString>("message");
        // Expected values from an independent computation (Python floats and "%.15G"); in the
        // fractions, the 15-digit text between the steps changes the last digit.
        const auto row = [](const char *option, const char *typed, const char *result,
                            const char *message = "") {
            QTest::addRow("%s %s", option, typed) << option << typed << result << message;
        };
        for (const char *option : {"cf", "ck", "fc", "fk", "kc", "kf"})
            row(option, "", "before|scratch", "0|The field is empty");
        row("cf", "100", "212|scratch");
        row("cf", "-40", "-40|scratch");
        row("cf", "0.1", "32.18|scratch");
        row("cf", "-17.7777777777778", "-4.2632564145606E-14|scratch");
        row("cf", "   ", "32|scratch");
        row("ck", "-273.15", "0|scratch");
        row("ck", "warm", "273.15|scratch");
        row("kc", "1000", "726.85|scratch");
        row("kc", "123456789.123456789", "123456515.973457|scratch");
        row("fc", "212", "100|");
        row("fc", "-40", "-40|");
        row("fc", "201.909147", "94.3939705555556|");
        row("fk", "212", "373.15|");
        row("fk", "577.446702", "576.175945555556|");
        row("kf", "273.15", "32|");
        row("kf", "300.415855", "81.078539|");
        // A fault stops the procedure at its step: the step's target keeps its caption, earlier
        // writes stay and nothing later runs.
        const char *overflow = "3|Run-time error '6':\n\nOverflow";
        row("cf", "1e308", "before|scratch", overflow);
        row("kc", "-1e400", "before|scratch", overflow);
        row("fc", "1e308", "before|1E+308", overflow);
        row("fk", "-1e308", "before|-1E+308", overflow);
        row("fk", "1.7976931348623157e308", "before|1.79769313486232E+308", overflow);
        row("kf", "1e308", "before|1E+308", overflow);
    }

    void conversion()
    {
        QFETCH(QString, optionName);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        QFETCH(QString, message);
        show(typed, "before", "scratch");
        MessageBoxes boxes;
        click(option(optionName));
        QCOMPARE(shown(), typed + '|' + result);
        const QString box = "Brightfold|" + message + "|OK|frmlogon";
        QCOMPARE(boxes.seen, message.isEmpty() ? QStringList{} : QStringList{box});
        if (typed.isEmpty()) { // the focus goes to "Do Nothing", which stays unselected
            QTRY_COMPARE(QApplication::focusWidget(), option("Option1"));
            QVERIFY(!option("Option1")->isChecked());
        }
        show("212", "", ""); // the window goes on working after a refusal or an error
        click(option("fc"));
        QCOMPARE(shown(), "212|100|");
    }

    // With the field empty, every run of a conversion shows one refusal.
    void everyWayOfSelectingConvertsOnce_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("selected");
        QTest::newRow("mouse") << "mouse"
                               << "ck";
        QTest::newRow("mouse on the selected option") << "again"
                                                      << "ck";
        QTest::newRow("Space") << "Space"
                               << "ck";
        QTest::newRow("arrow key") << "Down"
                                   << "kc";
        QTest::newRow("accessible Toggle action") << "Toggle"
                                                  << "ck";
    }

    void everyWayOfSelectingConvertsOnce()
    {
        QFETCH(QString, way);
        QFETCH(QString, selected);
        MessageBoxes boxes;
        if (way == "again" || way == "Down")
            click(option("ck"));
        boxes.seen.clear();
        QTRY_COMPARE(QApplication::activeWindow(), converter); // again, once a refusal closed
        option("ck")->setFocus();
        if (way == "mouse" || way == "again")
            click(option("ck"));
        else if (way == "Toggle")
            QAccessible::queryAccessibleInterface(option("ck"))
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::toggleAction());
        else
            QTest::keyClick(option("ck"), way == "Space" ? Qt::Key_Space : Qt::Key_Down);
        QTRY_COMPARE(boxes.seen.size(), 1);
        QTest::qWait(20);
        QVERIFY(option(selected)->isChecked());
        QTest::keyClicks(input(), "5"); // typing alone converts nothing
        QCOMPARE(shown() + QString::number(boxes.seen.size()), "5||1");
    }

    void reset()
    {
        show("212", "100", "scratch");
        MessageBoxes boxes;
        click(option("Option1"));
        QCOMPARE(shown(), "||");
        QVERIFY(option("Option1")->isChecked());
        QCOMPARE(QApplication::focusWidget(), option("Option1"));
        click(option("Option1")); // already empty: nothing to see
        QCOMPARE(shown() + boxes.seen.join(""), "||");
    }
};

QTEST_MAIN(ConverterTest)
#include "tst_converter.moc"
