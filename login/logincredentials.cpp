#include "logincredentials.h"

#include "text.h"

const QStringList &blankUserNames()
{
    static const QStringList names = {QString(), QStringLiteral(" "), QStringLiteral("."),
                                      QStringLiteral("  "), QStringLiteral("   ")};
    return names;
}

bool isLoginPassword(const QString &typed)
{
    return runtime::textEquals(typed, QStringLiteral("bluelanterns"));
}
