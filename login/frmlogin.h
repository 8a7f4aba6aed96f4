#pragma once

#include "controlarray.h"

#include <QDialog>
#include <QLabel>

#include <memory>

namespace Ui {
class frmLogin;
}

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
    void refuseName();
    void refusePassword();

    std::unique_ptr<Ui::frmLogin> ui;
    runtime::ControlArray<QLabel> lblLabels;
    bool m_loginSucceeded = false;
};
