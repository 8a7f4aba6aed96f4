// Brightfold's windows driven headless as a user drives them: the login window and its check, the
// converter window's layout, conversions, refusals, options and reset, the error frame around
// every procedure, and the classic window font that both windows keep.

#include "controlarray.h"
#include "defaultinstance.h"
#include "errorframe.h"
#include "floatingpoint.h"
#include "fonts.h"
#include "frmlogin.h"
#include "messagebox.h"
#include "titlebar.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <stdexcept>

namespace {

// A desktop style that puts icons on dialog buttons, as some desktops' themes do.
class ButtonIconsStyle : public QProxyStyle
{
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returned) const override
    {
        return hint == SH_DialogButtonBox_ButtonsHaveIcons ||
               QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

// While it lives, records every message box as "title|icon|text|buttons|owner" and closes it as a
// user would, with Enter.
class MessageBoxes : public QObject
{
public:
    MessageBoxes() { qApp->installEventFilter(this); }
    QStringList seen;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (!box || event->type() != QEvent::Show)
            return false;
        QStringList buttons;
        for (const QAbstractButton *button : box->buttons())
            buttons << button->text() + (button->icon().isNull() ? "" : "+icon");
        seen << QStringList{box->windowTitle(), QString::number(box->icon()), box->text(),
                            buttons.join(','), box->parentWidget()->objectName()}
                    .join('|');
        QMetaObject::invokeMethod(
            box, [box] { QTest::keyClick(box, Qt::Key_Return); }, Qt::QueuedConnection);
        return false;
    }
};

bool centredOnScreen(const QWidget *window) // to the pixel that halving may lose
{
    const QPoint offCentre =
        window->geometry().center() - window->screen()->availableGeometry().center();
    return offCentre.manhattanLength() <= 2;
}

} // namespace

class BrightfoldTest : public QObject
{
    Q_OBJECT

    QPointer<QWidget> window;    // the window under test; null once it is gone
    bool loginSucceeded = false; // what the login window said when its OK had run
    template <class Control = QWidget> Control *child(const QString &name)
    {
        return window->findChild<Control *>(name);
    }
    QRadioButton *option(const QString &name) { return child<QRadioButton>(name); }
    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    QString shown() // the converter's input, result and scratch label
    {
        return child<QLineEdit>("txt1")->text() + '|' + child<QLabel>("lbl1")->text() + '|' +
               child<QLabel>("lbl2")->text();
    }
    void show(const QString &input, const QString &result, const QString &scratch)
    {
        child<QLineEdit>("txt1")->setText(input);
        child<QLabel>("lbl1")->setText(result);
        child<QLabel>("lbl2")->setText(scratch);
    }
    // The helpers say whether the window under test came up; a test QVERIFYs that before it
    // uses the window, since a QVERIFY in a helper would leave the test going on without it.
    [[nodiscard]] frmLogin *openLogin()
    {
        window = &runtime::defaultInstance<frmLogin>();
        window->show();
        return QTest::qWaitForWindowActive(window) ? static_cast<frmLogin *>(window.data())
                                                   : nullptr;
    }
    // The window under test is then the converter window, or the login window after a refusal.
    [[nodiscard]] bool logIn(const QString &userName, const QString &password = "bluelanterns")
    {
        const QPointer<frmLogin> login = openLogin();
        if (!login)
            return false;
        child<QLineEdit>("txtUserName")->insert(userName); // as pasted: any character
        child<QLineEdit>("txtPassword")->insert(password);
        QTest::keyClick(child("txtPassword"), Qt::Key_Return);
        loginSucceeded = login && login->LoginSucceeded(); // closed, but not yet deleted
        if (!loginSucceeded)
            return login;
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto converter = std::find_if(windows.begin(), windows.end(), [](QWidget *shown) {
            return shown->objectName() == "frmlogon" && shown->isVisible();
        });
        const bool active = converter != windows.end() && QTest::qWaitForWindowActive(*converter);
        window = active ? *converter : nullptr;
        return active;
    }

private slots:
    void initTestCase()
    {
        QApplication::setApplicationName("Brightfold");
        QApplication::setStyle(new ButtonIconsStyle);
    }
    void cleanup()
    {
        qDeleteAll(QApplication::topLevelWidgets());
        QApplication::processEvents();
    }

