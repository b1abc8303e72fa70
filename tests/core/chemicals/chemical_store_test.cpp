#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/chemical_table.hpp"
#include "core/chemicals/material_manager.hpp"
#include "core/common/messages.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TestApplication;

namespace {

struct Store {
    TestApplication app;
    ScriptedPrompter prompter;
    StoreConnection connection;
    explicit Store(bool withSamples = false) : app(withSamples) {
        EXPECT_TRUE(connection.open(app.connectionText(), prompter));
    }

    // Adds a chemical whose required properties are all numbers (or, when
    // complete is false, whose Henry constant is missing).
    void addTestChemical(const std::string& name, bool complete = true) {
        StoreAccessor a(connection, prompter);
        ASSERT_TRUE(a.execute(sql::kInsertChemical, {name}));
        std::vector<StoreValue> values;
        for (int k = 1; k <= kPropertyCount; ++k) {
            const bool required = k != chem_col::kHenryConstant || complete;
            values.emplace_back(std::string(required ? "2.5" : ""));
        }
        values.emplace_back(name);
        ASSERT_TRUE(a.execute(sql::kUpdateChemical, values));
    }

    std::string usableFlagOf(const std::string& name) {
        StoreAccessor a(connection, prompter);
        a.query(sql::kChemicalByName, {name}).rows();
        return a.cell(0, chem_col::kUsable);
    }

    int chemicalCount() {
        StoreAccessor a(connection, prompter);
        return a.query(sql::kAllChemicals).rows();
    }
};

PropertyTexts typedProperties() {
    PropertyTexts v{};
    for (int k = 1; k <= kPropertyCount; ++k) v[static_cast<std::size_t>(k - 1)] = std::to_string(k) + ".5";
    v[0] = "333-41-5";
    v[chem_col::kDiffusivityAir - 1] = "";
    v[chem_col::kDiffusivityWater - 1] = "";
    v[chem_col::kMolecularWeight - 1] = "18";
    return v;
}

}  // namespace

TEST(UsableChemicals, EveryFlagIsRewrittenBothWays) {
    Store s;
    s.addTestChemical("Complete");
    s.addTestChemical("Missing Henry", false);
    StoreAccessor a(s.connection, s.prompter);
    ASSERT_TRUE(a.execute(sql::kSetChemicalUsable, {std::int64_t{1}, std::string("Missing Henry")}));
    ASSERT_TRUE(a.execute(sql::kInsertChemical, {std::string("Just added")}));
    EXPECT_EQ(s.usableFlagOf("Complete"), "");

    EXPECT_TRUE(recomputeUsableFlags(s.connection, s.prompter));
    EXPECT_EQ(s.usableFlagOf("Complete"), "1");
    EXPECT_EQ(s.usableFlagOf("Missing Henry"), "0");
    EXPECT_EQ(s.usableFlagOf("Just added"), "0");
    EXPECT_TRUE(s.prompter.shown.empty());
}

TEST(UsableChemicals, ARejectedUpdateLeavesEveryFlagAsItWas) {
    Store s;
    s.addTestChemical("A");
    s.addTestChemical("B");
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(s.connection.handle(),
                           "CREATE TRIGGER refuse_b BEFORE UPDATE OF useable ON material_info "
                           "WHEN NEW.mat_name = 'B' BEGIN SELECT RAISE(ABORT, 'refused'); END",
                           nullptr, nullptr, &err),
              SQLITE_OK);

    EXPECT_FALSE(recomputeUsableFlags(s.connection, s.prompter));
    EXPECT_EQ(s.usableFlagOf("A"), "") << "the flag of A must be rolled back with the failed run";
    ASSERT_EQ(s.prompter.shown.size(), 1u);
    EXPECT_EQ(s.prompter.shown[0].text, "Error:refused\n");
}

TEST(UsableChemicals, ListsUsableNamesInNameOrderAfterRecomputing) {
    Store s;
    s.addTestChemical("Zineb");
    s.addTestChemical("Atrazine");
    s.addTestChemical("Molinate", false);
    // Not yet flagged: the list recomputes before it asks.
    EXPECT_EQ(usableChemicalNames(s.connection, s.prompter), (std::vector<std::string>{"Atrazine", "Zineb"}));
    EXPECT_TRUE(s.prompter.shown.empty());
}

