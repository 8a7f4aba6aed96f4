// The login window's keys and its check, driven with the keyboard and mouse as a user would.

#include "frmlogin.h"
#include "messageboxcatcher.h"
#include "testwindows.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

class LoginTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareTestApplication(); }
    void init() { login = openLoginWindow(); }
    void cleanup() { discardAllWindows(); }

    void keyboard();
    void check_data();
    void check();
    void programEnds_data();
    void programEnds();

private:
    QLineEdit *field(const char *name) { return control<QLineEdit>(login, name); }
    frmLogin *login = nullptr;
};

void LoginTest::keyboard()
{
    QCOMPARE(QApplication::focusWidget(), field("txtUserName"));
    QStringList visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, (QStringList{"txtPassword", "cmdOK", "cmdCancel", "txtUserName"}));

    QTest::keyClick(login, Qt::Key_P, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), field("txtPassword"));
    QTest::keyClicks(field("txtPassword"), "Blue lanterns!");
    QCOMPARE(field("txtPassword")->displayText(), QString(14, QChar(0x00AE)));
    QVERIFY(!field("txtPassword")->testAttribute(Qt::WA_InputMethodEnabled));
    QTest::keyClick(login, Qt::Key_U, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), field("txtUserName"));
}

void LoginTest::check_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("pressed"); // OK clicked, or Enter in one of the boxes
    QTest::addColumn<QString>("outcome"); // a refusal's text, or the converter's caption
    const QString right = "bluelanterns", noName = "Please put your name",
                  wrong = "Invalid Password, try again!";
    QTest::newRow("empty name") << "" << right << "cmdOK" << noName;
    QTest::newRow("empty name and password") << ""
                                             << ""
                                             << "txtPassword" << noName;
    QTest::newRow("one space") << " " << right << "txtUserName" << noName;
    QTest::newRow("full stop") << "." << right << "cmdOK" << noName;
    QTest::newRow("two spaces") << "  " << right << "cmdOK" << noName;
    QTest::newRow("three spaces") << "   "
                                  << "wrong"
                                  << "cmdOK" << noName;
    QTest::newRow("four spaces pass") << "    " << right << "cmdOK"
                                      << "Welcome     .";
    QTest::newRow("space, full stop") << " ." << right << "txtPassword"
                                      << "Welcome  ..";
    QTest::newRow("full stop, space") << ". " << right << "cmdOK"
                                      << "Welcome . .";
    QTest::newRow("surrounding spaces") << " x" << right << "txtUserName"
                                        << "Welcome  x.";
    QTest::newRow("empty password") << "Ann"
                                    << ""
                                    << "cmdOK" << wrong;
    QTest::newRow("upper case") << "Ann"
                                << "BLUELANTERNS"
                                << "txtPassword" << wrong;
    QTest::newRow("space before") << "Ann"
                                  << " bluelanterns"
                                  << "cmdOK" << wrong;
    QTest::newRow("space after") << "Ann"
                                 << "bluelanterns "
                                 << "cmdOK" << wrong;
    QTest::newRow("doubled") << "Ann" << right + right << "cmdOK" << wrong;
}

void LoginTest::check()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(QString, pressed);
    QFETCH(QString, outcome);
    QTest::keyClicks(field("txtUserName"), name);
    QTest::keyClicks(field("txtPassword"), password);
    MessageBoxCatcher catcher;
    if (pressed == "cmdOK")
        QTest::mouseClick(control<QPushButton>(login, "cmdOK"), Qt::LeftButton);
    else
        QTest::keyClick(field(qPrintable(pressed)), Qt::Key_Return);

    if (outcome.startsWith("Welcome")) {
        QVERIFY(catcher.messages.isEmpty());
        QVERIFY(login->LoginSucceeded());
        QTRY_COMPARE(QApplication::topLevelWidgets().size(), 1); // the login window is gone
        QWidget *converter = QApplication::topLevelWidgets().first();
        QCOMPARE(converter->objectName(), "frmlogon");
        QCOMPARE(converter->windowTitle(), outcome);
        QVERIFY(converter->isVisible());
        return;
    }
    const bool nameRefused = outcome == "Please put your name";
    QCOMPARE(catcher.messages,
             QList{nameRefused ? okBox(outcome, "Brightfold", QMessageBox::Information)
                               : okBox(outcome, "Login", QMessageBox::NoIcon)});
    // The refused box has the focus, its whole text selected with the caret at its end, so
    // that typing replaces it.
    QLineEdit *refused = field(nameRefused ? "txtUserName" : "txtPassword");
    QTRY_COMPARE(QApplication::focusWidget(), refused);
    QTRY_COMPARE(refused->selectionLength(), refused->text().size());
    QCOMPARE(refused->cursorPosition(), refused->text().size());
    QCOMPARE(field("txtUserName")->text() + '|' + field("txtPassword")->text(),
             name + '|' + password);
    QVERIFY(login->isVisible() && !login->LoginSucceeded());
    QTest::keyClicks(refused, "new");
    QCOMPARE(refused->text(), "new");
}

void LoginTest::programEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Exit clicked") << "click";
    QTest::newRow("Esc in the user name") << "txtUserName";
    QTest::newRow("Esc on OK") << "cmdOK";
    QTest::newRow("window closed") << "close";
}

void LoginTest::programEnds()
{
    QFETCH(QString, how);
    // Even valid credentials do not open the converter window on the way out.
    QTest::keyClicks(field("txtUserName"), "Ann");
    QTest::keyClicks(field("txtPassword"), "bluelanterns");
    const int status = runUntilProgramEnds([&] {
        if (how == "click")
            QTest::mouseClick(control<QPushButton>(login, "cmdCancel"), Qt::LeftButton);
        else if (how == "close")
            login->close();
        else
            QTest::keyClick(login->findChild<QWidget *>(how), Qt::Key_Escape);
    });
    QCOMPARE(status, 0);
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY2(!window->isVisible() && window->objectName() != "frmlogon",
                 qPrintable(window->objectName()));
}

QTEST_MAIN(LoginTest)
#include "tst_login.moc"
