#pragma once

#include <QString>
#include <QStringList>

// The user names that count as no name at all, in the order they are tested.
const QStringList &blankUserNames();

// Whether a typed password is the shared one: exact, case and blanks included.
bool isLoginPassword(const QString &typed);
