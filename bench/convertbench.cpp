// Times one conversion of the longest input the converter window takes (32767 characters, the
// input field's limit) for each of the six options, in the real program, preloaded into it by
// bench/run.sh and run headless. Prints the median of several clicks of each, in milliseconds,
// one option a line:
//   convert_ms input=fraction option=cf median=1.234 runs=15 result=97.9999999999999

#include "sessiondriver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int runs = 15;
constexpr qsizetype inputLength = 32767;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void session()
{
    QWidget *converter = bench::logIn(QStringLiteral("Ann"));
    auto *input = bench::control<QLineEdit>(converter, "txt1");
    auto *result = bench::control<QLabel>(converter, "lbl1");
    bench::MessageBoxCloser closer; // a conversion that ran into an error shows a message
    const struct
    {
        const char *name;
        QString text;
    } inputs[] = {
        // 36.666... with as many sixes as fit
        {"fraction", QStringLiteral("36.") + QString(inputLength - 3, QLatin1Char('6'))},
        // 212 after a run of leading zeros
        {"zeros", QString(inputLength - 3, QLatin1Char('0')) + QStringLiteral("212")},
    };
    const char *const options[] = {"cf", "ck", "fc", "fk", "kc", "kf"};

    for (const auto &[inputName, text] : inputs) {
        input->setText(text);
        if (input->text().size() != inputLength)
            bench::fail(QStringLiteral("the input field kept %1 of %2 characters")
                            .arg(input->text().size())
                            .arg(inputLength));
        for (const char *name : options) {
            auto *option = bench::control<QRadioButton>(converter, name);
            std::vector<double> times;
            for (int run = 0; run < runs; ++run) {
                result->clear();
                QElapsedTimer timer;
                timer.start();
                option->click();
                times.push_back(double(timer.nsecsElapsed()) / 1e6);
                QTest::qWait(0);
            }
            if (result->text().isEmpty() || !closer.texts.isEmpty())
                bench::fail(QStringLiteral("%1 on %2 gave no result: %3")
                                .arg(QLatin1String(name), QLatin1String(inputName),
                                     closer.texts.join(u'|')));
            std::printf("convert_ms input=%s option=%s median=%.3f runs=%d result=%s\n", inputName,
                        name, median(times), runs, qPrintable(result->text()));
        }
    }
    std::fflush(stdout);
    converter->close(); // the program ends
}

void start()
{
    bench::runWhenProgramRuns(&session);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(start)
