#include <gtest/gtest.h>

#include "core/common/cp949.hpp"

using namespace verdanel;

TEST(Cp949, HangulBecomesTwoBytesPerSyllable) {
    EXPECT_EQ(utf8ToCp949("가"), "\xB0\xA1");
    EXPECT_EQ(utf8ToCp949("##최종결과##"), "##\xC3\xD6\xC1\xBE\xB0\xE1\xB0\xFA##");
    EXPECT_EQ(utf8ToCp949("Cwater,1.0e+000\r\n"), "Cwater,1.0e+000\r\n");
}

TEST(Cp949, UnmappableAndMalformedInputBecomesQuestionMarks) {
    // An emoji has no CP949 code; a lone continuation byte is not UTF-8.
    EXPECT_EQ(utf8ToCp949("a\xF0\x9F\x98\x80" "b"), "a?b");
    EXPECT_EQ(utf8ToCp949("a\x80" "b"), "a?b");
    // Both Unicode code points of the Hangul syllable block that CP949 extends beyond KS X 1001.
    EXPECT_EQ(cp949ToUtf8(utf8ToCp949("똠방각하")), "똠방각하");
}
