// The converter window after a real login: its layout, the six conversions with every caption
// they write, the reset and the About messages.

#include "fonts.h"
#include "label.h"
#include "messageboxcatcher.h"
#include "testwindows.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using runtime::Label;

class ConverterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareTestApplication(); }
    void init();
    void cleanup() { discardAllWindows(); }

    void windowDefinition();
    void controlGeometry_data();
    void controlGeometry();
    void openingState();
    void focusOrder();
    void optionsFormOneGroup();
    void conversion_data();
    void conversion();
    void emptyFieldRefused_data();
    void emptyFieldRefused();
    void singleStepAfterMultiStepLeavesScratchEmpty();
    void clickingTheSelectedOptionConvertsAgain();
    void arrowKeysSelectAndConvert();
    void typingDoesNotConvert();
    void reset();
    void about_data();
    void about();
    void scratchLabelRevealedByEnlarging();
    void resizingMovesNothing();
    void closingEndsTheProgram();

private:
    QRadioButton *option(const char *name) { return control<QRadioButton>(converter, name); }
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

void ConverterTest::init()
{
    converter = logIn(QStringLiteral("Ann"));
    QVERIFY(converter);
}

void ConverterTest::windowDefinition()
{
    QCOMPARE(converter->windowTitle(), "Welcome Ann.");
    QCOMPARE(inTwips(QRect(QPoint(), converter->size())).size(), QSize(3585, 3375));
    QVERIFY(converter->minimumSize() != converter->maximumSize()); // sizable
    QCOMPARE(input()->accessibleName(), "Temperature");
    QCOMPARE(label("lbl1")->accessibleName(), "Result");
    const QFont equals = converter->findChild<QWidget *>("Label2")->font();
    QCOMPARE(equals.pointSizeF(), 9.75);
    QVERIFY(equals.bold());
    QCOMPARE(converter->windowIcon().availableSizes(),
             (QList<QSize>{{32, 32}, {16, 16}, {128, 128}, {48, 48}, {32, 32}, {16, 16}}));
}

void ConverterTest::controlGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Option1(1)") << "Option1"
                                << "Do Nothing" << QRect(2280, 720, 1215, 255);
    QTest::newRow("ck(2)") << "ck"
                           << "Celsius > Kelvin" << QRect(120, 600, 1815, 255);
    QTest::newRow("kc(3)") << "kc"
                           << "Kelvin > Celsius" << QRect(120, 840, 1815, 255);
    QTest::newRow("kf(4)") << "kf"
                           << "Kelvin > Fahrenheit" << QRect(120, 1080, 1815, 255);
    QTest::newRow("fk(5)") << "fk"
                           << "Fahrenheit > Kelvin" << QRect(120, 1320, 1815, 255);
    QTest::newRow("txt1") << "txt1"
                          << "" << QRect(120, 1680, 3375, 285);
    QTest::newRow("lbl1") << "lbl1"
                          << "" << QRect(120, 2400, 3375, 255);
    QTest::newRow("Label2") << "Label2"
                            << "Equals" << QRect(1440, 2040, 615, 255);
    QTest::newRow("cf") << "cf"
                        << "Celsius > Fahrenheit" << QRect(120, 120, 1935, 255);
    QTest::newRow("fc") << "fc"
                        << "Fahrenheit > Celsius" << QRect(120, 360, 1935, 255);
    QTest::newRow("lbl2") << "lbl2"
                          << "" << QRect(1320, 3600, 255, 135);
    QTest::newRow("Label1") << "Label1"
                            << "www.orvane.example" << QRect(600, 2880, 2295, 255);
    QTest::newRow("Label3") << "Label3"
                            << "Brightfold Version 1.0" << QRect(480, 3120, 2655, 255);
    QTest::newRow("Command1") << "Command1"
                              << "About" << QRect(2760, 120, 735, 255);
}

void ConverterTest::controlGeometry()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    auto *widget = converter->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(inTwips(widget->geometry()), twips);
    QVERIFY(widget->isVisibleTo(converter) && widget->isEnabled());
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), caption);
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), caption);
    if (!caption.isEmpty())
        QVERIFY2(widget->fontMetrics().horizontalAdvance(caption) <= runtime::captionRoom(widget),
                 "caption cut off");
}

void ConverterTest::openingState()
{
    QVERIFY(input()->text().isEmpty());
    QVERIFY(label("lbl1")->text().isEmpty());
    QVERIFY(label("lbl2")->text().isEmpty());
    for (QRadioButton *button : converter->findChildren<QRadioButton *>())
        QVERIFY2(!button->isChecked(), qPrintable(button->objectName()));
    QCOMPARE(QApplication::focusWidget(), option("Option1"));
}

