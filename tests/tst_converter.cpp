// The converter window after a real login: the six conversions with every caption they write,
// the reset and the About messages, driven with the mouse and keyboard as a user would.

#include "label.h"
#include "messageboxcatcher.h"
#include "testwindows.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using runtime::Label;

class ConverterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareTestApplication(); }
    void init() { QVERIFY((converter = logIn("Ann"))); }
    void cleanup() { discardAllWindows(); }

    void openingAndFocus();
    void conversion_data();
    void conversion();
    void emptyFieldRefused_data();
    void emptyFieldRefused();
    void everyClickAndArrowConverts();
    void reset();
    void about();
    void scratchLabelRevealedByEnlarging();
    void closingEndsTheProgram();

private:
    QRadioButton *option(const QString &name) { return control<QRadioButton>(converter, name); }
    QLineEdit *input() { return control<QLineEdit>(converter, "txt1"); }
    Label *label(const char *name) { return control<Label>(converter, name); }
    void enter(const QString &text)
    {
        input()->clear();
        QTest::keyClicks(input(), text);
    }
    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    QWidget *converter = nullptr;
};

void ConverterTest::openingAndFocus()
{
    QCOMPARE(converter->windowTitle(), "Welcome Ann.");
    QVERIFY(input()->text().isEmpty() && label("lbl1")->text().isEmpty() &&
            label("lbl2")->text().isEmpty());
    for (QRadioButton *button : converter->findChildren<QRadioButton *>())
        QVERIFY2(!button->isChecked(), qPrintable(button->objectName()));
    QCOMPARE(QApplication::focusWidget(), option("Option1"));

    QStringList chain;
    for (QWidget *w = option("Option1"); chain.size() < 9; w = w->nextInFocusChain()) {
        if (w->focusPolicy() != Qt::NoFocus)
            chain << w->objectName();
    }
    QCOMPARE(chain,
             (QStringList{"Option1", "ck", "kc", "kf", "fk", "txt1", "cf", "fc", "Command1"}));
    // The seven options are one tab stop, as option buttons are: Tab enters the group at the
    // selected option, and the focus alone selects nothing.
    const auto tabThrough = [] {
        QStringList visited;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        return visited;
    };
    QCOMPARE(tabThrough(), (QStringList{"txt1", "Command1", "Option1"}));
    QVERIFY(!option("Option1")->isChecked());
    enter("1");
    click(option("kf"));
    QCOMPARE(tabThrough(), (QStringList{"txt1", "Command1", "kf"}));
}

void ConverterTest::conversion_data()
{
    QTest::addColumn<QString>("optionName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("lbl1Writes");
    QTest::addColumn<QStringList>("lbl2Writes");
    QTest::addColumn<bool>("overflows");
    using L = QStringList;
    // Expected values from an independent computation (Python floats and "%.15G").
    QTest::newRow("cf 100") << "cf"
                            << "100" << L{"212"} << L{} << false;
    QTest::newRow("cf -40") << "cf"
                            << "-40" << L{"-40"} << L{} << false;
    QTest::newRow("cf 0.1") << "cf"
                            << "0.1" << L{"32.18"} << L{} << false;
    QTest::newRow("cf of a 15-digit form")
        << "cf"
        << "-17.7777777777778" << L{"-4.2632564145606E-14"} << L{} << false;
    QTest::newRow("cf blanks") << "cf"
                               << "   " << L{"32"} << L{} << false;
    QTest::newRow("ck -273.15") << "ck"
                                << "-273.15" << L{"0"} << L{} << false;
    QTest::newRow("ck letters") << "ck"
                                << "warm" << L{"273.15"} << L{} << false;
    QTest::newRow("ck largest double")
        << "ck"
        << "1.7976931348623157e308" << L{"1.79769313486232E+308"} << L{} << false;
    QTest::newRow("kc 1000") << "kc"
                             << "1000" << L{"726.85"} << L{} << false;
    QTest::newRow("kc long fraction")
        << "kc"
        << "123456789.123456789" << L{"123456515.973457"} << L{} << false;
    QTest::newRow("fc 212") << "fc"
                            << "212" << L{"100"} << L{"180", "900", "100", ""} << false;
    QTest::newRow("fc -40") << "fc"
                            << "-40" << L{"-40"} << L{"-72", "-360", "-40", ""} << false;
    QTest::newRow("fc 100") << "fc"
                            << "100" << L{"37.7777777777778"}
                            << L{"68", "340", "37.7777777777778", ""} << false;
    QTest::newRow("fk 212") << "fk"
                            << "212" << L{"100", "373.15"} << L{"180", "900", "100", ""} << false;
    QTest::newRow("fk 32") << "fk"
                           << "32" << L{"0", "273.15"} << L{"0", "0", "0", ""} << false;
    QTest::newRow("fk 100") << "fk"
                            << "100" << L{"37.7777777777778", "310.927777777778"}
                            << L{"68", "340", "37.7777777777778", ""} << false;
    QTest::newRow("kf 273.15") << "kf"
                               << "273.15" << L{"32"} << L{"0", ""} << false;
    QTest::newRow("kf 373.15") << "kf"
                               << "373.15" << L{"212"} << L{"100", ""} << false;
    QTest::newRow("kf long fraction")
        << "kf"
        << "300.123456789" << L{"80.5522222202"} << L{"26.973456789", ""} << false;
    // A fault stops the procedure at its step: earlier writes stay, the step's target keeps
    // its caption and nothing later runs.
    QTest::newRow("cf overflow") << "cf"
                                 << "1e308" << L{} << L{} << true;
    QTest::newRow("kc unreadable") << "kc"
                                   << "-1e400" << L{} << L{} << true;
    QTest::newRow("fc step 2") << "fc"
                               << "1e308" << L{} << L{"1E+308"} << true;
    QTest::newRow("fk step 2") << "fk"
                               << "-1e308" << L{} << L{"-1E+308"} << true;
    QTest::newRow("fk unreadable round trip")
        << "fk"
        << "1.7976931348623157e308" << L{} << L{"1.79769313486232E+308"} << true;
    QTest::newRow("kf step 2") << "kf"
                               << "1e308" << L{} << L{"1E+308"} << true;
}

void ConverterTest::conversion()
{
    QFETCH(QString, optionName);
    QFETCH(QString, typed);
    QFETCH(QStringList, lbl1Writes);
    QFETCH(QStringList, lbl2Writes);
    QFETCH(bool, overflows);
    label("lbl1")->setCaption("before");
    label("lbl2")->setCaption("scratch");
    enter(typed);

    CaptionRecorder result(label("lbl1"));
    CaptionRecorder scratch(label("lbl2"));
    MessageBoxCatcher catcher;
    click(option(optionName));

    QCOMPARE(result.writes, lbl1Writes);
    QCOMPARE(scratch.writes, lbl2Writes); // cf, ck and kc never touch lbl2
    QCOMPARE(label("lbl1")->text(), lbl1Writes.isEmpty() ? "before" : lbl1Writes.last());
    QCOMPARE(input()->text(), typed);
    const QList<CaughtMessage> errors{
        okBox("Run-time error '6':\n\nOverflow", "Brightfold", QMessageBox::Critical)};
    QCOMPARE(catcher.messages, overflows ? errors : QList<CaughtMessage>{});

    enter("212"); // the window goes on working after an error
    click(option("fc"));
    QCOMPARE(label("lbl1")->text(), "100");
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
    CaptionRecorder result(label("lbl1"));
    CaptionRecorder scratch(label("lbl2"));
    MessageBoxCatcher catcher;
    click(option(optionName));

    QCOMPARE(catcher.messages,
             QList{okBox("The field is empty", "Brightfold", QMessageBox::NoIcon)});
    QTRY_COMPARE(QApplication::focusWidget(), option("Option1"));
    QVERIFY(!option("Option1")->isChecked()); // the focus only: the reset does not run
    QVERIFY(result.writes.isEmpty() && scratch.writes.isEmpty());
}

void ConverterTest::everyClickAndArrowConverts()
{
    enter("100");
    click(option("ck"));
    CaptionRecorder result(label("lbl1"));
    enter("0");
    click(option("ck")); // clicking the selected option converts the new number
    QTest::keyClick(option("ck"), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), option("kc"));
    QVERIFY(option("kc")->isChecked());
    QTest::keyClick(option("kc"), Qt::Key_Space);
    QCOMPARE(result.writes, (QStringList{"273.15", "-273.15", "-273.15"}));
    QTest::keyClicks(input(), "5"); // typing alone converts nothing
    QCOMPARE(result.writes.size(), 3);
}

