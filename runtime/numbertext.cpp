#include "numbertext.h"

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <limits>
#include <string>

namespace runtime {

QString numberToText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0"); // also for negative zero
    char buffer[32];
    // to_chars with a precision formats exactly as printf's "%.15g", without the C locale.
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return QString::fromLatin1(buffer, result.ptr - buffer).replace(u'e', u'E');
}

namespace {

bool isSkipped(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isExponentMarker(char16_t c)
{
    return c == u'E' || c == u'e' || c == u'D' || c == u'd';
}

// Reads the characters of a text one by one, passing over the skipped ones.
class Reader
{
public:
    explicit Reader(QStringView text) : m_text(text) { skip(); }

    bool atEnd() const { return m_position >= m_text.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : m_text[m_position].unicode(); }
    void advance()
    {
        ++m_position;
        skip();
    }

private:
    void skip()
    {
        while (!atEnd() && isSkipped(m_text[m_position].unicode()))
            ++m_position;
    }

    QStringView m_text;
    qsizetype m_position = 0;
};

// The number's characters, gathered without the skipped ones, ready for from_chars.
struct Numeral
{
    bool negative = false;
    std::string mantissa; // digits with at most one '.'
    bool hasDigits = false;
    qsizetype leadingPower = 0; // decimal exponent of the first significant digit, before e
    bool significant = false;   // any digit other than zero
    long long exponent = 0;     // saturated, so that a very long exponent cannot overflow
};

void readMantissa(Reader &reader, Numeral &numeral)
{
    qsizetype integerDigits = 0;
    qsizetype fractionZeros = 0;
    bool inFraction = false;
    for (;;) {
        const char16_t c = reader.peek();
        if (isDigit(c)) {
            numeral.hasDigits = true;
            if (c != u'0' && !numeral.significant) {
                numeral.significant = true;
                numeral.leadingPower = inFraction ? -fractionZeros - 1 : 0;
            }
            if (!inFraction && (numeral.significant || c != u'0'))
                ++integerDigits;
            if (inFraction && !numeral.significant)
                ++fractionZeros;
            numeral.mantissa.push_back(char(c));
        } else if (c == u'.' && !inFraction) {
            inFraction = true;
            numeral.mantissa.push_back('.');
        } else {
            break;
        }
        reader.advance();
    }
    if (numeral.significant && integerDigits > 0)
        numeral.leadingPower = integerDigits - 1;
}

void readExponent(Reader &reader, Numeral &numeral)
{
    if (!isExponentMarker(reader.peek()))
        return;
    reader.advance();
    bool negative = false;
    if (reader.peek() == u'+' || reader.peek() == u'-') {
        negative = reader.peek() == u'-';
        reader.advance();
    }
    if (!isDigit(reader.peek()))
        return; // a marker without digits ends the number before it, and nothing more is read
    constexpr long long limit = 1'000'000'000'000LL;
    long long exponent = 0;
    while (isDigit(reader.peek())) {
        exponent = std::min(limit, exponent * 10 + (reader.peek() - u'0'));
        reader.advance();
    }
    numeral.exponent = negative ? -exponent : exponent;
}

double outOfRange(const Numeral &numeral)
{
    const bool tooLarge = numeral.leadingPower + numeral.exponent > 0;
    if (tooLarge)
        std::feraiseexcept(FE_OVERFLOW);
    const double magnitude = tooLarge ? std::numeric_limits<double>::infinity() : 0.0;
    return numeral.negative ? -magnitude : magnitude;
}

} // namespace

double textToNumber(QStringView text)
{
    Reader reader(text);
    Numeral numeral;
    if (reader.peek() == u'+' || reader.peek() == u'-') {
        numeral.negative = reader.peek() == u'-';
        reader.advance();
    }
    readMantissa(reader, numeral);
    if (!numeral.hasDigits)
        return 0.0;
    readExponent(reader, numeral);
    if (!numeral.significant)
        return numeral.negative ? -0.0 : 0.0;

    const std::string literal = numeral.mantissa + 'e' + std::to_string(numeral.exponent);
    double value = 0.0;
    const auto result = std::from_chars(literal.data(), literal.data() + literal.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return outOfRange(numeral);
    return numeral.negative ? -value : value;
}

} // namespace runtime