void ConverterTest::focusOrder()
{
    QStringList chain;
    for (QWidget *w = option("Option1"); chain.size() < 9; w = w->nextInFocusChain()) {
        if (w->focusPolicy() != Qt::NoFocus)
            chain << w->objectName();
    }
    QCOMPARE(chain,
             (QStringList{"Option1", "ck", "kc", "kf", "fk", "txt1", "cf", "fc", "Command1"}));

    // The seven options are one tab stop, as option buttons are: Tab enters the group at the
    // selected option and the arrow keys move within it.
    const auto tabThrough = [] {
        QStringList visited;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        return visited;
    };
    QCOMPARE(tabThrough(), (QStringList{"txt1", "Command1", "Option1"}));
    QVERIFY(!option("Option1")->isChecked()); // the focus alone selects nothing
    enter("1");
    click(option("kf"));
    QCOMPARE(tabThrough(), (QStringList{"txt1", "Command1", "kf"}));
}

void ConverterTest::optionsFormOneGroup()
{
    MessageBoxCatcher catcher; // "Do Nothing" empties the field: later options refuse it
    enter("10");
    const auto options = converter->findChildren<QRadioButton *>();
    QCOMPARE(options.size(), 7);
    for (QRadioButton *chosen : options) {
        click(chosen);
        for (QRadioButton *other : options)
            QCOMPARE(other->isChecked(), other == chosen);
    }
}

