#include "core/common/number_text.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/common/platform.hpp"

namespace verdanel {

std::string formatScientific(double value, int decimals) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    std::array<char, 64> buf{};
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                             std::chars_format::scientific, decimals);
    std::string text(buf.data(), res.ptr);
    // to_chars writes at least two exponent digits; widen to three.
    auto e = text.find('e');
    if (e == std::string::npos) return text;
    std::string mantissa = text.substr(0, e);
    char sign = text[e + 1];
    std::string digits = text.substr(e + 2);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    return mantissa + 'e' + sign + digits;
}

std::string formatE(double value) { return formatScientific(value, 6); }
std::string formatE2(double value) { return formatScientific(value, 2); }

namespace {
constexpr int kPrintedDecimals = 6;  // "%e"
// Seven significant digits, so one decade of mantissas spans 10^7 keys.
constexpr std::int64_t kMantissaSpan = 10'000'000;
// Above the largest negative decimal exponent of a double (-324).
constexpr std::int64_t kExponentOffset = 400;

// Doubles as integers in the order of their values (-0 and +0 both 0), and back.
std::int64_t orderOf(double v) {
    const auto bits = std::bit_cast<std::int64_t>(v);
    return bits >= 0 ? bits : std::numeric_limits<std::int64_t>::min() - bits;
}
double fromOrder(std::int64_t order) {
    return std::bit_cast<double>(order >= 0 ? order : std::numeric_limits<std::int64_t>::min() - order);
}

// The greatest (upward) or least double that prints like `value`. The key
// grows with the value, so the doubles that print alike are one interval,
// and its end is found by halving the distance to a double outside it.
double edgePrintedAlike(double value, bool upward) {
    const std::int64_t key = printedKey(value);
    std::int64_t inside = orderOf(value);
    std::int64_t outside = orderOf(upward ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max());
    if (printedKey(fromOrder(outside)) == key) return fromOrder(outside);
    // Invariant: `inside` prints alike, `outside` does not. The gap between
    // them can exceed the signed range, so it is counted unsigned.
    for (;;) {
        const auto in = static_cast<std::uint64_t>(inside);
        const auto out = static_cast<std::uint64_t>(outside);
        const std::uint64_t gap = upward ? out - in : in - out;
        if (gap <= 1) break;
        const auto middle = static_cast<std::int64_t>(upward ? in + gap / 2 : in - gap / 2);
        (printedKey(fromOrder(middle)) == key ? inside : outside) = middle;
    }
    return fromOrder(inside);
}
}  // namespace

std::int64_t printedKey(double value) {
    if (std::isnan(value)) return 0;
    constexpr std::int64_t kBeyond = std::numeric_limits<std::int64_t>::max();
    if (std::isinf(value)) return value > 0 ? kBeyond : -kBeyond;
    // The digits come from the same conversion formatE uses.
    std::array<char, 64> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific,
                                   kPrintedDecimals);
    const char* p = buf.data();
    const bool negative = *p == '-';
    if (negative) ++p;
    std::int64_t mantissa = 0;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p != '.') mantissa = mantissa * 10 + (*p - '0');
    }
    if (mantissa == 0) return 0;
    ++p;  // 'e'
    const bool negativeExponent = *p == '-';
    ++p;  // exponent sign
    std::int64_t exponent = 0;
    for (; p < res.ptr; ++p) exponent = exponent * 10 + (*p - '0');
    if (negativeExponent) exponent = -exponent;
    const std::int64_t key = (exponent + kExponentOffset) * kMantissaSpan + mantissa;
    return negative ? -key : key;
}

double leastPrintedAlike(double value) { return edgePrintedAlike(value, false); }
double greatestPrintedAlike(double value) { return edgePrintedAlike(value, true); }

std::string formatRoundTrip(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    std::array<char, 64> buf{};
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return std::string(buf.data(), res.ptr);
}

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

double parseAtof(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t numberStart = i;
    std::size_t mantissaDigits = 0;
    while (i < n && isDigit(text[i])) { ++i; ++mantissaDigits; }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) { ++i; ++mantissaDigits; }
    }
    if (mantissaDigits == 0) return 0.0;
    std::size_t end = i;
    // An exponent counts only when at least one digit follows it.
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j])) ++j;
            end = j;
        }
    }
    std::string_view number = text.substr(numberStart, end - numberStart);
    double value = 0.0;
    auto res = std::from_chars(number.data(), number.data() + number.size(), value,
                               std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Overflow gives HUGE_VAL and underflow a tiny value or 0, as atof does;
        // strtod in the C locale decides which.
        std::string copy(number);
        value = platform::strtodInCLocale(copy.c_str());
    }
    return negative ? -value : value;
}

}  // namespace verdanel
