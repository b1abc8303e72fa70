#include <gtest/gtest.h>

#include <string>

#include "core/chemicals/chemical_rules.hpp"

using namespace verdanel;

namespace {

// A record whose 21 properties all hold numbers.
ChemicalRecord completeRecord() {
    ChemicalRecord r{};
    r[chem_col::kName] = "Diazinon";
    for (int c = 1; c <= kPropertyCount; ++c) r[static_cast<std::size_t>(c)] = "1.5";
    return r;
}

PropertyTexts withMolecularWeight(const std::string& mw) {
    PropertyTexts v{};
    v[chem_col::kMolecularWeight - 1] = mw;
    return v;
}

const std::string& airOf(const PropertyTexts& v) { return v[chem_col::kDiffusivityAir - 1]; }
const std::string& waterOf(const PropertyTexts& v) { return v[chem_col::kDiffusivityWater - 1]; }

}  // namespace

TEST(NumberCheck, DecimalTextsPassWithTheirSinglePrecisionValue) {
    struct Case {
        const char* text;
        float value;
    };
    for (const Case& c : {Case{"1.5e-3", 1.5e-3f}, Case{"2E5", 2e5f}, Case{"-0.1", -0.1f}, Case{"", 0.0f},
                          Case{"  42", 42.0f}, Case{"0.1", 0.1f}, Case{"3.25 PA", 3.25f}, Case{"ABC", 0.0f},
                          Case{"7f", 7.0f}}) {
        const NumberCheck n = numberCheck(c.text);
        EXPECT_TRUE(n.passes) << c.text;
        EXPECT_EQ(n.value, c.value) << c.text;
    }
}

TEST(NumberCheck, TextsHoldingAForbiddenCharacterFail) {
    for (const char* text : {"1,5", "abc", "0x1A", "inf", "nan", "5%", "1/2", "(3)", "1_000", "it's"}) {
        EXPECT_FALSE(numberCheck(text).passes) << text;
    }
}

TEST(NumberCheck, TheForbiddenSetIsExactlyTwentyFourSignsAndTwentyFourLetters) {
    const std::string signs = "~!@#$%^&*()_|`=\\,/<>?;':";
    ASSERT_EQ(signs.size(), 24u);
    for (char c : signs) EXPECT_FALSE(numberCheck(std::string("1") + c).passes) << c;

    int failingLetters = 0;
    for (char c = 'a'; c <= 'z'; ++c) {
        const bool passes = numberCheck(std::string("1") + c).passes;
        EXPECT_EQ(passes, c == 'e' || c == 'f') << c;
        if (!passes) ++failingLetters;
    }
    EXPECT_EQ(failingLetters, 24);
    for (char c = 'A'; c <= 'Z'; ++c) EXPECT_TRUE(numberCheck(std::string("1") + c).passes) << c;
    // Signs outside the set are let through.
    for (char c : std::string("+-.\"[]{} ")) EXPECT_TRUE(numberCheck(std::string("1") + c).passes) << c;
}

TEST(UsableRule, EveryRequiredPropertyAndOnlyThoseMustBeANonEmptyNumber) {
    EXPECT_TRUE(isUsable(completeRecord()));
    for (int column : {2, 4, 5, 6, 9, 10, 11, 12, 20, 21}) {
        for (const char* bad : {"", "1,5", "n/a"}) {
            ChemicalRecord r = completeRecord();
            r[static_cast<std::size_t>(column)] = bad;
            EXPECT_FALSE(isUsable(r)) << "column " << column << " holding '" << bad << "'";
        }
    }
    // Optional properties and the old flag do not matter.
    ChemicalRecord r = completeRecord();
    for (int column : {1, 3, 7, 8, 13, 14, 15, 16, 17, 18, 19}) r[static_cast<std::size_t>(column)] = "unknown";
    r[chem_col::kUsable] = "0";
    EXPECT_TRUE(isUsable(r));
    // A record with no properties at all is not usable.
    ChemicalRecord empty{};
    empty[chem_col::kName] = "New";
    EXPECT_FALSE(isUsable(empty));
}

TEST(DiffusionEstimates, MolecularWeight18GivesTheDocumentedTexts) {
    PropertyTexts v = withMolecularWeight("18");
    addDiffusionEstimates(v);
    EXPECT_EQ(airOf(v), "9.222000e-002");
    EXPECT_EQ(waterOf(v), "1.323010e-005");
    EXPECT_TRUE(numberCheck(airOf(v)).passes);
    EXPECT_TRUE(numberCheck(waterOf(v)).passes);
    // The other fields are left as typed.
    for (int k = 1; k <= kPropertyCount; ++k) {
        if (k != chem_col::kMolecularWeight && k != chem_col::kDiffusivityAir && k != chem_col::kDiffusivityWater) {
            EXPECT_EQ(v[static_cast<std::size_t>(k - 1)], "") << k;
        }
    }
}

TEST(DiffusionEstimates, ZeroOrEmptyWeightGivesATextThatFailsTheCheck) {
    for (const char* mw : {"0", "", "-0"}) {
        PropertyTexts v = withMolecularWeight(mw);
        addDiffusionEstimates(v);
        EXPECT_EQ(airOf(v), "inf") << "'" << mw << "'";
        EXPECT_EQ(waterOf(v), "inf") << "'" << mw << "'";
        EXPECT_FALSE(numberCheck(airOf(v)).passes);
        EXPECT_FALSE(numberCheck(waterOf(v)).passes);
    }
    PropertyTexts negative = withMolecularWeight("-4");
    addDiffusionEstimates(negative);
    EXPECT_FALSE(numberCheck(airOf(negative)).passes) << airOf(negative);
}

TEST(DiffusionEstimates, OnlyEmptyOrFailingFieldsAreReplacedAndOnlyWithAUsableWeight) {
    PropertyTexts kept = withMolecularWeight("18");
    kept[chem_col::kDiffusivityAir - 1] = "0.05";
    kept[chem_col::kDiffusivityWater - 1] = "?";
    addDiffusionEstimates(kept);
    EXPECT_EQ(airOf(kept), "0.05");
    EXPECT_EQ(waterOf(kept), "1.323010e-005");

    PropertyTexts swapped = withMolecularWeight("18");
    swapped[chem_col::kDiffusivityAir - 1] = "n/a";
    swapped[chem_col::kDiffusivityWater - 1] = "1e-6";
    addDiffusionEstimates(swapped);
    EXPECT_EQ(airOf(swapped), "9.222000e-002");
    EXPECT_EQ(waterOf(swapped), "1e-6");

    PropertyTexts noWeight = withMolecularWeight("18 g/mol");  // fails: holds lower-case letters
    addDiffusionEstimates(noWeight);
    EXPECT_EQ(airOf(noWeight), "");
    EXPECT_EQ(waterOf(noWeight), "");
}
