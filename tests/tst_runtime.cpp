// The runtime's error frame, keystrokes and control arrays, driven as the windows use them.

#include "errorframe.h"
#include "keystrokes.h"
#include "messageboxcatcher.h"
#include "runtimeerror.h"
#include "testwindows.h"

#include <QTest>

#include <stdexcept>

using namespace runtime;

Q_DECLARE_METATYPE(runtime::Keystroke)

class RuntimeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareTestApplication(); }
    void errorFrameShowsTheErrorAndGoesOn_data();
    void errorFrameShowsTheErrorAndGoesOn();
    void parseKeystrokes_data();
    void parseKeystrokes();
};

void RuntimeTest::errorFrameShowsTheErrorAndGoesOn_data()
{
    QTest::addColumn<int>("thrown"); // a run-time error number, or 0 for other exceptions
    QTest::addColumn<QString>("message");
    QTest::newRow("overflow") << int(Overflow) << "Run-time error '6':\n\nOverflow";
    QTest::newRow("division by zero")
        << int(DivisionByZero) << "Run-time error '11':\n\nDivision by zero";
    QTest::newRow("out of memory") << -1 << "Run-time error '7':\n\nOut of memory";
    QTest::newRow("any other exception") << 0 << "Run-time error '51':\n\nInternal error";
}

void RuntimeTest::errorFrameShowsTheErrorAndGoesOn()
{
    QFETCH(int, thrown);
    QFETCH(QString, message);
    MessageBoxCatcher catcher;
    bool reachedAfterError = false;
    runEventProcedure([&] {
        if (thrown > 0)
            raiseError(thrown);
        if (thrown < 0)
            throw std::bad_alloc();
        throw std::runtime_error("unexpected");
        reachedAfterError = true;
    });
    QVERIFY(!reachedAfterError);
    QCOMPARE(catcher.messages, QList{okBox(message, "Brightfold", QMessageBox::Critical)});
}

void RuntimeTest::parseKeystrokes_data()
{
    QTest::addColumn<QString>("notation");
    QTest::addColumn<QList<Keystroke>>("strokes");
    const Keystroke home{Qt::Key_Home, {}, {}};
    const Keystroke shiftEnd{Qt::Key_End, Qt::ShiftModifier, {}};
    QTest::newRow("lower-case names") << "{home}+{end}" << QList{home, shiftEnd};
    QTest::newRow("capitalised names") << "{Home}+{End}" << QList{home, shiftEnd};
    QTest::newRow("characters") << "a+b"
                                << QList<Keystroke>{{Qt::Key_A, {}, "a"},
                                                    {Qt::Key_B, Qt::ShiftModifier, "b"}};
    QTest::newRow("shift applies to one key")
        << "+{end}{end}" << QList{shiftEnd, Keystroke{Qt::Key_End, {}, {}}};
    QTest::newRow("escaped brace") << "{}}" << QList<Keystroke>{{Qt::Key_BraceRight, {}, {}}};
    QTest::newRow("unknown name skipped") << "{nokey}x" << QList<Keystroke>{{Qt::Key_X, {}, "x"}};
    QTest::newRow("unclosed brace") << "{home" << QList<Keystroke>{};
}

void RuntimeTest::parseKeystrokes()
{
    QFETCH(QString, notation);
    QFETCH(QList<Keystroke>, strokes);
    QCOMPARE(runtime::parseKeystrokes(notation), strokes);
}

QTEST_MAIN(RuntimeTest)
#include "tst_runtime.moc"
