// The login window and its check, driven with the keyboard and mouse as a user would.

#include "frmlogin.h"
#include "support.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

class LoginTest : public QObject
{
    Q_OBJECT

    frmLogin *login = nullptr;
    QLineEdit *box(const QString &name) { return child<QLineEdit>(login, name); }

private slots:
    void initTestCase() { prepareApplication(); }
    void init() { login = openLoginWindow(); }
    void cleanup() { discardWindows(); }

    void window()
    {
        QCOMPARE(twips(login).size(), QSize(4935, 1545));
        QCOMPARE(login->minimumSize(), login->maximumSize());
        QVERIFY(!(login->windowFlags() &
                  (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(centredOnScreen(login));
        QCOMPARE(QFontInfo(login->font()).family(),
                 "Liberation Sans"); // stands in for the classic font
        QCOMPARE(QApplication::focusWidget(), box("txtUserName"));
        QTest::keyClicks(box("txtPassword"), "Blue lanterns!");
        QCOMPARE(box("txtPassword")->displayText(), QString(14, QChar(0x00AE)));
        QVERIFY(!box("txtPassword")->testAttribute(Qt::WA_InputMethodEnabled));
    }

    void check_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("pressed"); // OK clicked, or Enter in one of the boxes
        QTest::addColumn<QString>("outcome"); // the refused box, or the converter's caption
        const QString right = "bluelanterns", name = "txtUserName", password = "txtPassword";
        const auto row = [](const char *tag, const QString &typedName, const QString &typedPassword,
                            const QString &pressed, const QString &outcome) {
            QTest::newRow(tag) << typedName << typedPassword << pressed << outcome;
        };
        row("empty name", "", right, "cmdOK", name);
        row("empty name and password", "", "", password, name);
        row("one space", " ", right, name, name);
        row("full stop", ".", right, "cmdOK", name);
        row("two spaces", "  ", right, "cmdOK", name);
        row("three spaces", "   ", "wrong", "cmdOK", name);
        row("four spaces", "    ", right, "cmdOK", "Welcome     .");
        row("space, full stop", " .", right, password, "Welcome  ..");
        row("full stop, space", ". ", right, "cmdOK", "Welcome . .");
        row("surrounding spaces", " x", right, name, "Welcome  x.");
        row("title placeholder", "[*]Ann", right, "cmdOK", "Welcome [*]Ann.");
        row("empty password", "Ann", "", "cmdOK", password);
        row("upper case", "Ann", "BLUELANTERNS", password, password);
        row("space before", "Ann", " " + right, "cmdOK", password);
        row("space after", "Ann", right + " ", "cmdOK", password);
        row("doubled", "Ann", right + right, "cmdOK", password);
        row("one letter less", "Ann", right.chopped(1), "cmdOK", password);
    }

    void check()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, pressed);
        QFETCH(QString, outcome);
        QTest::keyClicks(box("txtUserName"), name);
        QTest::keyClicks(box("txtPassword"), password);
        MessageBoxes boxes;
        if (pressed == "cmdOK")
            QTest::mouseClick(child<QPushButton>(login, "cmdOK"), Qt::LeftButton);
        else
            QTest::keyClick(box(pressed), Qt::Key_Return);

        if (outcome.startsWith("Welcome")) {
            QVERIFY(boxes.seen.isEmpty() && login->LoginSucceeded());
            QTRY_COMPARE(QApplication::topLevelWidgets().size(), 1); // the login window is gone
            QWidget *converter = QApplication::topLevelWidgets().first();
            QVERIFY(converter->isVisible());
            QCOMPARE(converter->objectName() + ' ' + converter->windowHandle()->title(),
                     "frmlogon " + outcome);
            return;
        }
        const QString refusal = outcome == "txtUserName" ? "Brightfold|1|Please put your name"
                                                         : "Login|0|Invalid Password, try again!";
        QCOMPARE(boxes.seen, QStringList{refusal + "|OK|frmLogin"});
        // The refused box has the focus with all its text selected, so typing replaces it.
        QLineEdit *refused = box(outcome);
        QTRY_COMPARE(QApplication::focusWidget(), refused);
        QCOMPARE(refused->cursorPosition(), refused->text().size());
        QCOMPARE(box("txtUserName")->text() + '|' + box("txtPassword")->text(),
                 name + '|' + password);
        QVERIFY(login->isVisible() && !login->LoginSucceeded());
        QTest::keyClicks(refused, "new");
        QCOMPARE(refused->text(), "new");
    }
};

QTEST_MAIN(LoginTest)
#include "tst_login.moc"
