// Fuzzes the round trip of a finite double through its text form: textToNumber(numberToText(d))
// is the double nearest to d rounded to 15 significant digits, bit for bit, with the overflow
// flag raised exactly when that is infinite; the reference reader reads the whole text as the
// same number; and a normal result prints as the same text again (15 digits survive a double).

#include "numbertext.h"
#include "reference.h"

#include <cfenv>
#include <cfloat>
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (const double value : fuzzing::doublesOf(data, size)) {
        if (!std::isfinite(value))
            continue;
        const QString text = runtime::numberToText(value);
        const std::u16string units(reinterpret_cast<const char16_t *>(text.utf16()),
                                   size_t(text.size()));
        std::feclearexcept(FE_ALL_EXCEPT);
        const double back = runtime::textToNumber(text);
        const bool overflow = std::fetestexcept(FE_OVERFLOW) != 0;

        const double nearest = fuzzing::nearestAt15Digits(value);
        if (!fuzzing::sameBits(back, nearest))
            fuzzing::fail("read back as another number than the 15-digit rounding", units, back,
                          nearest);
        if (overflow != std::isinf(nearest))
            fuzzing::fail(overflow ? "overflow flag on reading back"
                                   : "no overflow flag on reading back an infinite value",
                          units, back, nearest);

        const fuzzing::Reading reference = fuzzing::referenceRead(units);
        if (reference.consumed != units.size() || reference.stripped != units.size())
            fuzzing::fail("the text is not all one number", units, back, reference.value);
        if (!fuzzing::sameBits(back, reference.value))
            fuzzing::fail("read back differently from the reference reader", units, back,
                          reference.value);

        if (std::fabs(back) >= DBL_MIN && std::isfinite(back) &&
            runtime::numberToText(back) != text)
            fuzzing::fail("the number read back prints differently", units, back, value);
    }
    return 0;
}
