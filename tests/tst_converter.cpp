// The converter window after a real login: the six conversions, the empty-field refusal, every way
// of selecting an option, the reset and the About messages, driven as a user would.

#include "support.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class ConverterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareApplication(); }
    void init() { QVERIFY((converter = logIn("Ann"))); }
    void cleanup() { discardWindows(); }
    void opening();
    void conversion_data();
    void conversion();
    void emptyFieldRefused_data();
    void emptyFieldRefused();
    void everyWayOfSelectingConvertsOnce_data();
    void everyWayOfSelectingConvertsOnce();
    void reset();
    void about();
    void closingEndsTheProgram();

private:
    QRadioButton *option(const QString &name)
    {
        return child<QRadioButton>(converter, qPrintable(name));
    }
    QLineEdit *input() { return child<QLineEdit>(converter, "txt1"); }
    QString shown() // what the input, the result and the scratch label show
    {
        return input()->text() + '|' + child<QLabel>(converter, "lbl1")->text() + '|' +
               child<QLabel>(converter, "lbl2")->text();
    }
    void show(const QString &typed, const QString &result, const QString &scratch)
    {
        input()->setText(typed);
        child<QLabel>(converter, "lbl1")->setText(result);
        child<QLabel>(converter, "lbl2")->setText(scratch);
    }

    QWidget *converter = nullptr;
};

void ConverterTest::opening()
{
    QCOMPARE(converter->windowTitle() + shown(), "Welcome Ann.||");
    QCOMPARE(QApplication::focusWidget(), option("Option1"));
    QStringList chain;
    for (QWidget *w = option("Option1"); chain.size() < 9; w = w->nextInFocusChain()) {
        if (w->focusPolicy() != Qt::NoFocus)
            chain << w->objectName();
        QVERIFY2(!qobject_cast<QRadioButton *>(w) || !option(w->objectName())->isChecked(),
                 "an option is selected at opening");
    }
    QCOMPARE(chain.join(' '), "Option1 ck kc kf fk txt1 cf fc Command1");
}

void ConverterTest::conversion_data()
{
    QTest::addColumn<QString>("optionName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result"); // lbl1|lbl2 afterwards; "before|scratch" is untouched
    QTest::addColumn<bool>("overflows");
    // Expected values from an independent computation (Python floats and "%.15G"); the
    // fractions are ones where the 15-digit text between the steps changes the last digit.
    const auto row = [](const char *option, const char *typed, const char *result,
                        bool overflows = false) {
        QTest::addRow("%s %s", option, typed) << option << typed << result << overflows;
    };
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
    row("cf", "1e308", "before|scratch", true);
    row("kc", "-1e400", "before|scratch", true);
    row("fc", "1e308", "before|1E+308", true);
    row("fk", "-1e308", "before|-1E+308", true);
    row("fk", "1.7976931348623157e308", "before|1.79769313486232E+308", true);
    row("kf", "1e308", "before|1E+308", true);
}

void ConverterTest::conversion()
{
    QFETCH(QString, optionName);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    QFETCH(bool, overflows);
    show(typed, "before", "scratch");
    MessageBoxes boxes;
    QTest::mouseClick(option(optionName), Qt::LeftButton);
    QCOMPARE(shown(), typed + '|' + result);
    const QString error = "Brightfold|3|Run-time error '6':\n\nOverflow|OK|frmlogon";
    QCOMPARE(boxes.seen, overflows ? QStringList{error} : QStringList{});

    show("212", "", ""); // the window goes on working after an error
    QTest::mouseClick(option("fc"), Qt::LeftButton);
    QCOMPARE(shown(), "212|100|");
}

void ConverterTest::emptyFieldRefused_data()
{
    QTest::addColumn<QString>("optionName");
    for (const char *name : {"cf", "ck", "fc", "fk", "kc", "kf"})
        QTest::newRow(name) << name;
}

void ConverterTest::emptyFieldRefused()
{
    QFETCH(QString, optionName);
    show("", "before", "scratch");
    MessageBoxes boxes;
    QTest::mouseClick(option(optionName), Qt::LeftButton);
    QCOMPARE(boxes.seen, QStringList{"Brightfold|0|The field is empty|OK|frmlogon"});
    QTRY_COMPARE(QApplication::focusWidget(), option("Option1"));
    QVERIFY(!option("Option1")->isChecked()); // the focus only: the reset does not run
    QCOMPARE(shown(), "|before|scratch");
}

void ConverterTest::everyWayOfSelectingConvertsOnce_data()
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

// With the field empty, every run of a conversion shows one refusal.
void ConverterTest::everyWayOfSelectingConvertsOnce()
{
    QFETCH(QString, way);
    QFETCH(QString, selected);
    MessageBoxes boxes;
    if (way == "again" || way == "Down")
        QTest::mouseClick(option("ck"), Qt::LeftButton);
    boxes.seen.clear();
    QTRY_COMPARE(QApplication::activeWindow(), converter); // again, once the refusal has closed
    option("ck")->setFocus();
    if (way == "mouse" || way == "again")
        QTest::mouseClick(option("ck"), Qt::LeftButton);
    else if (way == "Toggle")
        QAccessible::queryAccessibleInterface(option("ck"))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::toggleAction());
    else
        QTest::keyClick(option("ck"), way == "Space" ? Qt::Key_Space : Qt::Key_Down);
    QTRY_COMPARE(boxes.seen.size(), 1);
    QTest::qWait(20);
    QCOMPARE(boxes.seen.size(), 1);
    QVERIFY(option(selected)->isChecked());
    QTest::keyClicks(input(), "5"); // typing alone converts nothing
    QCOMPARE(shown() + QString::number(boxes.seen.size()), "5||1");
}

void ConverterTest::reset()
{
    show("212", "", "");
    QTest::mouseClick(option("fk"), Qt::LeftButton);
    child<QLabel>(converter, "lbl2")->setText("scratch");
    MessageBoxes boxes;
    QTest::mouseClick(option("Option1"), Qt::LeftButton);
    QCOMPARE(shown(), "||");
    QVERIFY(option("Option1")->isChecked());
    QCOMPARE(QApplication::focusWidget(), option("Option1"));
    QTest::mouseClick(option("Option1"), Qt::LeftButton); // already empty: nothing to see
    QCOMPARE(shown() + boxes.seen.join(""), "||");
    QTest::mouseClick(option("kc"), Qt::LeftButton);
    QCOMPARE(boxes.seen, QStringList{"Brightfold|0|The field is empty|OK|frmlogon"});
}

void ConverterTest::about()
{
    show("42", "315.15", "");
    MessageBoxes boxes;
    QTest::mouseClick(child<QPushButton>(converter, "Command1"), Qt::LeftButton);
    QStringList expected{"Brightfold Version 1.0", "From www.orvane.example", "Made by Orvane",
                         "Please report any bugs", "Enjoy!"};
    QCOMPARE(boxes.seen, expected.replaceInStrings(QRegularExpression("^(.*)$"),
                                                   "Brightfold|1|\\1|OK|frmlogon"));
    QCOMPARE(shown(), "42|315.15|");
}

void ConverterTest::closingEndsTheProgram()
{
    QCOMPARE(exitStatusAfter([this] { converter->close(); }), 0);
}

QTEST_MAIN(ConverterTest)
#include "tst_converter.moc"