void ConverterTest::reset()
{
    enter("212");
    click(option("fc"));
    CaptionRecorder result(label("lbl1"));
    CaptionRecorder scratch(label("lbl2"));
    QString inputWhenLabelCleared = "not cleared";
    connect(label("lbl1"), &Label::captionWritten, this,
            [&] { inputWhenLabelCleared = input()->text(); });

    MessageBoxCatcher catcher;
    click(option("Option1"));
    QCOMPARE(inputWhenLabelCleared, ""); // txt1 first, then lbl1, then lbl2
    QCOMPARE(result.writes, QStringList{""});
    QCOMPARE(scratch.writes, QStringList{""});
    QVERIFY(option("Option1")->isChecked());
    QCOMPARE(QApplication::focusWidget(), option("Option1"));
    click(option("Option1")); // already empty: nothing is shown
    QVERIFY(catcher.messages.isEmpty());
    click(option("kc"));
    QCOMPARE(catcher.messages,
             QList{okBox("The field is empty", "Brightfold", QMessageBox::NoIcon)});
}

void ConverterTest::about()
{
    enter("42");
    click(option("ck"));
    using C = MessageBoxCatcher;
    MessageBoxCatcher catcher({C::PressEnter, C::PressEscape, C::ClickButton, C::PressEscape});
    click(control<QPushButton>(converter, "Command1"));

    QList<CaughtMessage> expected;
    for (const char *text : {"Brightfold Version 1.0", "From www.orvane.example", "Made by Orvane",
                             "Please report any bugs", "Enjoy!"})
        expected << okBox(text, "Brightfold", QMessageBox::Information);
    QCOMPARE(catcher.messages, expected);
    QCOMPARE(input()->text() + ' ' + label("lbl1")->text(), "42 315.15");
    QVERIFY(option("ck")->isChecked());
}

void ConverterTest::scratchLabelRevealedByEnlarging()
{
    const auto shown = [this] { return label("lbl2")->visibleRegion().boundingRect().height(); };
    QCOMPARE(shown(), 0);
    converter->resize(converter->width(), 3615 / 15);
    QTRY_COMPARE(shown(), 1);
    converter->resize(converter->width(), 3735 / 15);
    QTRY_COMPARE(shown(), 9);
    QCOMPARE(inTwips(label("lbl2")->geometry()), QRect(1320, 3600, 255, 135)); // nothing moved
}

void ConverterTest::closingEndsTheProgram()
{
    QCOMPARE(runUntilProgramEnds([this] { converter->close(); }), 0);
}

QTEST_MAIN(ConverterTest)
#include "tst_converter.moc"
