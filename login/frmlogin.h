#pragma once

#include "messagebox.h"

#include <QDialog>

#include <memory>

namespace Ui {
class frmLogin;
}
class QLineEdit;

// The login window: asks for a user name and the shared password, and opens the converter
// window for a user who gives both.
class frmLogin : public QDialog
{
    Q_OBJECT

public:
    explicit frmLogin(QWidget *parent = nullptr);
    ~frmLogin() override;

    bool LoginSucceeded() const { return m_loginSucceeded; }
    void setLoginSucceeded(bool succeeded) { m_loginSucceeded = succeeded; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void cmdOK_Click();
    void cmdCancel_Click();

    bool isBlankName() const;
    void refuse(QLineEdit *box, const QString &prompt, runtime::MessageStyle style,
                const QString &title = QString());

    std::unique_ptr<Ui::frmLogin> ui;
    bool m_loginSucceeded = false;
};