void ConverterTest::conversion_data()
{
    QTest::addColumn<QString>("optionName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("lbl1Writes");
    QTest::addColumn<QStringList>("lbl2Writes");
    QTest::addColumn<QString>("error"); // the run-time error message, if one is shown
    using L = QStringList;
    const QString overflow = "Run-time error '6':\n\nOverflow";
    // Expected values from an independent computation (Python floats and "%.15G").
    QTest::newRow("cf 100") << "cf"
                            << "100" << L{"212"} << L{} << "";
    QTest::newRow("cf -40") << "cf"
                            << "-40" << L{"-40"} << L{} << "";
    QTest::newRow("cf 25") << "cf"
                           << "25" << L{"77"} << L{} << "";
    QTest::newRow("cf 0.1") << "cf"
                            << "0.1" << L{"32.18"} << L{} << "";
    QTest::newRow("cf round trip of -17.78")
        << "cf"
        << "-17.7777777777778" << L{"-4.2632564145606E-14"} << L{} << "";
    QTest::newRow("cf 1e15") << "cf"
                             << "1e15" << L{"1.80000000000003E+15"} << L{} << "";
    QTest::newRow("cf blanks") << "cf"
                               << "   " << L{"32"} << L{} << "";
    QTest::newRow("cf letters") << "cf"
                                << "warm" << L{"32"} << L{} << "";
    QTest::newRow("ck -273.15") << "ck"
                                << "-273.15" << L{"0"} << L{} << "";
    QTest::newRow("ck 100") << "ck"
                            << "100" << L{"373.15"} << L{} << "";
    QTest::newRow("ck blanks") << "ck"
                               << " " << L{"273.15"} << L{} << "";
    QTest::newRow("ck largest double")
        << "ck"
        << "1.7976931348623157e308" << L{"1.79769313486232E+308"} << L{} << "";
    QTest::newRow("kc 273.15") << "kc"
                               << "273.15" << L{"0"} << L{} << "";
    QTest::newRow("kc 1000") << "kc"
                             << "1000" << L{"726.85"} << L{} << "";
    QTest::newRow("kc letters") << "kc"
                                << "abc" << L{"-273.15"} << L{} << "";
    QTest::newRow("kc long fraction")
        << "kc"
        << "123456789.123456789" << L{"123456515.973457"} << L{} << "";
    QTest::newRow("fc 212") << "fc"
                            << "212" << L{"100"} << L{"180", "900", "100", ""} << "";
    QTest::newRow("fc -40") << "fc"
                            << "-40" << L{"-40"} << L{"-72", "-360", "-40", ""} << "";
    QTest::newRow("fc 100") << "fc"
                            << "100" << L{"37.7777777777778"}
                            << L{"68", "340", "37.7777777777778", ""} << "";
    QTest::newRow("fc 98.6") << "fc"
                             << "98.6" << L{"37"} << L{"66.6", "333", "37", ""} << "";
    QTest::newRow("fk 212") << "fk"
                            << "212" << L{"100", "373.15"} << L{"180", "900", "100", ""} << "";
    QTest::newRow("fk 32") << "fk"
                           << "32" << L{"0", "273.15"} << L{"0", "0", "0", ""} << "";
    QTest::newRow("fk absolute zero")
        << "fk"
        << "-459.67" << L{"-273.15", "0"} << L{"-491.67", "-2458.35", "-273.15", ""} << "";
    QTest::newRow("fk 100") << "fk"
                            << "100" << L{"37.7777777777778", "310.927777777778"}
                            << L{"68", "340", "37.7777777777778", ""} << "";
    QTest::newRow("kf 273.15") << "kf"
                               << "273.15" << L{"32"} << L{"0", ""} << "";
    QTest::newRow("kf 373.15") << "kf"
                               << "373.15" << L{"212"} << L{"100", ""} << "";
    QTest::newRow("kf 0") << "kf"
                          << "0" << L{"-459.67"} << L{"-273.15", ""} << "";
    QTest::newRow("kf long fraction")
        << "kf"
        << "300.123456789" << L{"80.5522222202"} << L{"26.973456789", ""} << "";

    // A fault stops the procedure at its step: earlier writes stay, the step's target keeps
    // its caption and nothing later runs.
    QTest::newRow("cf overflow") << "cf"
                                 << "1e308" << L{} << L{} << overflow;
    QTest::newRow("ck unreadable") << "ck"
                                   << "1e400" << L{} << L{} << overflow;
    QTest::newRow("kc unreadable") << "kc"
                                   << "-1e400" << L{} << L{} << overflow;
    QTest::newRow("fc overflow in step 2") << "fc"
                                           << "1e308" << L{} << L{"1E+308"} << overflow;
    QTest::newRow("fk unreadable round trip")
        << "fk"
        << "1.7976931348623157e308" << L{} << L{"1.79769313486232E+308"} << overflow;
    QTest::newRow("fk overflow in step 2") << "fk"
                                           << "-1e308" << L{} << L{"-1E+308"} << overflow;
    QTest::newRow("kf overflow in step 2") << "kf"
                                           << "1e308" << L{} << L{"1E+308"} << overflow;
}

void ConverterTest::conversion()
{
    QFETCH(QString, optionName);
    QFETCH(QString, typed);
    QFETCH(QStringList, lbl1Writes);
    QFETCH(QStringList, lbl2Writes);
    QFETCH(QString, error);
    label("lbl1")->setCaption("before");
    label("lbl2")->setCaption("scratch");
    enter(typed);

    CaptionRecorder result(label("lbl1"));
    CaptionRecorder scratch(label("lbl2"));
    MessageBoxCatcher catcher;
    click(option(qPrintable(optionName)));

    QCOMPARE(result.writes, lbl1Writes);
    QCOMPARE(scratch.writes, lbl2Writes);
    QCOMPARE(label("lbl1")->text(), lbl1Writes.isEmpty() ? "before" : lbl1Writes.last());
    QCOMPARE(input()->text(), typed);
    if (error.isEmpty()) {
        QCOMPARE(catcher.messages.size(), 0);
        return;
    }
    QCOMPARE(catcher.messages.size(), 1);
    QCOMPARE(catcher.messages[0].text, error);
    QCOMPARE(catcher.messages[0].title, "Brightfold");
    QCOMPARE(catcher.messages[0].icon, QMessageBox::Critical);

    // The window goes on working after the error.
    enter("212");
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
    click(option(qPrintable(optionName)));

    QCOMPARE(catcher.messages.size(), 1);
    QCOMPARE(catcher.messages[0].text, "The field is empty");
    QCOMPARE(catcher.messages[0].title, "Brightfold");
    QCOMPARE(catcher.messages[0].icon, QMessageBox::NoIcon);
    QCOMPARE(catcher.messages[0].buttons, QStringList{"OK"});
    QTRY_COMPARE(QApplication::focusWidget(), option("Option1"));
    QVERIFY(!option("Option1")->isChecked()); // focus only: the reset does not run
    QVERIFY(result.writes.isEmpty());
    QVERIFY(scratch.writes.isEmpty());
}

void ConverterTest::singleStepAfterMultiStepLeavesScratchEmpty()
{
    enter("212");
    click(option("fk"));
    CaptionRecorder scratch(label("lbl2"));
    for (const char *name : {"cf", "ck", "kc"})
        click(option(name));
    QVERIFY(scratch.writes.isEmpty());
    QCOMPARE(label("lbl2")->text(), "");
}

void ConverterTest::clickingTheSelectedOptionConvertsAgain()
{
    enter("100");
    click(option("cf"));
    enter("0");
    CaptionRecorder result(label("lbl1"));
    click(option("cf"));
    QCOMPARE(result.writes, QStringList{"32"});
}

void ConverterTest::arrowKeysSelectAndConvert()
{
    enter("100");
    click(option("ck"));
    CaptionRecorder result(label("lbl1"));
    QTest::keyClick(option("ck"), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), option("kc"));
    QVERIFY(option("kc")->isChecked());
    QCOMPARE(result.writes, QStringList{"-173.15"});
    QTest::keyClick(option("kc"), Qt::Key_Space);
    QCOMPARE(result.writes, (QStringList{"-173.15", "-173.15"}));
}

