#include "logincredentials.h"

#include <QByteArray>
#include <QCryptographicHash>

namespace {

// The shared password is kept only as the SHA-256 digest of this salt followed by the password's
// UTF-16 code units, so that it does not stand in the executable as text. Hashing the code units
// themselves keeps the comparison exact: case, blanks and every other character count.
constexpr char passwordSalt[] = "\x7b\x1e\x5f\x0c\x93\xa2\x4d\x6e\x8f\x17\xc2\xb9\xa0\x5d\x3e\x61";
constexpr char passwordDigest[] =
    "717d6a7ab32b0dfee2ea12b5775a44a0a20f76dbf08370afc485c28ad8026b48";

QByteArray digestOf(const QString &text)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(passwordSalt, sizeof passwordSalt - 1));
    QByteArray codeUnits;
    for (const QChar c : text) // little-endian, whatever the machine's byte order
        codeUnits.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
    hash.addData(codeUnits);
    return hash.result();
}

} // namespace

const QStringList &blankUserNames()
{
    static const QStringList names = {QString(), QStringLiteral(" "), QStringLiteral("."),
                                      QStringLiteral("  "), QStringLiteral("   ")};
    return names;
}

bool isLoginPassword(const QString &typed)
{
    static const QByteArray expected = QByteArray::fromHex(passwordDigest);
    return digestOf(typed) == expected;
}
