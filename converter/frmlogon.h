#pragma once

#include "controlarray.h"

#include <QRadioButton>
#include <QWidget>

#include <memory>

namespace Ui {
class frmlogon;
}

// The converter window: converts the temperature typed into txt1 between Celsius, Fahrenheit and
// Kelvin when one of the six options is clicked, and shows the result in lbl1.
class frmlogon : public QWidget
{
    Q_OBJECT

public:
    explicit frmlogon(QWidget *parent = nullptr);
    ~frmlogon() override;

private:
    void cf_Click();
    void ck_Click(int index);
    void fc_Click();
    void fk_Click(int index);
    void kc_Click(int index);
    void kf_Click(int index);
    void Option1_Click(int index);
    void Command1_Click();

    bool refusedEmptyField();
    QString describeResult(); // returns the description

    std::unique_ptr<Ui::frmlogon> ui;
    runtime::ControlArray<QRadioButton> Option1;
    runtime::ControlArray<QRadioButton> ck;
    runtime::ControlArray<QRadioButton> kc;
    runtime::ControlArray<QRadioButton> kf;
    runtime::ControlArray<QRadioButton> fk;
};
