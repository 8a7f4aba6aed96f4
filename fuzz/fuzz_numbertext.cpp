// Fuzzes the text forms of numbers against the C library in the C locale (nothing here calls
// setlocale). One input is read two ways:
// - as UTF-16 text for textToNumber: byte 0xFF and the two bytes after it give one code unit (low
//   byte first), so that lone surrogates, NUL and U+FFFF are reached; any other byte b is U+00b;
// - as doubles for numberToText and the round trip: the bits of its first eight bytes and the
//   number strtod reads from it as text, each with its two neighbours, so that text seeds such as
//   "999999999999999.5" reach both sides of a rounding edge.
// Built without libFuzzer (BRIGHTFOLD_SEED_REPLAY), it runs once on every file of the folders
// given, as libFuzzer replays a corpus; the test suite replays the seeds that way.

#include "numbertext.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void check(bool holds, const std::string &what, double got, double expected)
{
    if (holds)
        return;
    std::fprintf(stderr, "%s: got %a (%.17g), expected %a (%.17g)\n", what.c_str(), got, got,
                 expected, expected);
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
        const bool escaped = data[i] == 0xFF && i + 2 < size;
        text.push_back(escaped ? char16_t(data[i + 1] | data[i + 2] << 8) : char16_t(data[i]));
        i += escaped ? 2 : 0;
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
    const auto is = [&](size_t i, const char *set) {
        return i < s.size() && std::strchr(set, s[i]) && s[i];
    };
    size_t end = is(0, "+-") ? 1 : 0, digits = 0;
    for (; is(end, "0123456789"); ++end)
        ++digits;
    if (is(end, "."))
        for (++end; is(end, "0123456789"); ++end)
            ++digits;
    size_t exponent = end + 1 + (is(end + 1, "+-") ? 1 : 0);
    if (digits > 0 && is(end, "EeDd") && is(exponent, "0123456789")) {
        for (s[end] = 'e', end = exponent; is(end, "0123456789"); ++end) {
        }
    }
    return digits > 0 ? std::strtod(s.substr(0, end).c_str(), nullptr) : 0.0;
}

void checkReading(const std::u16string &text)
{
    // Followed by a digit that is not part of it: a reader that looks past the end takes it in.
    const std::u16string followed = text + u'7';
    std::feclearexcept(FE_ALL_EXCEPT);
    const double read = runtime::textToNumber(QStringView(followed.data(), qsizetype(text.size())));
    const bool overflow = std::fetestexcept(FE_OVERFLOW) != 0;
    check(std::isinf(read) == overflow, "the overflow flag and an infinite result differ", read, 0);
    check(sameBits(read, referenceRead(text)), "textToNumber differs", read, referenceRead(text));
}

// The text is printf's "%.15G" ("0" for negative zero), and reads back as the double nearest to
// the value rounded to 15 significant digits ("%.14e"), bit for bit.
void checkWriting(double value)
{
    char expected[32], rounded[32];
    std::snprintf(expected, sizeof expected, "%.15G", value == 0.0 ? 0.0 : value);
    std::snprintf(rounded, sizeof rounded, "%.14e", value == 0.0 ? 0.0 : value);
    const QString text = runtime::numberToText(value);
    check(text == QLatin1String(expected), std::string("numberToText is not ") + expected, value,
          value);
    const double back = runtime::textToNumber(text), nearest = std::strtod(rounded, nullptr);
    check(sameBits(back, nearest), "the text reads back as another number", back, nearest);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkReading(decodeUtf16(data, size));
    double bits = 0.0;
    std::memcpy(&bits, data, std::min(size, sizeof bits));
    const std::string text(reinterpret_cast<const char *>(data), size);
    for (const double value : {bits, std::strtod(text.c_str(), nullptr)}) {
        for (const double near :
             {value, std::nextafter(value, HUGE_VAL), std::nextafter(value, -HUGE_VAL)}) {
            if (std::isfinite(near))
                checkWriting(near);
        }
    }
    return 0;
}

#ifdef BRIGHTFOLD_SEED_REPLAY
int main(int argc, char *argv[])
{
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto &entry : std::filesystem::directory_iterator(argv[i])) {
            std::ifstream file(entry.path(), std::ios::binary);
            const std::string data{std::istreambuf_iterator<char>(file), {}};
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(data.data()), data.size());
            ++inputs;
        }
    }
    std::printf("%d inputs passed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
#endif
