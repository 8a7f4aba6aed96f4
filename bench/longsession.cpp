// A long session through the real windows, preloaded into the program by bench/run.sh: log in,
// 10,000 conversions over all six options with resets and refused empty fields among them, the
// About messages before and after, then closing the window, which ends the program. Prints the
// resident memory after the first hundred conversions and at the end:
//   longsession conversions=10000 rss_first_kib=41234 rss_last_kib=41300
// bench/run.sh checks how much it grew; every result shown is checked here.

#include "sessiondriver.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstdio>
#include <iterator>
#include <utility>

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

QStringList about(QWidget *converter, bench::MessageBoxCloser &closer)
{
    closer.texts.clear();
    bench::clickOn(bench::control<QPushButton>(converter, "Command1"));
    return std::exchange(closer.texts, {});
}

void session()
{
    QWidget *converter = bench::logIn(QStringLiteral("Ann"));
    auto *input = bench::control<QLineEdit>(converter, "txt1");
    auto *result = bench::control<QLabel>(converter, "lbl1");
    auto *scratch = bench::control<QLabel>(converter, "lbl2");
    const auto option = [converter](int which) {
        return bench::control<QRadioButton>(converter, optionNames[which]);
    };
    bench::MessageBoxCloser closer;
    const QStringList aboutTexts = about(converter, closer);
    if (aboutTexts.size() != 5)
        bench::fail(QStringLiteral("About showed %1 messages, not 5").arg(aboutTexts.size()));

    qint64 firstKiB = 0;
    int done = 0;
    for (int block = 0; done < conversions; ++block) {
        if (block % 7 == 6) { // the reset, then a conversion that meets the empty field
            bench::clickOn(bench::control<QRadioButton>(converter, "Option1"));
            bench::clickOn(option(block % 6));
            if (closer.texts != QStringList{QStringLiteral("The field is empty")})
                bench::fail(QStringLiteral("the empty field gave: ") + closer.texts.join(u'|'));
            closer.texts.clear();
        }
        const Sample &sample = samples[block % std::size(samples)];
        bench::clickOn(input);
        QTest::keyClick(input, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(input, QLatin1String(sample.typed));
        for (int i = 0; i < 6 && done < conversions; ++i) { // each option follows every other
            const int which = (block + i) % 6;
            bench::clickOn(option(which));
            const QString shown = result->text() + u'|' + scratch->text();
            if (shown != QLatin1String(sample.results[which]) + u'|')
                bench::fail(QStringLiteral("%1 on %2 showed %3")
                                .arg(QLatin1String(optionNames[which]), QLatin1String(sample.typed),
                                     shown));
            if (++done == firstConversions)
                firstKiB = bench::residentKiB();
        }
    }
    if (about(converter, closer) != aboutTexts)
        bench::fail(QStringLiteral("About changed during the session"));
    const qint64 lastKiB = bench::residentKiB();
    std::printf("longsession conversions=%d rss_first_kib=%lld rss_last_kib=%lld\n", done,
                static_cast<long long>(firstKiB), static_cast<long long>(lastKiB));
    std::fflush(stdout);
    converter->close(); // the program ends; bench/run.sh checks that it does, with status 0
}

void start()
{
    bench::runWhenProgramRuns(&session);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(start)
