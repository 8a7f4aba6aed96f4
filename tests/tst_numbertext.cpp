// The text forms of numbers that labels show and read back, and the floating-point status test.

#include "floatingpoint.h"
#include "numbertext.h"
#include "runtimeerror.h"

#include <QTest>

#include <cfenv>
#include <cmath>
#include <limits>

using namespace runtime;

class NumberTextTest : public QObject
{
    Q_OBJECT

private slots:
    void numberToText_data();
    void numberToText();
    void textToNumber_data();
    void textToNumber();
    void textToNumberRangeFlags_data();
    void textToNumberRangeFlags();
    void statusTest_data();
    void statusTest();
};

void NumberTextTest::numberToText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    // Expected forms computed independently with Python's "%.15G".
    QTest::newRow("integer") << 212.0 << "212";
    QTest::newRow("difference") << 1000.0 - 273.15 << "726.85";
    QTest::newRow("15 digits of a quotient") << 340.0 / 9.0 << "37.7777777777778";
    QTest::newRow("largest fixed integer") << 123456789012345.0 << "123456789012345";
    QTest::newRow("16 digits go scientific") << 1234567890123456.0 << "1.23456789012346E+15";
    QTest::newRow("rounding up to 1E+15") << 999999999999999.9 << "1E+15";
    QTest::newRow("smallest fixed") << 0.0001 << "0.0001";
    QTest::newRow("scientific below") << 0.00001 << "1E-05";
    QTest::newRow("negative small") << -1.5e-7 << "-1.5E-07";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("largest double")
        << std::numeric_limits<double>::max() << "1.79769313486232E+308";
    QTest::newRow("smallest subnormal")
        << std::numeric_limits<double>::denorm_min() << "4.94065645841247E-324";
}

void NumberTextTest::numberToText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(runtime::numberToText(value), text);
}

void NumberTextTest::textToNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("inner blanks") << " 2 45 7" << 2457.0;
    QTest::newRow("stops at a word") << "24 and 57" << 24.0;
    QTest::newRow("point and exponent") << "-.5e1x" << -5.0;
    QTest::newRow("blank after sign") << "- 5" << -5.0;
    QTest::newRow("double sign") << "--5" << 0.0;
    QTest::newRow("D exponent") << "1.5D2" << 150.0;
    QTest::newRow("blanks in exponent") << "1 E + 2" << 100.0;
    QTest::newRow("marker without digits") << "1e" << 1.0;
    QTest::newRow("marker and sign without digits") << "2e+" << 2.0;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("second point") << "1.2.3" << 1.2;
    QTest::newRow("decimal comma") << "1,5" << 1.0;
    QTest::newRow("hex prefix") << "0x1A" << 0.0;
    QTest::newRow("inf") << "inf" << 0.0;
    QTest::newRow("full-width digits") << QString::fromUtf8("１２") << 0.0;
    QTest::newRow("no-break space stops") << QString::fromUtf8("1\u00a02") << 1.0;
    QTest::newRow("own scientific form") << "1.23456789012346E+15" << 1.23456789012346e15;
    QTest::newRow("subnormal") << "4.94065645841247E-324"
                               << std::numeric_limits<double>::denorm_min();
    QTest::newRow("huge exponent of zero") << "0e999999999999999999999" << 0.0;
    QTest::newRow("negative tiny") << "-1e-400" << -0.0;
}

void NumberTextTest::textToNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    const double read = runtime::textToNumber(text);
    QCOMPARE(read, value);
    QCOMPARE(std::signbit(read), std::signbit(value));
}

void NumberTextTest::textToNumberRangeFlags_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("overflows");
    QTest::newRow("largest double") << "1.7976931348623157E+308" << false;
    QTest::newRow("15-digit form of the largest double") << "1.79769313486232E+308" << true;
    QTest::newRow("1e400") << "1e400" << true;
    QTest::newRow("32767 digits") << QString(32767, u'9') << true;
    QTest::newRow("tiny") << "1e-400" << false;
    QTest::newRow("exponent beyond any integer") << "1e99999999999999999999999" << true;
    QTest::newRow("small mantissa, large exponent") << "0.0000001e310" << false;
}

void NumberTextTest::textToNumberRangeFlags()
{
    QFETCH(QString, text);
    QFETCH(bool, overflows);
    std::feclearexcept(FE_ALL_EXCEPT);
    const double value = runtime::textToNumber(text);
    QCOMPARE(std::fetestexcept(FE_OVERFLOW) != 0, overflows);
    QCOMPARE(std::isinf(value), overflows);
}

void NumberTextTest::statusTest_data()
{
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("right");
    QTest::addColumn<char>("operation");
    QTest::addColumn<int>("error"); // 0: none
    QTest::newRow("ordinary product") << 100.0 << 1.8 << '*' << 0;
    QTest::newRow("overflowing product") << 1e308 << 1.8 << '*' << int(Overflow);
    QTest::newRow("overflowing sum") << 1.7976931348623157e308 << 1e292 << '+' << int(Overflow);
    QTest::newRow("division by zero") << 1.0 << 0.0 << '/' << int(DivisionByZero);
    QTest::newRow("zero by zero") << 0.0 << 0.0 << '/' << int(InvalidProcedureCall);
    QTest::newRow("underflow is no fault") << 1e-308 << 1e10 << '/' << 0;
}

void NumberTextTest::statusTest()
{
    QFETCH(double, left);
    QFETCH(double, right);
    QFETCH(char, operation);
    QFETCH(int, error);
    // The operands come through the test data, so the compiler cannot fold the arithmetic.
    const auto arithmetic = [&] {
        switch (operation) {
        case '*':
            return left * right;
        case '+':
            return left + right;
        default:
            return left / right;
        }
    };
    int raised = 0;
    try {
        arithmeticStep(arithmetic);
    } catch (const RuntimeError &runtimeError) {
        raised = runtimeError.number();
    }
    QCOMPARE(raised, error);
}

QTEST_GUILESS_MAIN(NumberTextTest)
#include "tst_numbertext.moc"
