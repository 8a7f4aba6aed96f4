#include "frmlogin.h"
#include "ui_frmlogin.h"

#include "defaultinstance.h"
#include "fonts.h"
#include "frmlogon.h"
#include "keystrokes.h"
#include "logincredentials.h"
#include "messagebox.h"
#include "passwordfield.h"
#include "programicon.h"
#include "text.h"
#include "windowing.h"

#include <QKeyEvent>

using namespace runtime;

frmLogin::frmLogin(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmLogin>()), lblLabels(this, "lblLabels")
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    makePasswordField(ui->txtPassword, QChar(0x00AE));
    fitCaptionsToControls(this);
    centreOnScreen(this);
    ui->txtUserName->setFocus();

    onClick(ui->cmdOK, this, &frmLogin::cmdOK_Click);
    onClick(ui->cmdCancel, this, &frmLogin::cmdCancel_Click);
}

frmLogin::~frmLogin() = default;

// Esc presses the cancel button wherever the focus is; Enter is the dialog's default button.
void frmLogin::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        ui->cmdCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmLogin::cmdOK_Click()
{
    if (isBlankName()) {
        refuseName();
        return;
    }
    if (!isLoginPassword(ui->txtPassword->text())) {
        refusePassword();
        return;
    }
    setLoginSucceeded(true);
    frmlogon &converter = defaultInstance<frmlogon>();
    setWindowCaption(&converter,
                     concatenate(concatenate(QStringLiteral("Welcome "), ui->txtUserName->text()),
                                 QStringLiteral(".")));
    showWindow(&converter);
    unloadWindow(this);
}

void frmLogin::cmdCancel_Click()
{
    setLoginSucceeded(false);
    endProgram();
}

// Each entry is compared with a fresh read of the user name, in this order.
bool frmLogin::isBlankName() const
{
    for (const QString &blank : blankUserNames()) {
        if (textEquals(ui->txtUserName->text(), blank))
            return true;
    }
    return false;
}

void frmLogin::refuseName()
{
    showMessage(QStringLiteral("Please put your name"), InformationMessage);
    setFocusOn(ui->txtUserName);
    sendKeys(QStringLiteral("{home}+{end}"));
}

void frmLogin::refusePassword()
{
    showMessage(QStringLiteral("Invalid Password, try again!"), PlainMessage,
                QStringLiteral("Login"));
    setFocusOn(ui->txtPassword);
    sendKeys(QStringLiteral("{Home}+{End}"));
}
