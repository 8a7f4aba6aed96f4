#include "frmlogin.h"
#include "ui_frmlogin.h"

#include "defaultinstance.h"
#include "errorframe.h"
#include "fonts.h"
#include "frmlogon.h"
#include "logincredentials.h"
#include "passwordfield.h"
#include "programend.h"
#include "titlebar.h"
#include "windowing.h"

#include <QKeyEvent>

using namespace runtime;

frmLogin::frmLogin(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::frmLogin>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(
        Qt::MSWindowsFixedSizeDialogHint); // a dialog's title bar: no minimise, no maximise
    setPasswordCharacter(ui->txtPassword, QChar(0x00AE));
    useClassicWindowFont(this);
    useOwnTitleBar(this); // on Wayland: only a close button, and the title in full
    centreOnScreen(this); // Qt's own placement of a dialog guesses the frame before it has one

    onClick(ui->cmdOK, [this] { cmdOK_Click(); });
    onClick(ui->cmdCancel, [this] { cmdCancel_Click(); });
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
        refuse(ui->txtUserName, QStringLiteral("Please put your name"), InformationMessage);
        return;
    }
    if (!isLoginPassword(ui->txtPassword->text())) {
        refuse(ui->txtPassword, QStringLiteral("Invalid Password, try again!"), PlainMessage,
               QStringLiteral("Login"));
        return;
    }
    setLoginSucceeded(true);
    frmlogon &converter = defaultInstance<frmlogon>();
    setWindowCaption(&converter, "Welcome " + ui->txtUserName->text() + ".");
    converter.show();
    close();
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
        if (ui->txtUserName->text() == blank)
            return true;
    }
    return false;
}

// After the message, the refused box has the focus with its whole text selected and the caret at
// its end, so that typing replaces it.
void frmLogin::refuse(QLineEdit *box, const QString &prompt, MessageStyle style,
                      const QString &title)
{
    showMessage(*this, prompt, style, title);
    setFocusOn(box);
    box->selectAll();
}
