#pragma once

#include <QString>

namespace runtime {

// Texts are equal only when they hold the same 16-bit code units: case and blanks count.
inline bool textEquals(const QString &left, const QString &right)
{
    return left == right;
}

inline QString concatenate(const QString &left, const QString &right)
{
    return left + right;
}

} // namespace runtime
