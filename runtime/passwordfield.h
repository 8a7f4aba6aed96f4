#pragma once

#include <QChar>

class QLineEdit;

namespace runtime {

// Makes a password box (echo mode Password, set by its window definition) show every character
// typed into it as mask, with input methods off. Its text stays what was typed.
void setPasswordCharacter(QLineEdit *field, QChar mask);

} // namespace runtime
