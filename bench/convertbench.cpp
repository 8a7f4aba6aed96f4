// Times one conversion of the longest input the converter window takes (32767 characters, the
// input field's limit) for each of the six options, in the program's own window, run headless.
// Prints the median of several clicks of each, in milliseconds, one option a line:
//   convert_ms input=fraction option=cf median=1.234 runs=15

#include "defaultinstance.h"
#include "fonts.h"
#include "frmlogon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QTimer>

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

// A conversion that ran into an error would wait in a modal message box: close it and fail.
bool messageBoxSeen = false;
void closeStrayMessageBoxes()
{
    if (QWidget *modal = QApplication::activeModalWidget()) {
        messageBoxSeen = true;
        modal->close();
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    runtime::installWindowFont();

    frmlogon &converter = runtime::defaultInstance<frmlogon>();
    converter.show();
    QApplication::processEvents();
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, &closeStrayMessageBoxes);
    watchdog.start(500);

    auto *input = converter.findChild<QLineEdit *>(QStringLiteral("txt1"));
    auto *result = converter.findChild<QLabel *>(QStringLiteral("lbl1"));
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

    int status = 0;
    for (const auto &[inputName, text] : inputs) {
        input->setText(text);
        if (input->text().size() != inputLength) {
            std::fprintf(stderr, "convertbench: the input field kept %lld of %lld characters\n",
                         static_cast<long long>(input->text().size()),
                         static_cast<long long>(inputLength));
            return 1;
        }
        for (const char *name : options) {
            auto *option = converter.findChild<QRadioButton *>(QLatin1String(name));
            std::vector<double> times;
            for (int run = 0; run < runs; ++run) {
                result->clear();
                QElapsedTimer timer;
                timer.start();
                option->click();
                times.push_back(double(timer.nsecsElapsed()) / 1e6);
                QApplication::processEvents();
            }
            if (result->text().isEmpty() || messageBoxSeen) {
                std::fprintf(stderr, "convertbench: %s on %s gave no result\n", name, inputName);
                status = 1;
            }
            std::printf("convert_ms input=%s option=%s median=%.3f runs=%d result=%s\n", inputName,
                        name, median(times), runs, qPrintable(result->text()));
        }
    }
    return status;
}
