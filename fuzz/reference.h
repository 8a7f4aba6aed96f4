// Independent readings and writings of numbers, against which the fuzz targets check
// runtime/numbertext.cpp: plain C library calls in the C locale (no fuzz target calls
// setlocale) on a grammar written out again here.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzing {

// Fuzz input as UTF-16: byte 0xFF followed by two more bytes gives the code unit of those two
// (low byte first), so that any sequence of code units can be reached, lone surrogates, NUL and
// U+FFFF included; any other byte b gives U+00b, so that seed files stay readable text.
inline std::u16string decodeUtf16(const uint8_t *data, size_t size)
{
    std::u16string text;
    text.reserve(size);
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

inline bool isSkipped(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// The number with which a text begins, read as runtime/numbertext.h describes it.
struct Reading
{
    double value = 0.0;
    size_t consumed = 0; // code units of the text without the skipped ones that form the number
    size_t stripped = 0; // code units of the text without the skipped ones
};

// Removes the skipped characters first, then gives the longest prefix of the form
// [+-] digits [. digits] [(E|e|D|d) [+-] digits], with at least one digit before the exponent,
// to strtod.
inline Reading referenceRead(std::u16string_view text)
{
    std::u16string s;
    for (const char16_t c : text)
        if (!isSkipped(c))
            s.push_back(c);
    Reading reading;
    reading.stripped = s.size();

    const auto digit = [&](size_t i) { return i < s.size() && s[i] >= u'0' && s[i] <= u'9'; };
    const auto sign = [&](size_t i) { return i < s.size() && (s[i] == u'+' || s[i] == u'-'); };
    size_t i = 0;
    if (sign(i))
        ++i;
    size_t digits = 0;
    for (; digit(i); ++i)
        ++digits;
    if (i < s.size() && s[i] == u'.')
        for (++i; digit(i); ++i)
            ++digits;
    if (digits == 0)
        return reading; // 0, and nothing read
    if (i < s.size() && (s[i] == u'E' || s[i] == u'e' || s[i] == u'D' || s[i] == u'd')) {
        size_t j = i + 1;
        if (sign(j))
            ++j;
        if (digit(j)) {
            while (digit(j))
                ++j;
            i = j;
        }
    }

    std::string literal(s.begin(), s.begin() + std::ptrdiff_t(i)); // all ASCII by now
    for (char &c : literal)
        if (c == 'D' || c == 'd')
            c = 'e';
    char *end = nullptr;
    reading.value = std::strtod(literal.c_str(), &end);
    reading.consumed = i;
    if (end != literal.c_str() + literal.size())
        std::abort(); // the grammar above accepted something strtod does not
    return reading;
}

// What numberToText must give for a finite value: printf's "%.15G" in the C locale, except
// that negative zero is "0".
inline std::string referenceText(double value)
{
    if (value == 0.0)
        return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return buffer;
}

// The double nearest to a value rounded to 15 significant digits (one before the point and
// fourteen after it in "%.14e"), with negative zero as positive zero like its text form.
inline double nearestAt15Digits(double value)
{
    if (value == 0.0)
        return 0.0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    return std::strtod(buffer, nullptr);
}

inline bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The doubles that one fuzz input stands for: the bits of its first eight bytes, the number
// that strtod reads from it as text, and the neighbours of both, so that text seeds such as
// "999999999999999.5" reach the values on either side of a rounding edge.
inline std::vector<double> doublesOf(const uint8_t *data, size_t size)
{
    std::vector<double> values;
    uint64_t bits = 0;
    std::memcpy(&bits, data, size < sizeof bits ? size : sizeof bits);
    double raw = 0.0;
    std::memcpy(&raw, &bits, sizeof raw);
    values.push_back(raw);
    const std::string text(reinterpret_cast<const char *>(data), size);
    char *end = nullptr;
    const double read = std::strtod(text.c_str(), &end);
    if (end != text.c_str())
        values.push_back(read);
    const size_t count = values.size();
    for (size_t i = 0; i < count; ++i) {
        values.push_back(std::nextafter(values[i], HUGE_VAL));
        values.push_back(std::nextafter(values[i], -HUGE_VAL));
    }
    return values;
}

// Stops the fuzzer with the failing input when a check fails.
[[noreturn]] inline void fail(const char *what, const std::u16string_view text, double got,
                              double expected)
{
    std::fprintf(stderr, "fuzz check failed: %s\ntext (%zu code units):", what, text.size());
    for (size_t i = 0; i < text.size() && i < 200; ++i) {
        if (text[i] >= u' ' && text[i] <= u'~')
            std::fprintf(stderr, " %c", char(text[i]));
        else
            std::fprintf(stderr, " U+%04X", unsigned(text[i]));
    }
    std::fprintf(stderr, "%s\ngot %a (%.17g), expected %a (%.17g)\n",
                 text.size() > 200 ? " ..." : "", got, got, expected, expected);
    std::abort();
}

inline std::u16string toUtf16(std::string_view ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

} // namespace fuzzing
