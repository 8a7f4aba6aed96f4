#include "frmlogon.h"
#include "ui_frmlogon.h"

#include "fonts.h"
#include "messagebox.h"
#include "programicon.h"
#include "windowing.h"

using namespace runtime;

namespace {
const QString makersAddress = QStringLiteral("www.orvane.example");
}

frmlogon::frmlogon(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::frmlogon>()), Option1(this, "Option1"),
      ck(this, "ck"), kc(this, "kc"), kf(this, "kf"), fk(this, "fk")
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(programIcon());
    applyStoredFontSizes(this);
    fitCaptionsToControls(this);
    centreOnScreen(this);
    ui->Option1->setFocus();

    onClick(ui->cf, this, &frmlogon::cf_Click);
    ck.onClick(this, &frmlogon::ck_Click);
    onClick(ui->fc, this, &frmlogon::fc_Click);
    fk.onClick(this, &frmlogon::fk_Click);
    kc.onClick(this, &frmlogon::kc_Click);
    kf.onClick(this, &frmlogon::kf_Click);
    Option1.onClick(this, &frmlogon::Option1_Click);
    onClick(ui->Command1, this, &frmlogon::Command1_Click);
}

frmlogon::~frmlogon() = default;

// "Do Nothing": clears the input and both labels the conversions write.
void frmlogon::Option1_Click(int)
{
    ui->txt1->setText(QString());
    ui->lbl1->setCaption(QString());
    ui->lbl2->setCaption(QString());
}

void frmlogon::Command1_Click()
{
    showMessage(QStringLiteral("Brightfold Version 1.0"), InformationMessage);
    showMessage(QStringLiteral("From ") + makersAddress, InformationMessage);
    showMessage(QStringLiteral("Made by Orvane"), InformationMessage);
    showMessage(QStringLiteral("Please report any bugs"), InformationMessage);
    showMessage(QStringLiteral("Enjoy!"), InformationMessage);
}
