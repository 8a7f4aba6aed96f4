// The error frame around every click procedure, and what it reports for each run-time error: the
// floating-point status test of an arithmetic step, a missing control array element, exhausted
// memory and anything else that leaves a procedure.

#include "controlarray.h"
#include "errorframe.h"
#include "floatingpoint.h"
#include "support.h"

#include <QTest>

#include <stdexcept>

using namespace runtime;

class RuntimeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareApplication(); }
    void errorInAProcedure_data();
    void errorInAProcedure();
};

void RuntimeTest::errorInAProcedure_data()
{
    QTest::addColumn<double>("left");
    QTest::addColumn<char>("operation"); // arithmetic, or E (element 1 of an empty control array),
                                         // M (memory exhausted), X (any other exception)
    QTest::addColumn<double>("right");
    QTest::addColumn<QString>("shown"); // the error's number and description, or "" for none
    const double largest = 1.7976931348623157e308;
    QTest::newRow("overflowing product") << 1e308 << '*' << 1.8 << "6':\n\nOverflow";
    QTest::newRow("ordinary product") << 100.0 << '*' << 1.8 << ""; // flags cleared before
    QTest::newRow("overflowing sum") << largest << '+' << 1e292 << "6':\n\nOverflow";
    QTest::newRow("division by zero") << 1.0 << '/' << 0.0 << "11':\n\nDivision by zero";
    QTest::newRow("zero by zero") << 0.0 << '/' << 0.0
                                  << "5':\n\nInvalid procedure call or argument";
    QTest::newRow("underflow is no fault") << 1e-308 << '/' << 1e10 << "";
    QTest::newRow("missing element")
        << 0.0 << 'E' << 0.0 << "340':\n\nControl array element doesn't exist";
    QTest::newRow("out of memory") << 0.0 << 'M' << 0.0 << "7':\n\nOut of memory";
    QTest::newRow("anything else") << 0.0 << 'X' << 0.0 << "51':\n\nInternal error";
}

void RuntimeTest::errorInAProcedure()
{
    QFETCH(double, left);
    QFETCH(char, operation);
    QFETCH(double, right);
    QFETCH(QString, shown);
    QWidget owner;
    owner.setObjectName("owner");
    MessageBoxes boxes;
    // The operands come from the table, so the compiler cannot fold the arithmetic away.
    runEventProcedure(&owner, [&] {
        if (operation == 'E')
            ControlArray<QWidget>().element(1);
        if (operation == 'M')
            throw std::bad_alloc();
        if (operation == 'X')
            throw std::runtime_error("unexpected");
        arithmeticStep([&] {
            return operation == '*' ? left * right : operation == '+' ? left + right : left / right;
        });
    });
    const QString message = "Brightfold|3|Run-time error '" + shown + "|OK|owner";
    QCOMPARE(boxes.seen, shown.isEmpty() ? QStringList{} : QStringList{message});
}

QTEST_MAIN(RuntimeTest)
#include "tst_runtime.moc"
