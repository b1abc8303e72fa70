#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <clocale>
#include <cmath>
#include <compare>
#include <cstdio>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "core/common/number_text.hpp"

using namespace verdanel;

TEST(NumberText, ExponentHasAtLeastThreeDigits) {
    EXPECT_EQ(formatE(1.23456e-5), "1.234560e-005");
    EXPECT_EQ(formatE(0.0), "0.000000e+000");
    EXPECT_EQ(formatE(-2.5), "-2.500000e+000");
    EXPECT_EQ(formatE(1e300), "1.000000e+300");
    EXPECT_EQ(formatE(4.9e-324), "4.940656e-324");
    EXPECT_EQ(formatE2(1.2e-3), "1.20e-003");
    EXPECT_EQ(formatE2(-1.5e10), "-1.50e+010");
    EXPECT_EQ(formatE2(9.999), "1.00e+001");  // rounding carries into the exponent
}

TEST(NumberText, InfinityAndNanHaveReadableTexts) {
    EXPECT_EQ(formatE(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(formatE(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(formatE(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(formatE2(std::numeric_limits<double>::infinity()), "inf");
}

TEST(NumberText, AtofTakesTheLongestNumericPrefix) {
    EXPECT_DOUBLE_EQ(parseAtof("12.5mm"), 12.5);
    EXPECT_DOUBLE_EQ(parseAtof("  -3e2x"), -300.0);
    EXPECT_DOUBLE_EQ(parseAtof("abc"), 0.0);
    EXPECT_DOUBLE_EQ(parseAtof("1,5"), 1.0);
    EXPECT_DOUBLE_EQ(parseAtof(""), 0.0);
    EXPECT_DOUBLE_EQ(parseAtof("\t+.5"), 0.5);
    EXPECT_DOUBLE_EQ(parseAtof("5."), 5.0);
    EXPECT_DOUBLE_EQ(parseAtof("1e"), 1.0);      // an exponent without digits is not part of the number
    EXPECT_DOUBLE_EQ(parseAtof("2E+"), 2.0);
    EXPECT_DOUBLE_EQ(parseAtof("-."), 0.0);
    EXPECT_DOUBLE_EQ(parseAtof("1.234560e-005"), 1.23456e-5);
}

TEST(NumberText, AtofOverflowAndUnderflowBehaveLikeTheStandardConversion) {
    EXPECT_TRUE(std::isinf(parseAtof("1e999")));
    EXPECT_EQ(parseAtof("1e-999"), 0.0);
    EXPECT_TRUE(std::isinf(parseAtof("-1e400")));
    EXPECT_LT(parseAtof("-1e400"), 0.0);
}

TEST(NumberText, AtofIgnoresTheProcessLocale) {
    // A toolkit may switch LC_NUMERIC to a locale with a decimal comma.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    EXPECT_DOUBLE_EQ(parseAtof("2.75"), 2.75);
    EXPECT_EQ(formatE(2.75), "2.750000e+000");
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!switched) GTEST_SKIP() << "de_DE.UTF-8 locale not installed; checked in the C locale only";
}

TEST(NumberText, FormattedValuesReadBackExactly) {
    for (double v : {0.1, 1.0 / 3.0, 6.02214076e23, -7.5e-12, 123456.0}) {
        EXPECT_EQ(parseAtof(formatRoundTrip(v)), v);
        EXPECT_NEAR(parseAtof(formatE(v)), v, std::abs(v) * 1e-6);
    }
}

namespace {
// The digits of "%.6e" as the C library prints them, read as (sign,
// exponent, seven-digit mantissa): an order of the printed numbers that does
// not go through the program's own conversion.
struct Printed {
    int sign = 0;  // -1, 0, +1
    int exponent = 0;
    long mantissa = 0;
    friend auto operator<=>(const Printed& a, const Printed& b) {
        if (a.sign != b.sign) return a.sign <=> b.sign;
        const auto magnitude = a.exponent != b.exponent ? a.exponent <=> b.exponent : a.mantissa <=> b.mantissa;
        return a.sign < 0 ? 0 <=> magnitude : magnitude;
    }
    friend bool operator==(const Printed&, const Printed&) = default;
};

Printed printedByPrintf(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6e", v);
    int whole = 0, exponent = 0;
    long fraction = 0;
    const bool negative = text[0] == '-';
    std::sscanf(text + (negative ? 1 : 0), "%d.%lde%d", &whole, &fraction, &exponent);
    const long mantissa = whole * 1000000L + fraction;
    if (mantissa == 0) return {};
    return {negative ? -1 : 1, exponent, mantissa};
}
}  // namespace

// The summaries compare values as "%e" prints them. The key they compare
// must tie and order exactly like the digits printf writes, over the whole
// range of doubles and in particular next to the rounding boundaries.
TEST(NumberText, PrintedKeyTiesAndOrdersLikeTheDigitsPrintfWrites) {
    std::mt19937_64 random(20100810);
    std::vector<double> sample = {0.0, -0.0, 0.04, 0.17010403494408797, 0.17010403497128430, 9.9999995e-5,
                                  1234567.5, 1234568.5, 2.5e-7, 4.9e-324, -4.9e-324,
                                  std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                                  std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min()};
    struct Source {
        const char* what;
        int count;
        std::function<double()> draw;
    };
    std::uniform_int_distribution<int> exponent(-320, 300);
    std::uniform_int_distribution<long> digits(1000000, 9999999);
    std::uniform_int_distribution<int> nudge(-3, 3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const Source sources[] = {
        {"any bit pattern", 200000,
         [&] {
             double v;
             do v = std::bit_cast<double>(random());
             while (!std::isfinite(v));
             return v;
         }},
        // Halfway between two seven-digit numbers, and a few doubles either side.
        {"next to a rounding boundary", 200000,
         [&] {
             const double half = (static_cast<double>(digits(random)) + 0.5) * std::pow(10.0, exponent(random) - 6);
             double v = half;
             for (int n = nudge(random); n != 0; n += n > 0 ? -1 : 1) v = std::nextafter(v, n > 0 ? INFINITY : 0.0);
             return random() % 2 ? v : -v;
         }},
        {"concentrations", 100000, [&] { return std::pow(10.0, -12 + 16 * unit(random)); }},
    };
    for (const Source& s : sources)
        for (int i = 0; i < s.count; ++i) sample.push_back(s.draw());

    for (double v : sample) ASSERT_EQ(printedKey(v), printedKey(parseAtof(formatE(v)))) << formatRoundTrip(v);
    std::sort(sample.begin(), sample.end());
    for (std::size_t i = 1; i < sample.size(); ++i) {
        const double a = sample[i - 1], b = sample[i];
        const auto byPrintf = printedByPrintf(a) <=> printedByPrintf(b);
        const auto byKey = printedKey(a) <=> printedKey(b);
        ASSERT_EQ(byKey, byPrintf) << formatRoundTrip(a) << " " << formatRoundTrip(b);
    }
    // The doubles that print alike form one interval; its ends are found exactly.
    for (std::size_t i = 0; i < sample.size(); i += 97) {
        const double v = sample[i];
        const double least = leastPrintedAlike(v), greatest = greatestPrintedAlike(v);
        ASSERT_TRUE(least <= v && v <= greatest) << formatRoundTrip(v);
        ASSERT_EQ(printedByPrintf(least), printedByPrintf(v)) << formatRoundTrip(v);
        ASSERT_EQ(printedByPrintf(greatest), printedByPrintf(v)) << formatRoundTrip(v);
        if (least > std::numeric_limits<double>::lowest()) {
            ASSERT_LT(printedByPrintf(std::nextafter(least, -INFINITY)), printedByPrintf(v)) << formatRoundTrip(v);
        }
        if (greatest < std::numeric_limits<double>::max()) {
            ASSERT_GT(printedByPrintf(std::nextafter(greatest, INFINITY)), printedByPrintf(v)) << formatRoundTrip(v);
        }
    }
}
