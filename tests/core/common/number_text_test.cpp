#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

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
