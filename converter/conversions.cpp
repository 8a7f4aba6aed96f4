// The six conversions. Every intermediate value is written into a label as text and read back
// from that text for the next step, so each step works on the 15-digit text form of the last.

#include "frmlogon.h"
#include "ui_frmlogon.h"

#include "floatingpoint.h"
#include "messagebox.h"
#include "numbertext.h"
#include "windowing.h"

using namespace runtime;

namespace {

constexpr double fahrenheitPerCelsius = 1.8;
constexpr double fahrenheitAtZeroCelsius = 32.0;
constexpr double celsiusScale = 5.0;
constexpr double fahrenheitScale = 9.0;
constexpr double kelvinAtZeroCelsius = 273.15;

// One step: its arithmetic, the floating-point status test, then its text form into the target.
template <class Arithmetic> void step(QLabel *target, Arithmetic &&arithmetic)
{
    target->setText(numberToText(arithmeticStep(arithmetic)));
}

// A step without arithmetic: the source's value, in its text form again, into the target.
void copy(QLabel *target, const QLabel *source)
{
    target->setText(numberToText(textToNumber(source->text())));
}

// Fahrenheit to Celsius in three steps on lbl2, then the result into lbl1.
void fahrenheitToCelsius(Ui::frmlogon &ui)
{
    step(ui.lbl2, [&] { return textToNumber(ui.txt1->text()) - fahrenheitAtZeroCelsius; });
    step(ui.lbl2, [&] { return textToNumber(ui.lbl2->text()) * celsiusScale; });
    step(ui.lbl2, [&] { return textToNumber(ui.lbl2->text()) / fahrenheitScale; });
    copy(ui.lbl1, ui.lbl2);
}

} // namespace

bool frmlogon::refusedEmptyField()
{
    if (!ui->txt1->text().isEmpty())
        return false;
    showMessage(*this, QStringLiteral("The field is empty"));
    setFocusOn(Option1.element(1));
    return true;
}

void frmlogon::cf_Click()
{
    if (refusedEmptyField())
        return;
    step(ui->lbl1, [&] {
        return textToNumber(ui->txt1->text()) * fahrenheitPerCelsius + fahrenheitAtZeroCelsius;
    });
}

void frmlogon::ck_Click(int)
{
    if (refusedEmptyField())
        return;
    step(ui->lbl1, [&] { return textToNumber(ui->txt1->text()) + kelvinAtZeroCelsius; });
}

void frmlogon::kc_Click(int)
{
    if (refusedEmptyField())
        return;
    step(ui->lbl1, [&] { return textToNumber(ui->txt1->text()) - kelvinAtZeroCelsius; });
}

void frmlogon::fc_Click()
{
    if (refusedEmptyField())
        return;
    fahrenheitToCelsius(*ui);
    ui->lbl2->setText(QString());
}

void frmlogon::fk_Click(int)
{
    if (refusedEmptyField())
        return;
    fahrenheitToCelsius(*ui);
    step(ui->lbl1, [&] { return textToNumber(ui->lbl1->text()) + kelvinAtZeroCelsius; });
    ui->lbl2->setText(QString());
}

void frmlogon::kf_Click(int)
{
    if (refusedEmptyField())
        return;
    step(ui->lbl2, [&] { return textToNumber(ui->txt1->text()) - kelvinAtZeroCelsius; });
    step(ui->lbl1, [&] {
        return textToNumber(ui->lbl2->text()) * fahrenheitPerCelsius + fahrenheitAtZeroCelsius;
    });
    ui->lbl2->setText(QString());
}
