// The floating-point status test and the error frame that reports what a procedure raised.

#include "errorframe.h"
#include "floatingpoint.h"
#include "runtimeerror.h"
#include "support.h"

#include <QTest>

#include <stdexcept>

using namespace runtime;

class RuntimeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareApplication(); }
    void statusTest_data();
    void statusTest();
    void errorFrame_data();
    void errorFrame();
};

void RuntimeTest::statusTest_data()
{
    QTest::addColumn<double>("left");
    QTest::addColumn<char>("operation");
    QTest::addColumn<double>("right");
    QTest::addColumn<int>("error"); // 0: none
    QTest::newRow("ordinary") << 100.0 << '*' << 1.8 << 0;
    QTest::newRow("overflowing product") << 1e308 << '*' << 1.8 << int(Overflow);
    QTest::newRow("overflowing sum") << 1.7976931348623157e308 << '+' << 1e292 << int(Overflow);
    QTest::newRow("division by zero") << 1.0 << '/' << 0.0 << int(DivisionByZero);
    QTest::newRow("zero by zero") << 0.0 << '/' << 0.0 << int(InvalidProcedureCall);
    QTest::newRow("underflow is no fault") << 1e-308 << '/' << 1e10 << 0;
}

void RuntimeTest::statusTest()
{
    QFETCH(double, left);
    QFETCH(char, operation);
    QFETCH(double, right);
    QFETCH(int, error);
    // The operands come from the table, so the compiler cannot fold the arithmetic away.
    const auto arithmetic = [&] {
        return operation == '*' ? left * right : operation == '+' ? left + right : left / right;
    };
    int raised = 0;
    try {
        arithmeticStep(arithmetic);
    } catch (const RuntimeError &runtimeError) {
        raised = runtimeError.number();
    }
    QCOMPARE(raised, error);
}

void RuntimeTest::errorFrame_data()
{
    QTest::addColumn<int>("thrown"); // a run-time error number; -1 out of memory, 0 anything else
    QTest::addColumn<QString>("shown");
    QTest::newRow("invalid") << 5 << "5':\n\nInvalid procedure call or argument";
    QTest::newRow("overflow") << 6 << "6':\n\nOverflow";
    QTest::newRow("division by zero") << 11 << "11':\n\nDivision by zero";
    QTest::newRow("missing element") << 340 << "340':\n\nControl array element doesn't exist";
    QTest::newRow("out of memory") << -1 << "7':\n\nOut of memory";
    QTest::newRow("anything else") << 0 << "51':\n\nInternal error";
}

void RuntimeTest::errorFrame()
{
    QFETCH(int, thrown);
    QFETCH(QString, shown);
    QWidget owner;
    owner.setObjectName("owner");
    MessageBoxes boxes;
    runEventProcedure(&owner, [&] {
        if (thrown > 0)
            raiseError(thrown);
        if (thrown < 0)
            throw std::bad_alloc();
        throw std::runtime_error("unexpected");
    });
    QCOMPARE(boxes.seen, QStringList{"Brightfold|3|Run-time error '" + shown + "|OK|owner"});
}

QTEST_MAIN(RuntimeTest)
#include "tst_runtime.moc"
