#pragma once

#include <QString>
#include <QStringView>

namespace runtime {

// The text form of a finite number: at most 15 significant digits, fixed notation while the decimal
// exponent lies between -4 and 14, otherwise scientific ("1E+15", "1E-05"); trailing zeros
// dropped, "." as decimal point whatever the locale, and negative zero shown as "0".
QString numberToText(double value);

// The number with which a text begins, or 0 when it begins with none. Blanks, tabs, carriage
// returns and line feeds are skipped wherever they stand; then a sign, digits, a point with
// digits and an exponent marked E, e, D or d. Reading stops at the first other character.
// A magnitude beyond the range of a double raises the floating-point overflow flag. Linear in
// the length of the text.
double textToNumber(QStringView text);

} // namespace runtime