TEST(UsableChemicals, NoneUsableShowsTheMessage) {
    Store s;
    s.addTestChemical("Molinate", false);
    EXPECT_TRUE(usableChemicalNames(s.connection, s.prompter).empty());
    ASSERT_EQ(s.prompter.texts(), std::vector<std::string>{msg::kNoUsableChemicals});
    EXPECT_FALSE(s.prompter.shown[0].question);

    Store empty;
    EXPECT_TRUE(usableChemicalNames(empty.connection, empty.prompter).empty());
    EXPECT_EQ(empty.prompter.texts(), std::vector<std::string>{msg::kNoUsableChemicals});
}

TEST(UsableChemicals, TheSampleChemicalLackingItsHenryConstantIsLeftOut) {
    Store s(true);
    const auto names = usableChemicalNames(s.connection, s.prompter);
    EXPECT_EQ(static_cast<int>(names.size()), s.chemicalCount() - 1);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_NE(std::find(names.begin(), names.end(), "Diazinon"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "Chlorantraniliprole"), names.end());
    EXPECT_EQ(s.usableFlagOf("Chlorantraniliprole"), "0");
    EXPECT_TRUE(s.prompter.shown.empty());
}

TEST(LoadChemical, GivesAll23TextsOrSaysItIsGone) {
    Store s;
    s.addTestChemical("Diazinon");
    const auto record = loadChemical(s.connection, s.prompter, "Diazinon");
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ((*record)[chem_col::kName], "Diazinon");
    EXPECT_EQ((*record)[chem_col::kHalfLifeSoil], "2.5");
    EXPECT_EQ((*record)[chem_col::kUsable], "");
    EXPECT_TRUE(s.prompter.shown.empty());

    EXPECT_FALSE(loadChemical(s.connection, s.prompter, "Gone").has_value());
    EXPECT_EQ(s.prompter.texts(), std::vector<std::string>{msg::kChosenChemicalNotFound});
}

