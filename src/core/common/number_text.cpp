#include "core/common/number_text.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <stdlib.h>

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
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
        std::string copy(number);
        value = strtod_l(copy.c_str(), nullptr, cLocale);
    }
    return negative ? -value : value;
}

}  // namespace verdanel
