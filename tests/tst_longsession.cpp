// A long session through the real windows: log in, 10,000 conversions over all six options with
// resets and refused empty fields among them, the About messages, then closing the window ends
// the program. The memory the program holds must not grow with the number of conversions.

#include "label.h"
#include "messageboxcatcher.h"
#include "testwindows.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <unistd.h>

namespace {

constexpr int conversions = 10000;
constexpr int firstConversions = 100; // memory is measured after these, and after all

const char *const optionNames[] = {"cf", "ck", "fc", "fk", "kc", "kf"};

// A typed temperature and what each option makes of it, in the order of optionNames; computed
// independently with Python floats and "%.15G".
struct Sample
{
    const char *typed;
    const char *results[6];
};
const Sample samples[] = {
    {"100", {"212", "373.15", "37.7777777777778", "310.927777777778", "-173.15", "-279.67"}},
    {"-459.67", {"-795.406", "-186.52", "-273.15", "0", "-732.82", "-1287.076"}},
    {"37.5", {"99.5", "310.65", "3.05555555555556", "276.205555555556", "-235.65", "-392.17"}},
    {"0.001",
     {"32.0018", "273.151", "-17.7772222222222", "255.372777777778", "-273.149", "-459.6682"}},
};

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// Sanitizers and Valgrind hold freed memory back, so under them resident memory says nothing.
bool memoryIsMeasurable()
{
#if defined(__SANITIZE_ADDRESS__) // the sanitizer build uses g++, which defines it
    return false;
#else
    return !qEnvironmentVariable("LD_PRELOAD").contains(QLatin1String("vgpreload"));
#endif
}

} // namespace

class LongSessionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareTestApplication(); }
    void session();

private:
    QRadioButton *option(const char *name) { return control<QRadioButton>(converter, name); }
    QLineEdit *input() { return control<QLineEdit>(converter, "txt1"); }
    QString shown(const char *label) { return control<runtime::Label>(converter, label)->text(); }
    QStringList about();

    QWidget *converter = nullptr;
    MessageBoxCatcher *catcher = nullptr;
};

QStringList LongSessionTest::about()
{
    catcher->messages.clear();
    clickOn(control<QPushButton>(converter, "Command1"));
    QStringList texts;
    for (const CaughtMessage &message : catcher->messages)
        texts << message.text;
    catcher->messages.clear();
    return texts;
}

void LongSessionTest::session()
{
    QVERIFY((converter = logIn("Ann")));
    MessageBoxCatcher closer;
    catcher = &closer;
    const QStringList aboutTexts = about();
    QCOMPARE(aboutTexts.size(), 5);

    qint64 afterFirst = 0;
    int done = 0;
    for (int block = 0; done < conversions && !QTest::currentTestFailed(); ++block) {
        if (block % 7 == 6) { // the reset, then a conversion that meets the empty field
            clickOn(option("Option1"));
            clickOn(option(optionNames[block % 6]));
            QCOMPARE(closer.messages.size(), 1);
            QCOMPARE(closer.messages.takeFirst().text, "The field is empty");
        }
        const Sample &sample = samples[block % std::size(samples)];
        clickOn(input());
        QTest::keyClick(input(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(input(), sample.typed);
        for (int i = 0; i < 6 && done < conversions; ++i) { // each option follows every other
            const int which = (block + i) % 6;
            clickOn(option(optionNames[which]));
            QCOMPARE(shown("lbl1") + '|' + shown("lbl2"), QString(sample.results[which]) + '|');
            if (++done == firstConversions)
                afterFirst = residentBytes();
        }
    }
    QCOMPARE(done, conversions);
    QCOMPARE(about(), aboutTexts);
    const qint64 afterAll = residentBytes();
    catcher = nullptr;
    QCOMPARE(runUntilProgramEnds([this] { converter->close(); }), 0);

    qInfo("resident memory: %lld KiB after %d conversions, %lld KiB after %d", afterFirst / 1024,
          firstConversions, afterAll / 1024, conversions);
    if (!memoryIsMeasurable())
        QSKIP("resident memory is not the program's under a sanitizer or Valgrind");
    QVERIFY2(afterAll - afterFirst <= 1024 * 1024, "resident memory grew by more than 1 MiB");
}

QTEST_MAIN(LongSessionTest)
#include "tst_longsession.moc"