TEST(MaterialManager, ListsNamesInOrderOrSaysThereAreNone) {
    Store s;
    EXPECT_TRUE(listChemicalNames(s.connection, s.prompter).empty());
    ASSERT_EQ(s.prompter.shown.size(), 1u);
    EXPECT_EQ(s.prompter.shown[0].text, msg::kNoChemicals);
    EXPECT_EQ(s.prompter.shown[0].caption, msg::kMaterialManagerCaption);

    for (const char* n : {"c", "A", "b"}) ASSERT_TRUE(addChemical(s.connection, s.prompter, n).stored);
    EXPECT_EQ(listChemicalNames(s.connection, s.prompter), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(s.prompter.shown.size(), 1u);
}

TEST(MaterialManager, ShowGivesColumns1To21OrSaysNotFound) {
    Store s;
    s.addTestChemical("Diazinon", false);
    const auto texts = showChemical(s.connection, s.prompter, "Diazinon");
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ((*texts)[0], "2.5");
    EXPECT_EQ((*texts)[chem_col::kHenryConstant - 1], "");
    EXPECT_EQ((*texts)[20], "2.5");

    EXPECT_FALSE(showChemical(s.connection, s.prompter, "Gone").has_value());
    ASSERT_EQ(s.prompter.shown.size(), 1u);
    EXPECT_EQ(s.prompter.shown[0].text, msg::kChemicalNotFound);
}

TEST(MaterialManager, AddRefusesEmptyAndExistingNamesAndInsertsAnEmptyRow) {
    Store s;
    AddOutcome empty = addChemical(s.connection, s.prompter, "");
    EXPECT_FALSE(empty.accepted);
    EXPECT_EQ(s.prompter.texts(), std::vector<std::string>{msg::kEnterChemicalName});

    AddOutcome added = addChemical(s.connection, s.prompter, "New one");
    EXPECT_TRUE(added.accepted);
    EXPECT_TRUE(added.stored);
    const auto record = loadChemical(s.connection, s.prompter, "New one");
    ASSERT_TRUE(record.has_value());
    for (int c = 1; c < kChemicalColumnCount; ++c) EXPECT_EQ((*record)[static_cast<std::size_t>(c)], "") << c;

    AddOutcome again = addChemical(s.connection, s.prompter, "New one");
    EXPECT_FALSE(again.accepted);
    EXPECT_EQ(s.prompter.shown.back().text, msg::kChemicalNameExists);
    EXPECT_EQ(s.chemicalCount(), 1);

    // Taken as typed: a name with a trailing blank is another name.
    EXPECT_TRUE(addChemical(s.connection, s.prompter, "New one ").stored);
    EXPECT_EQ(s.chemicalCount(), 2);
}

TEST(MaterialManager, ApplyAsksFirstAndStoresTheTypedTextsWithEstimates) {
    Store s;
    ASSERT_TRUE(addChemical(s.connection, s.prompter, "Diazinon").stored);
    const PropertyTexts typed = typedProperties();

    ApplyOutcome cancelled = applyChemicalEdits(s.connection, s.prompter, "Diazinon", typed);
    EXPECT_FALSE(cancelled.confirmed);
    ASSERT_EQ(s.prompter.shown.size(), 1u);
    EXPECT_TRUE(s.prompter.shown[0].question);
    EXPECT_EQ(s.prompter.shown[0].text, "Diazinon의 물질정보를 수정합니다. 수정 후 되돌릴 수 없습니다.");
    EXPECT_EQ(s.prompter.shown[0].caption, "Material Manager");
    EXPECT_EQ((*showChemical(s.connection, s.prompter, "Diazinon"))[0], "");

    s.prompter.setNextAnswer(true);
    ApplyOutcome applied = applyChemicalEdits(s.connection, s.prompter, "Diazinon", typed);
    EXPECT_TRUE(applied.confirmed);
    EXPECT_TRUE(applied.stored);
    PropertyTexts expected = typed;
    expected[chem_col::kDiffusivityAir - 1] = "9.222000e-002";
    expected[chem_col::kDiffusivityWater - 1] = "1.323010e-005";
    EXPECT_EQ(applied.written, expected);
    EXPECT_EQ(*showChemical(s.connection, s.prompter, "Diazinon"), expected);
    EXPECT_EQ(s.prompter.shown.size(), 2u);

    // Edits alone do not touch the usable flag; the next recomputation does.
    EXPECT_EQ(s.usableFlagOf("Diazinon"), "");
    EXPECT_EQ(usableChemicalNames(s.connection, s.prompter), std::vector<std::string>{"Diazinon"});
}

TEST(MaterialManager, ApplyWithoutAMolecularWeightLeavesTheChemicalUnusable) {
    Store s;
    ASSERT_TRUE(addChemical(s.connection, s.prompter, "Thiram").stored);
    PropertyTexts typed = typedProperties();
    typed[chem_col::kMolecularWeight - 1] = "0";
    s.prompter.setNextAnswer(true);
    ASSERT_TRUE(applyChemicalEdits(s.connection, s.prompter, "Thiram", typed).stored);
    const auto stored = showChemical(s.connection, s.prompter, "Thiram");
    EXPECT_EQ((*stored)[chem_col::kDiffusivityAir - 1], "inf");
    EXPECT_TRUE(usableChemicalNames(s.connection, s.prompter).empty());
    EXPECT_EQ(s.prompter.shown.back().text, msg::kNoUsableChemicals);
}

TEST(MaterialManager, DeleteAsksAndRemovesOnlyOnOk) {
    Store s;
    ASSERT_TRUE(addChemical(s.connection, s.prompter, "Carbofuran").stored);
    ASSERT_TRUE(addChemical(s.connection, s.prompter, "Keep").stored);

    DeleteOutcome cancelled = deleteChemical(s.connection, s.prompter, "Carbofuran");
    EXPECT_FALSE(cancelled.confirmed);
    EXPECT_EQ(s.prompter.shown.back().text, "화학물질: Carbofuran 의 정보를 삭제하시겠습니까?");
    EXPECT_EQ(s.prompter.shown.back().caption, "Material Manager");
    EXPECT_TRUE(s.prompter.shown.back().question);
    EXPECT_EQ(s.chemicalCount(), 2);

    s.prompter.setNextAnswer(true);
    DeleteOutcome deleted = deleteChemical(s.connection, s.prompter, "Carbofuran");
    EXPECT_TRUE(deleted.confirmed);
    EXPECT_TRUE(deleted.stored);
    EXPECT_EQ(listChemicalNames(s.connection, s.prompter), std::vector<std::string>{"Keep"});

    // With no chemical shown the question names nobody and nothing goes.
    s.prompter.setNextAnswer(true);
    EXPECT_TRUE(deleteChemical(s.connection, s.prompter, "").confirmed);
    EXPECT_EQ(s.prompter.shown.back().text, "화학물질:  의 정보를 삭제하시겠습니까?");
    EXPECT_EQ(s.chemicalCount(), 1);
}

TEST(MaterialManager, NamesWithQuotesAreJustNames) {
    Store s;
    const std::string quoted = "O'Brien's mix";
    const std::string hostile = "x'); DROP TABLE Scenario_Info; --";
    for (const std::string& name : {quoted, hostile}) {
        ASSERT_TRUE(addChemical(s.connection, s.prompter, name).stored) << name;
        EXPECT_FALSE(addChemical(s.connection, s.prompter, name).accepted) << name;
        s.prompter.setNextAnswer(true);
        ASSERT_TRUE(applyChemicalEdits(s.connection, s.prompter, name, typedProperties()).stored) << name;
        EXPECT_EQ((*showChemical(s.connection, s.prompter, name))[0], "333-41-5") << name;
        ASSERT_TRUE(loadChemical(s.connection, s.prompter, name).has_value()) << name;
    }
    EXPECT_EQ(usableChemicalNames(s.connection, s.prompter), (std::vector<std::string>{quoted, hostile}));

    s.prompter.setNextAnswer(true);
    EXPECT_TRUE(deleteChemical(s.connection, s.prompter, hostile).stored);
    EXPECT_EQ(listChemicalNames(s.connection, s.prompter), std::vector<std::string>{quoted});
    // The scenario table is still there: the name never became part of a statement.
    StoreAccessor a(s.connection, s.prompter);
    a.query(sql::kScenarioList, {std::string("stream")}).rows();
    EXPECT_EQ(a.lastError(), "");
    EXPECT_EQ(s.prompter.texts(), (std::vector<std::string>{msg::kChemicalNameExists,
                                                             "O'Brien's mix의 물질정보를 수정합니다. 수정 후 되돌릴 수 없습니다.",
                                                             msg::kChemicalNameExists,
                                                             hostile + "의 물질정보를 수정합니다. 수정 후 되돌릴 수 없습니다.",
                                                             "화학물질: " + hostile + " 의 정보를 삭제하시겠습니까?"}));
}

// A look-up the store refuses is shown once, as the store's error, and is
// never taken for "no such chemical": no second message, nothing added.
TEST(ChemicalLookups, ARefusedLookUpIsNeitherNotFoundNorFreeToAdd) {
    struct Case {
        const char* what;
        std::function<bool(Store&)> act;  // true when the operation went ahead
    };
    const Case cases[] = {
        {"show", [](Store& s) { return showChemical(s.connection, s.prompter, "A").has_value(); }},
        {"load", [](Store& s) { return loadChemical(s.connection, s.prompter, "A").has_value(); }},
        {"add", [](Store& s) { return addChemical(s.connection, s.prompter, "A").accepted; }},
    };
    for (const Case& c : cases) {
        Store s;
        char* err = nullptr;
        ASSERT_EQ(sqlite3_exec(s.connection.handle(), "ALTER TABLE material_info RENAME TO gone", nullptr, nullptr, &err),
                  SQLITE_OK);
        EXPECT_FALSE(c.act(s)) << c.what;
        ASSERT_EQ(s.prompter.shown.size(), 1u) << c.what;
        EXPECT_EQ(s.prompter.shown[0].text.rfind("Error:", 0), 0u) << c.what;
    }
}
