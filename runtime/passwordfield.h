#pragma once

#include <QChar>

class QLineEdit;

namespace runtime {

// Makes a text box show every character typed into it as mask, with input methods off. Its text
// stays what was typed.
void makePasswordField(QLineEdit *field, QChar mask);

} // namespace runtime
