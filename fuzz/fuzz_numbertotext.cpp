// Fuzzes numberToText: for every finite double the text that printf's "%.15G" gives in the C
// locale ("0" for negative zero), whatever the bits; a fixed word for the others.

#include "numbertext.h"
#include "reference.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (const double value : fuzzing::doublesOf(data, size)) {
        const QString text = runtime::numberToText(value);
        const std::u16string got(reinterpret_cast<const char16_t *>(text.utf16()),
                                 size_t(text.size()));
        std::string expected;
        if (std::isfinite(value))
            expected = fuzzing::referenceText(value);
        else
            expected = std::isnan(value) ? "NaN" : value > 0 ? "Infinity" : "-Infinity";
        if (got != fuzzing::toUtf16(expected))
            fuzzing::fail(("text differs from " + expected).c_str(), got, value, value);
    }
    return 0;
}
