// Fuzzes the text forms of numbers against the C library in the C locale (no target calls
// setlocale). One input is read two ways:
// - as UTF-16 text for textToNumber: byte 0xFF and the two bytes after it give one code unit (low
//   byte first), so that lone surrogates, NUL and U+FFFF are reached; any other byte b is U+00b;
// - as doubles for numberToText and the round trip: the bits of its first eight bytes, the number
//   strtod reads from it as text, and the neighbours of both, so that text seeds such as
//   "999999999999999.5" reach both sides of a rounding edge.

#include "numbertext.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const char *what, double got, double expected)
{
    std::fprintf(stderr, "%s: got %a (%.17g), expected %a (%.17g)\n", what, got, got, expected,
                 expected);
    std::abort();
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::u16string decodeUtf16(const uint8_t *data, size_t size)
{
    std::u16string text;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text.push_back(char16_t(data[i + 1] | data[i + 2] << 8));
            i += 2;
        } else {
            text.push_back(char16_t(data[i]));
        }
    }
    return text;
}

// The number a text begins with, written out again: blanks, tabs and line ends removed first,
// then strtod on the longest prefix [+-] digits [. digits] [(E|e|D|d) [+-] digits] that has a
// digit before the exponent; 0 without one.
double referenceRead(const std::u16string &text)
{
    std::string s;
    for (const char16_t c : text) {
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n')
            s.push_back(c < 0x80 ? char(c) : '\x7f'); // anything else ends the number
    }
    const auto digit = [&](size_t i) { return i < s.size() && s[i] >= '0' && s[i] <= '9'; };
    const auto sign = [&](size_t i) { return i < s.size() && (s[i] == '+' || s[i] == '-'); };
    size_t end = sign(0) ? 1 : 0, digits = 0;
    for (; digit(end); ++end)
        ++digits;
    if (end < s.size() && s[end] == '.')
        for (++end; digit(end); ++end)
            ++digits;
    if (digits == 0)
        return 0.0;
    const char marker = end < s.size() ? s[end] : '\0';
    if (marker == 'E' || marker == 'e' || marker == 'D' || marker == 'd') {
        size_t exponent = end + 1 + (sign(end + 1) ? 1 : 0);
        if (digit(exponent)) {
            s[end] = 'e';
            for (end = exponent; digit(end); ++end) {
            }
        }
    }
    return std::strtod(s.substr(0, end).c_str(), nullptr);
}

std::vector<double> doublesOf(const uint8_t *data, size_t size)
{
    double bits = 0.0;
    std::memcpy(&bits, data, std::min(size, sizeof bits));
    std::vector<double> values{bits};
    const std::string text(reinterpret_cast<const char *>(data), size);
    char *end = nullptr;
    const double read = std::strtod(text.c_str(), &end);
    if (end != text.c_str())
        values.push_back(read);
    for (const double value : std::vector(values))
        values.insert(values.end(),
                      {std::nextafter(value, HUGE_VAL), std::nextafter(value, -HUGE_VAL)});
    return values;
}

void checkReading(const std::u16string &text)
{
    std::feclearexcept(FE_ALL_EXCEPT);
    const double read = runtime::textToNumber(QStringView(text.data(), qsizetype(text.size())));
    if (std::isinf(read) != (std::fetestexcept(FE_OVERFLOW) != 0))
        fail("the overflow flag does not match an infinite result", read, 0.0);
    if (!sameBits(read, referenceRead(text)))
        fail("textToNumber differs from strtod", read, referenceRead(text));
}

// The text is printf's "%.15G" ("0" for negative zero), and reads back as the double nearest to
// the value rounded to 15 significant digits ("%.14e"), bit for bit.
void checkWriting(double value)
{
    char expected[32], rounded[32];
    std::snprintf(expected, sizeof expected, "%.15G", value == 0.0 ? 0.0 : value);
    const QString text = runtime::numberToText(value);
    if (text != QLatin1String(expected))
        fail(("numberToText differs from " + std::string(expected)).c_str(), value, value);
    std::snprintf(rounded, sizeof rounded, "%.14e", value == 0.0 ? 0.0 : value);
    const double nearest = std::strtod(rounded, nullptr);
    if (!sameBits(runtime::textToNumber(text), nearest))
        fail("the text reads back as another number", runtime::textToNumber(text), nearest);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkReading(decodeUtf16(data, size));
    for (const double value : doublesOf(data, size)) {
        if (std::isfinite(value))
            checkWriting(value);
    }
    return 0;
}
