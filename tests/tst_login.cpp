// The login window, driven with the keyboard and mouse as a user would.

#include "controlarray.h"
#include "fonts.h"
#include "frmlogin.h"
#include "messageboxcatcher.h"
#include "testwindows.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

class LoginTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareTestApplication(); }
    void init() { login = openLoginWindow(); }
    void cleanup() { discardAllWindows(); }

    void windowDefinition();
    void controlGeometry_data();
    void controlGeometry();
    void focusOrder();
    void accessKeys();
    void passwordShownMasked();
    void check_data();
    void check();
    void typingReplacesTheSelectionAfterARefusal();
    void enterInEitherBoxRunsTheCheck_data();
    void enterInEitherBoxRunsTheCheck();
    void programEnds_data();
    void programEnds();

private:
    QLineEdit *field(const char *name) { return control<QLineEdit>(login, name); }
    void type(const char *name, const QString &text) { QTest::keyClicks(field(name), text); }

    frmLogin *login = nullptr;
};

void LoginTest::windowDefinition()
{
    QCOMPARE(login->windowTitle(), "Login - \"Orvane\" Brightfold");
    QCOMPARE(inTwips(QRect(QPoint(), login->size())).size(), QSize(4935, 1545));
    QCOMPARE(login->minimumSize(), login->maximumSize());
    QVERIFY(
        !(login->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    const QRect screen = login->screen()->availableGeometry();
    QVERIFY(qAbs(login->geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(login->geometry().center().y() - screen.center().y()) <= 1);
    QCOMPARE(runtime::ControlArray<QLabel>(login, "lblLabels").indexes(), (QList<int>{0, 1}));
    QCOMPARE(login->LoginSucceeded(), false);
    QCOMPARE(login->windowIcon().availableSizes(),
             (QList<QSize>{{32, 32}, {16, 16}, {128, 128}, {48, 48}, {32, 32}, {16, 16}}));
}

void LoginTest::controlGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("lblLabels(0)") << "lblLabels_0"
                                  << "&User Name:" << QRect(105, 150, 1080, 270);
    QTest::newRow("txtUserName") << "txtUserName"
                                 << "" << QRect(1200, 135, 3525, 345);
    QTest::newRow("lblLabels(1)") << "lblLabels_1"
                                  << "&Password:" << QRect(105, 540, 1080, 270);
    QTest::newRow("txtPassword") << "txtPassword"
                                 << "" << QRect(1200, 525, 3525, 345);
    QTest::newRow("cmdOK") << "cmdOK"
                           << "OK" << QRect(2040, 1020, 1140, 390);
    QTest::newRow("cmdCancel") << "cmdCancel"
                               << "Exit" << QRect(3600, 1020, 1140, 390);
    QTest::newRow("Label1") << "Label1"
                            << "Brightfold 1.0®" << QRect(0, 1080, 2055, 255);
}

void LoginTest::controlGeometry()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    auto *widget = login->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(inTwips(widget->geometry()), twips);
    QVERIFY(widget->isVisible() && widget->isEnabled());
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), caption);
    if (auto *button = qobject_cast<QPushButton *>(widget))
        QCOMPARE(button->text(), caption);
    if (!caption.isEmpty()) {
        const QString shown = QString(caption).remove(u'&');
        QVERIFY2(widget->fontMetrics().horizontalAdvance(shown) <= runtime::captionRoom(widget),
                 "caption cut off");
    }
}

void LoginTest::focusOrder()
{
    QCOMPARE(QApplication::focusWidget(), field("txtUserName"));
    QStringList visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, (QStringList{"txtPassword", "cmdOK", "cmdCancel", "txtUserName"}));
    QTest::keyClicks(QApplication::focusWidget(), "typed at once");
    QCOMPARE(field("txtUserName")->text(), "typed at once");
}

void LoginTest::accessKeys()
{
    QTest::keyClick(login, Qt::Key_P, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), field("txtPassword"));
    QTest::keyClick(login, Qt::Key_U, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), field("txtUserName"));
}

void LoginTest::passwordShownMasked()
{
    type("txtPassword", "Blue lanterns!");
    QCOMPARE(field("txtPassword")->displayText(), QString(14, QChar(0x00AE)));
    QCOMPARE(field("txtPassword")->text(), "Blue lanterns!");
    QVERIFY(!field("txtPassword")->testAttribute(Qt::WA_InputMethodEnabled));
}