    void loginWindow()
    {
        QVERIFY(openLogin());
        const QString font =
            QFontInfo(window->font()).family() + ' ' + QString::number(window->font().pointSizeF());
        QCOMPARE(font, "Liberation Sans 8"); // the classic 8-point font's stand-in
        QCOMPARE(QApplication::focusWidget(), child("txtUserName"));
        QTest::keyClicks(child("txtPassword"), "Blue lanterns!");
        QCOMPARE(child<QLineEdit>("txtPassword")->displayText(), QString(14, QChar(0x00AE)));
        QVERIFY(!child("txtPassword")->testAttribute(Qt::WA_InputMethodEnabled));
    }

    void loginCheck_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("outcome"); // the refused box, or the converter window's caption
        const QString right = "bluelanterns", name = "txtUserName", password = "txtPassword";
        const auto row = [](const char *tag, const QString &typedName, const QString &typedPassword,
                            const QString &outcome) {
            QTest::newRow(tag) << typedName << typedPassword << outcome;
        };
        row("empty name", "", right, name);
        row("one space", " ", right, name);
        row("full stop", ".", right, name);
        row("two spaces", "  ", right, name);
        row("three spaces", "   ", "wrong", name);
        row("four spaces", "    ", right, "Welcome     .");
        row("space, full stop", " .", right, "Welcome  ..");
        row("full stop, space", ". ", right, "Welcome . .");
        row("surrounding spaces", " x", right, "Welcome  x.");
        row("title placeholder", "[*]Ann", right, "Welcome [*]Ann.");
        row("empty password", "Ann", "", password);
        row("upper case", "Ann", "BLUELANTERNS", password);
        row("space before", "Ann", " " + right, password);
        row("space after", "Ann", right + " ", password);
        row("a letter with the same low byte", "Ann", QChar(0x162) + right.mid(1), password);
    }

    // Enter in the password box presses the default button, OK.
    void loginCheck()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, outcome);
        MessageBoxes boxes;
        QVERIFY(logIn(name, password));
        QCOMPARE(loginSucceeded, outcome.startsWith("Welcome"));
        if (outcome.startsWith("Welcome")) {
            QCOMPARE(window->objectName() + ' ' + window->windowHandle()->title(),
                     "frmlogon " + outcome);
            QTRY_COMPARE(QApplication::topLevelWidgets(),
                         QWidgetList{window}); // the login window is gone
            QVERIFY(boxes.seen.isEmpty());
            return;
        }
        const QString refusal = outcome == "txtUserName" ? "Brightfold|1|Please put your name"
                                                         : "Login|0|Invalid Password, try again!";
        QCOMPARE(boxes.seen, QStringList{refusal + "|OK|frmLogin"});
        QTRY_COMPARE(QApplication::focusWidget(),
                     child(outcome)); // its text selected: typing replaces it
        QTest::keyClicks(child(outcome), "new");
        const QString typed =
            child<QLineEdit>("txtUserName")->text() + '|' + child<QLineEdit>("txtPassword")->text();
        QCOMPARE(typed, outcome == "txtUserName" ? "new|" + password : name + "|new");
    }

    void converterWindow()
    {
        QVERIFY(logIn("Ann"));
        QVERIFY(centredOnScreen(window));
        QVERIFY(child("Label2")->font().pointSizeF() == 9.75 && child("Label2")->font().bold());
        QCOMPARE(QApplication::focusWidget(), option("Option1"));
        QCOMPARE(option("kf")->accessibleDescription(), "Result: empty"); // as lbl1 shows
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
        row("cf", "-17.7777777777778", "-4.2632564145606E-14|scratch");
        row("cf", "   ", "32|scratch");
        row("ck", "-273.15", "0|scratch");
        row("ck", "warm", "273.15|scratch");
        row("kc", "123456789.123456789", "123456515.973457|scratch");
        row("fc", "212", "100|");
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
        QVERIFY(logIn("Ann"));
        show(typed, "before", "scratch");
        MessageBoxes boxes;
        click(option(optionName));
        QCOMPARE(shown(), typed + '|' + result);
        // every option, not only the one clicked, tells screen readers the result now shown
        QCOMPARE(option("Option1")->accessibleDescription(),
                 "Result: " + result.section('|', 0, 0));
        QCOMPARE(boxes.seen, message.isEmpty()
                                 ? QStringList{}
                                 : QStringList{"Brightfold|" + message + "|OK|frmlogon"});
        if (typed.isEmpty()) // the focus goes to "Do Nothing", which stays unselected
            QTRY_VERIFY(QApplication::focusWidget() == option("Option1") &&
                        !option("Option1")->isChecked());
        show("212", "", ""); // the window goes on working after a refusal or an error
        click(option("fc"));
        QCOMPARE(shown(), "212|100|");
    }

    // With the field empty, every run of a conversion shows one refusal.
    void selectingConvertsOnce_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("selected");
        // again: the mouse on the option already selected; Down: an arrow key; Toggle: the
        // accessible action
        for (const QString way : {"mouse", "again", "Space", "Down", "Toggle"})
            QTest::newRow(qPrintable(way)) << way << (way == "Down" ? "kc" : "ck");
    }

    void selectingConvertsOnce()
    {
        QFETCH(QString, way);
        QFETCH(QString, selected);
        QVERIFY(logIn("Ann"));
        MessageBoxes boxes;
        if (way == "again" || way == "Down")
            click(option("ck"));
        QTRY_COMPARE(QApplication::activeWindow(), window.data()); // again, once a refusal closed
        boxes.seen.clear();
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
        QTest::keyClicks(child("txt1"), "5"); // typing alone converts nothing
        QCOMPARE(shown() + QString::number(boxes.seen.size()), "5||1");
    }

    void reset()
    {
        QVERIFY(logIn("Ann"));
        show("212", "100", "scratch");
        MessageBoxes boxes;
        click(option("Option1"));
        click(option("Option1")); // already empty: nothing to see
        QCOMPARE(shown() + boxes.seen.join(""), "||");
        QCOMPARE(option("fk")->accessibleDescription(), "Result: empty");
        QVERIFY(option("Option1")->isChecked() && QApplication::focusWidget() == option("Option1"));
    }

    void errorInAProcedure_data()
    {
        QTest::addColumn<double>("left");
        QTest::addColumn<char>("operation"); // arithmetic, or E (element 1 of an empty control
                                             // array), M (memory exhausted), X (anything else)
        QTest::addColumn<double>("right");
        QTest::addColumn<QString>("shown"); // the error's number and description, or "" for none
        QTest::newRow("overflowing product") << 1e308 << '*' << 1.8 << "6':\n\nOverflow";
        QTest::newRow("ordinary product") << 100.0 << '*' << 1.8 << ""; // the flags cleared before
        QTest::newRow("overflowing sum")
            << 1.7976931348623157e308 << '+' << 1e292 << "6':\n\nOverflow";
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
        runtime::runEventProcedure(owner, [&] { // the operands come from the table: no folding
            if (operation == 'E')
                runtime::ControlArray<QWidget>().element(1);
            if (operation == 'M')
                throw std::bad_alloc();
            if (operation == 'X')
                throw std::runtime_error("unexpected");
            runtime::arithmeticStep([&] {
                return operation == '*'   ? left * right
                       : operation == '+' ? left + right
                                          : left / right;
            });
        });
        const QString message = "Brightfold|3|Run-time error '" + shown + "|OK|owner";
        QCOMPARE(boxes.seen, shown.isEmpty() ? QStringList{} : QStringList{message});
    }

    // A window that goes while its message box is open takes the box along.
    void ownerGoesWhileItsBoxIsOpen()
    {
        const QPointer<QWidget> owner = new QWidget;
        QTimer::singleShot(0, owner, &QObject::deleteLater);
        runtime::showMessage(*owner, "Goodbye");
        QVERIFY(!owner);
    }

    // The windows keep the font they were laid out for, so a desktop font cuts off no caption.
    void windowsKeepTheirFont()
    {
        QVERIFY(logIn("Ann"));
        QWidgetList controls = window->findChildren<QWidget *>();
        QVERIFY(openLogin());
        controls += window->findChildren<QWidget *>();
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
            const QString caption = QString(label    ? label->text()
                                            : button ? button->text()
                                                     : "")
                                        .remove('&');
            QVERIFY2(control->fontMetrics().horizontalAdvance(caption) <=
                         runtime::captionRoom(control),
                     qPrintable(caption));
        }
    }

    void captionFitting_data()
    {
        QTest::addColumn<int>("room");    // the label's width, in % of what its caption needs
        QTest::addColumn<int>("stretch"); // -1: condensed just enough, between 80 and 100
        QTest::newRow("room enough") << 100 << 0;
        QTest::newRow("a little short") << 90 << -1;
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
        // Widths as drawn, in fractions of a pixel: a caption fits when it is not cut at all.
        const auto width = [label](const QFont &font) {
            return QFontMetricsF(font).horizontalAdvance(label->text());
        };
        label->setFixedWidth(int(std::ceil(width(changed))) * room / 100);
        window.setFont(changed);
        const auto fits = [label, width](int stretch) {
            QFont font = label->font();
            font.setStretch(stretch);
            return width(font) <= label->width();
        };
        const int fitted = label->font().stretch();
        QCOMPARE(fits(fitted), room > 50);
        if (stretch < 0) // and not condensed further than it needs
            QVERIFY2(fitted > 80 && fitted < 100 && !fits(fitted + 1),
                     qPrintable(QString::number(fitted)));
        else
            QCOMPARE(fitted, stretch);
        label->setFixedWidth(1000);
        window.setFont(QFont("DejaVu Sans", 9)); // room enough again: no longer condensed
        QCOMPARE(label->font().stretch(), 0);
    }

    void titleArea_data()
    {
        QTest::addColumn<int>("bar");     // the bar's width
        QTest::addColumn<int>("buttons"); // what its buttons take at its end
        QTest::addColumn<int>("text");    // the title's width
        QTest::addColumn<bool>("rightToLeft");
        QTest::addColumn<int>("left"); // where the title is drawn
        QTest::addColumn<int>("width");
        QTest::newRow("centred on the bar") << 329 << 32 << 190 << false << 69 << 190;
        QTest::newRow("beside the buttons") << 240 << 90 << 85 << false << 36 << 85;
        QTest::newRow("beside them, right to left") << 240 << 90 << 85 << true << 118 << 85;
        QTest::newRow("clear of the margin") << 240 << 32 << 200 << false << 8 << 200;
        QTest::newRow("clear of it, right to left") << 240 << 32 << 200 << true << 32 << 200;
        QTest::newRow("longer than the room") << 240 << 90 << 200 << false << 8 << 142;
    }

    // A title is drawn in full wherever the bar has room for it, clear of the buttons and of the
    // bar's other end.
    void titleArea()
    {
        QFETCH(int, bar);
        QFETCH(int, buttons);
        QFETCH(int, text);
        QFETCH(bool, rightToLeft);
        QFETCH(int, left);
        QFETCH(int, width);
        const QRect area = runtime::titleArea(bar, 30, buttons, text, 8,
                                              rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        QCOMPARE(area, QRect(left, 0, width, 30));
    }

#ifdef Q_OS_WIN
    // On Windows's own platform the windows take Windows's look, not Qt's portable one: the
    // static build links the Windows styles in, and the platform picks one of them.
    void nativeStyle()
    {
        if (QGuiApplication::platformName() != "windows")
            QSKIP("only on the windows platform (the native_style test)");
        // The suite's own proxy style (initTestCase) wraps the style the platform picked.
        const auto *proxy = qobject_cast<const QProxyStyle *>(QApplication::style());
        const QString style = proxy ? proxy->baseStyle()->name() : QApplication::style()->name();
        QVERIFY2(style == "windowsvista" || style == "windows11", qPrintable(style));
    }
#endif
};

QTEST_MAIN(BrightfoldTest)
#include "tst_brightfold.moc"
