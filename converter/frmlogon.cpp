#include "frmlogon.h"
#include "ui_frmlogon.h"

#include "accessibility.h"
#include "fonts.h"
#include "messagebox.h"
#include "productinfo.h"
#include "titlebar.h"
#include "windowing.h"

using namespace runtime;

frmlogon::frmlogon(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::frmlogon>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    useClassicWindowFont(this);
    useOwnTitleBar(this); // on Wayland: the title in full
    centreOnScreen(this);

    // Option1, ck, kc, kf and fk are control arrays of one element each.
    Option1.add(1, ui->Option1);
    ck.add(2, ui->ck);
    kc.add(3, ui->kc);
    kf.add(4, ui->kf);
    fk.add(5, ui->fk);

    onClick(ui->cf, [this] { cf_Click(); });
    ck.onClick([this](int index) { ck_Click(index); });
    onClick(ui->fc, [this] { fc_Click(); });
    fk.onClick([this](int index) { fk_Click(index); });
    kc.onClick([this](int index) { kc_Click(index); });
    kf.onClick([this](int index) { kf_Click(index); });
    Option1.onClick([this](int index) { Option1_Click(index); });
    onClick(ui->Command1, [this] { Command1_Click(); });

    // After each option's own procedure, every option describes the result, for a screen reader
    // to speak where the user is whenever asked, and the result is announced at once.
    const auto options = findChildren<QRadioButton *>();
    for (QRadioButton *option : options)
        onClick(option, [this] { announce(ui->lbl1, describeResult()); });
    describeResult();
}

frmlogon::~frmlogon() = default;

// "Do Nothing": clears the input and both labels the conversions write.
void frmlogon::Option1_Click(int)
{
    ui->txt1->setText(QString());
    ui->lbl1->setText(QString());
    ui->lbl2->setText(QString());
}

QString frmlogon::describeResult()
{
    const QString result = ui->lbl1->text();
    const QString description = ui->lbl1->accessibleDescription() + QStringLiteral(": ") +
                                (result.isEmpty() ? QStringLiteral("empty") : result);
    const auto options = findChildren<QRadioButton *>();
    for (QRadioButton *option : options)
        option->setAccessibleDescription(description);
    return description;
}

void frmlogon::Command1_Click()
{
    const QStringList lines{
        QStringLiteral(BRIGHTFOLD_TITLE " Version " BRIGHTFOLD_SHORT_VERSION),
        QStringLiteral("From " BRIGHTFOLD_WEB_ADDRESS),
        QStringLiteral("Made by " BRIGHTFOLD_COMPANY),
        QStringLiteral("Please report any bugs"),
        QStringLiteral("Enjoy!"),
    };
    for (const QString &line : lines)
        showMessage(*this, line, InformationMessage);
}
