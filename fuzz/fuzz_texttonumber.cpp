// Fuzzes textToNumber with arbitrary UTF-16 text: no crash or undefined behaviour, a finite
// result unless the overflow flag is raised, the same value as the reference reader bit for bit,
// and the same value again when a long run of skipped characters is put anywhere in the text.

#include "numbertext.h"
#include "reference.h"

#include <cfenv>
#include <cmath>

namespace {

struct Result
{
    double value;
    bool overflow;
};

Result read(const std::u16string &text)
{
    std::feclearexcept(FE_ALL_EXCEPT);
    const double value = runtime::textToNumber(QStringView(text.data(), qsizetype(text.size())));
    return {value, std::fetestexcept(FE_OVERFLOW) != 0};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::u16string text = fuzzing::decodeUtf16(data, size);
    const Result result = read(text);
    if (std::isnan(result.value))
        fuzzing::fail("NaN", text, result.value, 0.0);
    if (std::isinf(result.value) != result.overflow)
        fuzzing::fail(result.overflow ? "overflow flag with a finite value"
                                      : "infinite value without the overflow flag",
                      text, result.value, 0.0);

    const fuzzing::Reading expected = fuzzing::referenceRead(text);
    if (!fuzzing::sameBits(result.value, expected.value))
        fuzzing::fail("value differs from the reference reader", text, result.value,
                      expected.value);

    // Blanks, tabs and line ends are skipped wherever they stand, however many there are.
    if (text.size() <= 256) {
        const size_t at = text.empty() ? 0 : size_t(data[0]) % (text.size() + 1);
        std::u16string padded = text.substr(0, at);
        for (size_t i = 0; i < 1000; ++i)
            padded.push_back(u" \t\r\n "[(i + at) % 5]);
        padded += text.substr(at);
        const Result again = read(padded);
        if (!fuzzing::sameBits(again.value, result.value) || again.overflow != result.overflow)
            fuzzing::fail("skipped characters changed the value", text, again.value, result.value);
    }
    return 0;
}
