// Hostile input through the real windows: texts as long as a text box holds and longer, pasted
// at once; control characters, NUL, lone surrogate halves, direction marks and emoji; and rapid
// repeated clicks on the options and on OK.

#include "frmlogin.h"
#include "label.h"
#include "messageboxcatcher.h"
#include "testwindows.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWindow>

using runtime::Label;

namespace {

constexpr int boxLimit = 32767; // the most characters a text box holds

// A text given as UTF-16 code units, which may hold NUL and lone surrogate halves.
QString units(const char16_t *codeUnits, qsizetype size = -1)
{
    return size < 0 ? QStringView(codeUnits).toString() : QStringView(codeUnits, size).toString();
}

} // namespace

class HostileInputTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareTestApplication(); }
    void cleanup() { discardAllWindows(); }
    void userName_data();
    void userName();
    void temperature_data();
    void temperature();
    void rapidOptionClicks_data();
    void rapidOptionClicks();
    void rapidOkClicks_data();
    void rapidOkClicks();

private:
    QWidget *logInAs(const QString &userName, const QString &password = "bluelanterns");
    QRadioButton *option(const QString &name) { return control<QRadioButton>(converter, name); }
    QLineEdit *input() { return control<QLineEdit>(converter, "txt1"); }
    Label *label(const char *name) { return control<Label>(converter, name); }

    QWidget *converter = nullptr;
};

// Logs in with the name pasted into its box and the password typed.
QWidget *HostileInputTest::logInAs(const QString &userName, const QString &password)
{
    frmLogin *login = openLoginWindow();
    pasteInto(control<QLineEdit>(login, "txtUserName"), userName);
    QTest::keyClicks(control<QLineEdit>(login, "txtPassword"), password);
    clickOn(control<QPushButton>(login, "cmdOK"));
    return converter = converterWindow();
}

void HostileInputTest::userName_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("longer than the box, cut inside an emoji")
        << QString(boxLimit - 1, u'a') + units(u"\U0001F600");
    QTest::newRow("control characters") << QStringLiteral("\x01\tAnn\r\n\x7f");
    QTest::newRow("NUL inside") << units(u"A\0nn", 4);
    QTest::newRow("lone surrogate halves") << units(u"\xde00 Ann \xd83d");
    QTest::newRow("right-to-left marks") << units(u"\x200f\x202e"
                                                  u"Ann\x200e");
    QTest::newRow("emoji") << units(u"\U0001F469\x200d\U0001F469\x200d\U0001F467 Ann");
    QTest::newRow("title placeholder") << "[*]Ann[*][*]";
    QTest::newRow("markup and accelerator") << "<b>&Ann</b> %1";
}

// The welcome caption is "Welcome ", the name exactly as the box took it, then ".", as the
// window shows it.
void HostileInputTest::userName()
{
    QFETCH(QString, name);
    MessageBoxCatcher catcher;
    QVERIFY(logInAs(name));
    QVERIFY(catcher.messages.isEmpty());
    QVERIFY(converter->windowHandle()->title() == "Welcome " + name.left(boxLimit) + ".");
}

void HostileInputTest::temperature_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("optionName");
    QTest::addColumn<QStringList>("lbl1Writes"); // none when the conversion overflows
    using L = QStringList;
    const QString zeros(boxLimit - 1, u'0');
    // Only blanks, tabs, CR and LF are skipped; any other character ends the number, so one in
    // front of it leaves nothing to read (0). Expected values from Python floats and "%.15G".
    QTest::newRow("all nines") << QString(boxLimit, u'9') << "cf" << L{};
    QTest::newRow("leading zeros, digit past the limit") << zeros + "75"
                                                         << "cf" << L{"44.6"};
    QTest::newRow("long fraction") << "1." + QString(boxLimit - 2, u'5') << "cf" << L{"34.8"};
    QTest::newRow("blanks between digits") << "1" + QString(boxLimit - 2, u' ') + "2"
                                           << "cf" << L{"53.6"};
    QTest::newRow("long exponent") << "1e" + zeros.left(boxLimit - 3) + "5"
                                   << "cf" << L{"180032"};
    QTest::newRow("huge exponent") << "1d+" + QString(boxLimit - 3, u'9') << "kc" << L{};
    QTest::newRow("NUL alone is not empty") << units(u"\0", 1) << "cf" << L{"32"};
    QTest::newRow("NUL after") << units(u"12\0", 3) << "fk"
                               << L{"-11.1111111111111", "262.038888888889"};
    QTest::newRow("RLM before") << units(u"\x200f"
                                         u"12")
                                << "cf" << L{"32"};
    QTest::newRow("emoji after") << units(u"12\U0001F525") << "kf" << L{"-438.07"};
    QTest::newRow("fullwidth digits") << units(u"\xff11\xff12") << "cf" << L{"32"};
    QTest::newRow("mark inside exponent") << units(u"1e\x200f"
                                                   u"5")
                                          << "cf" << L{"33.8"};
}