void LoginTest::check_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message"); // empty when the login succeeds
    QTest::addColumn<QString>("caption"); // of the converter window, on success

    const QString right = "bluelanterns";
    const QString noName = "Please put your name";
    const QString wrong = "Invalid Password, try again!";
    QTest::newRow("empty name") << "" << right << noName << "";
    QTest::newRow("empty name and password") << ""
                                             << "" << noName << "";
    QTest::newRow("one space") << " " << right << noName << "";
    QTest::newRow("full stop") << "." << right << noName << "";
    QTest::newRow("two spaces") << "  " << right << noName << "";
    QTest::newRow("three spaces") << "   "
                                  << "wrong" << noName << "";
    QTest::newRow("four spaces pass") << "    " << right << ""
                                      << "Welcome     .";
    QTest::newRow("space, full stop") << " ." << right << ""
                                      << "Welcome  ..";
    QTest::newRow("full stop, space") << ". " << right << ""
                                      << "Welcome . .";
    QTest::newRow("two full stops") << ".." << right << ""
                                    << "Welcome ...";
    QTest::newRow("surrounding spaces") << " x" << right << ""
                                        << "Welcome  x.";
    QTest::newRow("any name") << "Ann" << right << ""
                              << "Welcome Ann.";
    QTest::newRow("empty password") << "Ann"
                                    << "" << wrong << "";
    QTest::newRow("upper case") << "Ann"
                                << "BLUELANTERNS" << wrong << "";
    QTest::newRow("space before") << "Ann"
                                  << " bluelanterns" << wrong << "";
    QTest::newRow("space after") << "Ann"
                                 << "bluelanterns " << wrong << "";
    QTest::newRow("one letter short") << "Ann"
                                      << "bluelantern" << wrong << "";
}

void LoginTest::check()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(QString, message);
    QFETCH(QString, caption);
    type("txtUserName", name);
    type("txtPassword", password);

    MessageBoxCatcher catcher;
    QTest::mouseClick(control<QPushButton>(login, "cmdOK"), Qt::LeftButton);

    if (message.isEmpty()) {
        QCOMPARE(catcher.messages.size(), 0);
        QCOMPARE(login->LoginSucceeded(), true);
        QWidget *converter = nullptr;
        QTRY_VERIFY((converter = QApplication::activeWindow()) &&
                    converter->objectName() == "frmlogon");
        QCOMPARE(converter->windowTitle(), caption);
        QVERIFY(converter->isVisible());
        QTRY_COMPARE(QApplication::topLevelWidgets().size(), 1); // the login window is gone
        return;
    }

    const bool nameRefused = message == "Please put your name";
    QCOMPARE(catcher.messages.size(), 1);
    QCOMPARE(catcher.messages[0].text, message);
    QCOMPARE(catcher.messages[0].title, nameRefused ? "Brightfold" : "Login");
    QCOMPARE(catcher.messages[0].icon,
             nameRefused ? QMessageBox::Information : QMessageBox::NoIcon);
    QCOMPARE(catcher.messages[0].buttons, QStringList{"OK"});

    // The refused box gets the focus with its whole text selected and the caret at its end.
    QLineEdit *refused = field(nameRefused ? "txtUserName" : "txtPassword");
    QTRY_COMPARE(QApplication::focusWidget(), refused);
    QTRY_COMPARE(refused->selectionLength(), refused->text().size());
    QCOMPARE(refused->cursorPosition(), refused->text().size());
    QCOMPARE(field("txtUserName")->text(), name);
    QCOMPARE(field("txtPassword")->text(), password);
    QVERIFY(login->isVisible());
    QCOMPARE(login->LoginSucceeded(), false);
}

void LoginTest::typingReplacesTheSelectionAfterARefusal()
{
    type("txtUserName", "Ann");
    type("txtPassword", "not it");
    MessageBoxCatcher catcher;
    QTest::keyClick(field("txtPassword"), Qt::Key_Return);
    QTRY_COMPARE(field("txtPassword")->selectionLength(), 6);
    type("txtPassword", "bluelanterns");
    QCOMPARE(field("txtPassword")->text(), "bluelanterns");
}

void LoginTest::enterInEitherBoxRunsTheCheck_data()
{
    QTest::addColumn<QString>("box");
    QTest::newRow("user name") << "txtUserName";
    QTest::newRow("password") << "txtPassword";
}

void LoginTest::enterInEitherBoxRunsTheCheck()
{
    QFETCH(QString, box);
    MessageBoxCatcher catcher;
    QTest::keyClick(login->findChild<QLineEdit *>(box), Qt::Key_Return);
    QCOMPARE(catcher.messages.size(), 1);
    QCOMPARE(catcher.messages[0].text, "Please put your name");
}

void LoginTest::programEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Exit clicked") << "click";
    QTest::newRow("Esc in the user name") << "escape name";
    QTest::newRow("Esc on OK") << "escape ok";
    QTest::newRow("window closed") << "close";
}

void LoginTest::programEnds()
{
    QFETCH(QString, how);
    // Even valid credentials do not open the converter window on the way out.
    type("txtUserName", "Ann");
    type("txtPassword", "bluelanterns");
    const int status = runUntilProgramEnds([&] {
        if (how == "click")
            QTest::mouseClick(control<QPushButton>(login, "cmdCancel"), Qt::LeftButton);
        else if (how == "escape name")
            QTest::keyClick(field("txtUserName"), Qt::Key_Escape);
        else if (how == "escape ok")
            QTest::keyClick(control<QPushButton>(login, "cmdOK"), Qt::Key_Escape);
        else
            login->close();
    });
    QCOMPARE(status, 0);
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
    QVERIFY(!QApplication::topLevelWidgets().contains(nullptr));
}

QTEST_MAIN(LoginTest)
#include "tst_login.moc"
