#include <gtest/gtest.h>

#include "core/common/messages.hpp"
#include "core/results/result_messages.hpp"
#include "core/results/scenario_records.hpp"
#include "results_fixture.hpp"

using namespace verdanel;
using verdanel::testing::ResultsStore;

TEST(ScenarioRecords, ListHoldsTheNamesOfOneModelInNameOrder) {
    ResultsStore s;
    s.addScenario(ModelKind::Stream, "beta");
    s.addScenario(ModelKind::Stream, "Alpha");
    s.addScenario(ModelKind::Ditch, "ditch only");
    s.addScenario(ModelKind::Stream, "alpha 2");
    EXPECT_EQ(scenarioNames(s.connection, s.prompter, ModelKind::Stream),
              (std::vector<std::string>{"Alpha", "alpha 2", "beta"}));
    EXPECT_EQ(scenarioNames(s.connection, s.prompter, ModelKind::Ditch), (std::vector<std::string>{"ditch only"}));
    EXPECT_TRUE(scenarioNames(s.connection, s.prompter, ModelKind::Pond).empty());
    EXPECT_TRUE(s.prompter.shown.empty());
}

TEST(ScenarioRecords, EntryAfterARunIsFoundByItsBeginningFromTheSecondEntryOn) {
    const std::vector<std::string> names = {"Run", "alpha", "run 2", "Run2b"};
    EXPECT_EQ(scenarioEntryStartingWith(names, "RUN"), 2);  // the first entry is looked at last
    EXPECT_EQ(scenarioEntryStartingWith(names, "run 2"), 2);
    EXPECT_EQ(scenarioEntryStartingWith({"Run", "alpha"}, "run"), 0);
    EXPECT_EQ(scenarioEntryStartingWith(names, "beta"), -1);
    EXPECT_EQ(scenarioEntryStartingWith({}, "x"), -1);
}

TEST(ScenarioRecords, QueryGivesTheChemicalParametersAndPeriod) {
    ResultsStore s;
    s.addScenario(ModelKind::Pond, "it's mine", "Alachlor", "2011-05-03", "2011-08-31");
    s.addScenario(ModelKind::Stream, "it's mine", "Other");

    ScenarioQueryOutcome q = queryScenario(s.connection, s.prompter, ModelKind::Pond, "it's mine");
    ASSERT_EQ(q.status, ScenarioLookup::Found);
    EXPECT_EQ(q.info.chemical, "Alachlor");
    EXPECT_EQ(q.info.parameters[0], 200.0);
    EXPECT_EQ(q.info.parameters[7], static_cast<double>(0.8f));
    EXPECT_EQ(q.info.parameterTexts,
              (std::array<std::string, 12>{"200", "7", "11", "7.5", "100", "15", "2", "0.8", "14", "3", "0.25",
                                           "0.5"}));
    EXPECT_EQ(q.info.startDate, "2011-05-03");
    EXPECT_EQ(q.info.start, (CivilTime{2011, 5, 3, 0, 0, 0}));
    EXPECT_EQ(q.info.end, (CivilTime{2011, 8, 31, 0, 0, 0}));
    EXPECT_TRUE(s.prompter.shown.empty());
}

TEST(ScenarioRecords, MissingRowFillsNothingAndTwoRowsAreReported) {
    ResultsStore s;
    ScenarioQueryOutcome q = queryScenario(s.connection, s.prompter, ModelKind::Stream, "gone");
    EXPECT_EQ(q.status, ScenarioLookup::NotFound);
    EXPECT_TRUE(q.info.chemical.empty());
    EXPECT_TRUE(q.info.parameterTexts[0].empty());
    EXPECT_TRUE(s.prompter.shown.empty());

    s.addScenario(ModelKind::Stream, "twice", "First");
    s.addScenario(ModelKind::Stream, "twice", "Second");
    q = queryScenario(s.connection, s.prompter, ModelKind::Stream, "twice");
    EXPECT_EQ(q.status, ScenarioLookup::Duplicate);
    EXPECT_TRUE(q.info.chemical.empty());
    ASSERT_EQ(s.prompter.shown.size(), 1u);
    EXPECT_EQ(s.prompter.shown[0].text, msg::kDuplicateScenario);
    EXPECT_EQ(s.prompter.shown[0].caption, msg::kProgramTitle);
}

TEST(ScenarioRecords, DeleteRemovesTheScenarioFromAllThreeTablesOfItsModelOnly) {
    ResultsStore s;
    for (ModelKind kind : {ModelKind::Stream, ModelKind::Ditch, ModelKind::Pond}) {
        s.addScenario(kind, "shared");
        s.addOutput(kind, "shared", 6, 1, 10, 0);
        s.addOutput(kind, "shared", 6, 1, 10, 1);
        s.addMassBalance(kind, "shared");
    }
    s.addScenario(ModelKind::Ditch, "neighbour");
    s.addOutput(ModelKind::Ditch, "neighbour", 6, 1, 10, 0);
    s.addMassBalance(ModelKind::Ditch, "neighbour");

    ASSERT_TRUE(deleteScenario(s.connection, s.prompter, ModelKind::Ditch, "shared"));
    EXPECT_EQ(s.countScenario(ModelKind::Ditch, "shared"), 0);
    EXPECT_EQ(s.count("model_output_ditch", "shared"), 0);
    EXPECT_EQ(s.count("mass_balance_ditch", "shared"), 0);

    EXPECT_EQ(s.countScenario(ModelKind::Ditch, "neighbour"), 1);
    EXPECT_EQ(s.count("model_output_ditch", "neighbour"), 1);
    EXPECT_EQ(s.count("mass_balance_ditch", "neighbour"), 1);
    for (ModelKind kind : {ModelKind::Stream, ModelKind::Pond}) {
        EXPECT_EQ(s.countScenario(kind, "shared"), 1);
        EXPECT_EQ(s.count(std::string("model_output_") + modelTypeText(kind), "shared"), 2);
        EXPECT_EQ(s.count(std::string("mass_balance_") + modelTypeText(kind), "shared"), 1);
    }
    EXPECT_EQ(scenarioNames(s.connection, s.prompter, ModelKind::Ditch), (std::vector<std::string>{"neighbour"}));
    EXPECT_TRUE(s.prompter.shown.empty());
}

TEST(ScenarioRecords, FailedDeleteLeavesEveryRowInPlace) {
    ResultsStore s;
    s.addScenario(ModelKind::Stream, "kept");
    s.addOutput(ModelKind::Stream, "kept", 6, 1, 10, 0);
    // The last of the three deletes is rejected: the first two must not stay done.
    ASSERT_TRUE(StoreAccessor(s.connection, s.prompter).execute("DROP TABLE mass_balance_stream"));

    EXPECT_FALSE(deleteScenario(s.connection, s.prompter, ModelKind::Stream, "kept"));
    ASSERT_EQ(s.prompter.shown.size(), 1u);
    EXPECT_EQ(s.prompter.shown[0].text, "Error:no such table: mass_balance_stream\n");
    EXPECT_EQ(s.countScenario(ModelKind::Stream, "kept"), 1);
    EXPECT_EQ(s.count("model_output_stream", "kept"), 1);
}