void HostileInputTest::temperature()
{
    QFETCH(QString, pasted);
    QFETCH(QString, optionName);
    QFETCH(QStringList, lbl1Writes);
    QVERIFY(logInAs("Ann"));
    pasteInto(input(), pasted);
    const QString kept = pasted.left(boxLimit); // the rest is cut off by the box
    QVERIFY(input()->text() == kept);

    CaptionRecorder result(label("lbl1"));
    MessageBoxCatcher catcher;
    clickOn(option(optionName));
    QCOMPARE(result.writes, lbl1Writes);
    QCOMPARE(catcher.messages.size(), lbl1Writes.isEmpty() ? 1 : 0); // the Overflow error
    QVERIFY(input()->text() == kept);
}

void HostileInputTest::rapidOptionClicks_data()
{
    QTest::addColumn<QStringList>("pattern"); // clicked in turn, 150 times over
    QTest::addColumn<bool>("doubleClicks");
    QTest::addColumn<QString>("result");   // lbl1 at the end
    QTest::addColumn<int>("refusals");     // "The field is empty" boxes
    QTest::addColumn<int>("resultWrites"); // captions written into lbl1 in all
    using L = QStringList;
    // Expected values from Python floats and "%.15G", for the input 212.
    QTest::newRow("all six") << L{"cf", "ck", "kc", "fc", "fk", "kf"} << false << "-78.07" << 0
                             << 1050;
    QTest::newRow("the selected one again") << L{"fk"} << true << "373.15" << 0 << 600;
    QTest::newRow("with the reset") << L{"kc", "Option1", "kf"} << false << "" << 299 << 151;
}

// However fast the options are clicked, each click is one conversion: exactly one option ends
// checked, lbl1 holds what one conversion gives and lbl2 is empty.
void HostileInputTest::rapidOptionClicks()
{
    QFETCH(QStringList, pattern);
    QFETCH(bool, doubleClicks);
    QFETCH(QString, result);
    QFETCH(int, refusals);
    QFETCH(int, resultWrites);
    QVERIFY(logInAs("Ann"));
    QTest::keyClicks(input(), "212");
    CaptionRecorder lbl1(label("lbl1"));
    MessageBoxCatcher catcher;
    for (int round = 0; round < 150; ++round) {
        for (const QString &name : pattern)
            clickOn(option(name), doubleClicks);
    }
    int checked = 0;
    for (QRadioButton *button : converter->findChildren<QRadioButton *>())
        checked += button->isChecked();
    QVERIFY(checked == 1 && option(pattern.last())->isChecked());
    QCOMPARE(label("lbl1")->text() + '|' + label("lbl2")->text(), result + '|');
    QCOMPARE(lbl1.writes.size(), resultWrites);
    QCOMPARE(catcher.messages.size(), refusals);
}

void HostileInputTest::rapidOkClicks_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("invalid password") << "bluelantern";
    QTest::newRow("valid password") << "bluelanterns";
}

// Clicking OK over and over at one spot of the screen: each click on a wrong password is one
// refusal; with the right one the converter window opens once and later clicks land on it.
void HostileInputTest::rapidOkClicks()
{
    QFETCH(QString, password);
    QPointer<frmLogin> login = openLoginWindow();
    QTest::keyClicks(control<QLineEdit>(login, "txtUserName"), "Ann");
    QTest::keyClicks(control<QLineEdit>(login, "txtPassword"), password);
    QPushButton *ok = control<QPushButton>(login, "cmdOK");
    const QPoint spot = ok->mapToGlobal(ok->rect().center());

    MessageBoxCatcher catcher;
    int onLogin = 0;
    for (int i = 0; i < 200; ++i) {
        QWidget *window = QApplication::topLevelAt(spot);
        QVERIFY(window);
        onLogin += window == login;
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, window->mapFromGlobal(spot));
    }
    const bool valid = password == "bluelanterns";
    QCOMPARE(onLogin, valid ? 1 : 200);
    QCOMPARE(catcher.messages.size(), valid ? 0 : 200);
    QCOMPARE(converterWindow() != nullptr, valid);
    if (valid)
        QTRY_VERIFY(!login);
    else
        QVERIFY(login->isVisible());
}

QTEST_MAIN(HostileInputTest)
#include "tst_hostileinput.moc"
