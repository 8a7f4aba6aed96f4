// The login window's keys and its check, driven with the keyboard and mouse as a user would.

#include "frmlogin.h"
#include "support.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
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

    void keyboard()
    {
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited.join(' '), "txtUserName txtPassword cmdOK cmdCancel txtUserName");
        QTest::keyClick(login, Qt::Key_P, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), box("txtPassword"));
        QTest::keyClicks(box("txtPassword"), "Blue lanterns!");
        QCOMPARE(box("txtPassword")->displayText(), QString(14, QChar(0x00AE)));
        QVERIFY(!box("txtPassword")->testAttribute(Qt::WA_InputMethodEnabled));
        QTest::keyClick(login, Qt::Key_U, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), box("txtUserName"));
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
        QCOMPARE(refused->selectedText(), refused->text());
        QCOMPARE(refused->cursorPosition(), refused->text().size());
        QCOMPARE(box("txtUserName")->text() + '|' + box("txtPassword")->text(),
                 name + '|' + password);
        QVERIFY(login->isVisible() && !login->LoginSucceeded());
        QTest::keyClicks(refused, "new");
        QCOMPARE(refused->text(), "new");
    }

    // Even with a valid name and password, the converter window never opens on the way out.
    void programEnds_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit clicked") << "cmdCancel";
        QTest::newRow("Esc on OK") << "cmdOK";
        QTest::newRow("window closed") << "close";
    }

    void programEnds()
    {
        QFETCH(QString, how);
        QTest::keyClicks(box("txtUserName"), "Ann");
        QTest::keyClicks(box("txtPassword"), "bluelanterns");
        login->setLoginSucceeded(true);
        const QPointer<frmLogin> window = login;
        const int status = exitStatusAfter([&] {
            if (how == "cmdCancel")
                QTest::mouseClick(child<QPushButton>(login, how), Qt::LeftButton);
            else if (how == "close")
                login->close();
            else
                QTest::keyClick(child(login, how), Qt::Key_Escape);
        });
        QCOMPARE(status, 0);
        // Exit and Esc clear LoginSucceeded and end at once; closing unloads the window.
        QCOMPARE(window ? int(window->LoginSucceeded()) : -1, how == "close" ? -1 : 0);
        QCOMPARE(QApplication::topLevelWidgets().size(), window ? 1 : 0);
    }
};

QTEST_MAIN(LoginTest)
#include "tst_login.moc"