void ConverterTest::typingDoesNotConvert()
{
    CaptionRecorder result(label("lbl1"));
    CaptionRecorder scratch(label("lbl2"));
    QTest::keyClicks(input(), "37.5");
    QTest::keyClick(input(), Qt::Key_Return);
    QTest::keyClick(input(), Qt::Key_Escape);
    QVERIFY(result.writes.isEmpty() && scratch.writes.isEmpty());
    QCOMPARE(input()->text(), "37.5");
    QVERIFY(converter->isVisible());
}

void ConverterTest::reset()
{
    enter("212");
    click(option("fc"));
    CaptionRecorder result(label("lbl1"));
    CaptionRecorder scratch(label("lbl2"));
    QString inputWhenLabelsCleared = "not cleared";
    connect(label("lbl1"), &Label::captionWritten, this,
            [&] { inputWhenLabelsCleared = input()->text(); });

    MessageBoxCatcher catcher;
    click(option("Option1"));
    QCOMPARE(inputWhenLabelsCleared, ""); // txt1 first, then lbl1, then lbl2
    QCOMPARE(result.writes, QStringList{""});
    QCOMPARE(scratch.writes, QStringList{""});
    QVERIFY(catcher.messages.isEmpty());
    QVERIFY(option("Option1")->isChecked());
    QCOMPARE(QApplication::focusWidget(), option("Option1"));

    click(option("Option1")); // already empty: nothing changes, nothing is shown
    QVERIFY(catcher.messages.isEmpty());
    click(option("kc"));
    QCOMPARE(catcher.messages.size(), 1);
    QCOMPARE(catcher.messages[0].text, "The field is empty");
}

void ConverterTest::about_data()
{
    using C = MessageBoxCatcher;
    QTest::addColumn<QList<C::CloseBy>>("closings");
    QTest::newRow("clicked") << QList{C::ClickButton};
    QTest::newRow("Enter and Esc")
        << QList{C::PressEnter, C::PressEscape, C::ClickButton, C::PressEscape, C::PressEnter};
}

void ConverterTest::about()
{
    QFETCH(QList<MessageBoxCatcher::CloseBy>, closings);
    enter("42");
    click(option("ck"));
    MessageBoxCatcher catcher(closings);
    click(control<QPushButton>(converter, "Command1"));

    QStringList texts;
    for (const CaughtMessage &message : catcher.messages) {
        texts << message.text;
        QCOMPARE(message.title, "Brightfold");
        QCOMPARE(message.icon, QMessageBox::Information);
        QCOMPARE(message.buttons, QStringList{"OK"});
    }
    QCOMPARE(texts, (QStringList{"Brightfold Version 1.0", "From www.orvane.example",
                                 "Made by Orvane", "Please report any bugs", "Enjoy!"}));
    QCOMPARE(input()->text(), "42");
    QCOMPARE(label("lbl1")->text(), "315.15");
    QVERIFY(option("ck")->isChecked());
}

void ConverterTest::scratchLabelRevealedByEnlarging()
{
    const auto shownHeight = [this] {
        return label("lbl2")->visibleRegion().boundingRect().height();
    };
    QCOMPARE(shownHeight(), 0);
    converter->resize(converter->width(), 3615 / 15);
    QTRY_COMPARE(shownHeight(), 1);
    converter->resize(converter->width(), 3735 / 15);
    QTRY_COMPARE(shownHeight(), 9);
}

void ConverterTest::resizingMovesNothing()
{
    QHash<QWidget *, QRect> before;
    for (QWidget *child : converter->findChildren<QWidget *>())
        before.insert(child, child->geometry());
    converter->resize(100, 120);
    QTRY_COMPARE(converter->size(), QSize(100, 120));
    converter->resize(400, 400);
    QTRY_COMPARE(converter->size(), QSize(400, 400));
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(it.key()->geometry(), it.value());
}

void ConverterTest::closingEndsTheProgram()
{
    QCOMPARE(runUntilProgramEnds([this] { converter->close(); }), 0);
}

QTEST_MAIN(ConverterTest)
#include "tst_converter.moc"
