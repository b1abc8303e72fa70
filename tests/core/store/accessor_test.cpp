#include <gtest/gtest.h>

#include <sqlite3.h>

#include <set>

#include "core/common/messages.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_statement.hpp"
#include "core/store/store_transaction.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TestApplication;

namespace {
struct OpenStore {
    TestApplication app;
    ScriptedPrompter prompter;
    StoreConnection connection;
    OpenStore() { EXPECT_TRUE(connection.open(app.connectionText(), prompter)); }
};
}  // namespace

TEST(StoreAccessor, NullsReadAsEmptyTextsAndNumbersReadBack) {
    OpenStore s;
    StoreAccessor a(s.connection, s.prompter);
    ASSERT_TRUE(a.execute(sql::kInsertChemical, {std::string("Newchem")}));
    ASSERT_EQ(a.query(sql::kChemicalByName, {std::string("Newchem")}).rows(), 1);
    ASSERT_EQ(a.columnCount(), 23);
    EXPECT_EQ(a.cell(0, 0), "Newchem");
    for (int c = 1; c < 23; ++c) EXPECT_EQ(a.cell(0, c), "") << "column " << c;

    ASSERT_TRUE(a.execute(sql::insertScenario(),
                          {std::string("s"), std::string("stream"), std::string("Newchem"), 0.1, 1e-7, 3.0, 4.0, 5.0,
                           6.0, 7.0, 0.8, 9.0, 10.0, 11.0, 12.5, std::string("2010-06-01"), std::string("2010-11-29")}));
    ASSERT_EQ(a.query(sql::kScenarioByName, {std::string("s"), std::string("stream")}).rows(), 1);
    EXPECT_EQ(std::stod(a.cell(0, 3)), 0.1);
    EXPECT_EQ(std::stod(a.cell(0, 4)), 1e-7);
    EXPECT_EQ(a.cell(0, 16), "2010-11-29");
    EXPECT_TRUE(s.prompter.shown.empty());
}

TEST(StoreAccessor, EmptyResultKeepsColumnCountAndShowsNothing) {
    OpenStore s;
    StoreAccessor a(s.connection, s.prompter);
    const QueryResult none = a.query(sql::kChemicalByName, {std::string("none")});
    EXPECT_TRUE(none.none());
    EXPECT_FALSE(none.failed());
    EXPECT_EQ(a.rowCount(), 0);
    EXPECT_EQ(a.columnCount(), 23);
    EXPECT_TRUE(s.prompter.shown.empty());
}

TEST(StoreAccessor, RejectedStatementShowsTheStoresWordsAndReturnsZero) {
    OpenStore s;
    StoreAccessor a(s.connection, s.prompter);
    ASSERT_TRUE(a.execute(sql::kInsertChemical, {std::string("A")}));
    ASSERT_EQ(a.query(sql::kChemicalNames).rows(), 1);
    const QueryResult refused = a.query("SELECT * FROM no_such_table");
    EXPECT_TRUE(refused.failed());
    EXPECT_FALSE(refused.none());  // a failure is not an empty answer
    EXPECT_EQ(refused.rows(), 0);
    EXPECT_EQ(a.rowCount(), 0);  // the earlier result is gone
    ASSERT_EQ(s.prompter.shown.size(), 1u);
    EXPECT_EQ(s.prompter.shown[0].text, "Error:no such table: no_such_table\n");
    EXPECT_EQ(s.prompter.shown[0].caption, msg::kProgramTitle);
    EXPECT_FALSE(a.execute("INSERT INTO material_info VALUES (1)"));
    EXPECT_EQ(s.prompter.shown.size(), 2u);
    EXPECT_EQ(s.prompter.shown[1].text.rfind("Error:", 0), 0u);
}

TEST(StoreAccessor, AbsentConnectionIsSilentUnopenedConnectionReports) {
    ScriptedPrompter prompter;
    StoreConnection absent;
    StoreAccessor a(absent, prompter);
    EXPECT_TRUE(a.query(sql::kChemicalNames).failed());
    EXPECT_FALSE(a.execute(sql::kInsertChemical, {std::string("x")}));
    EXPECT_TRUE(prompter.shown.empty());

    StoreConnection unopened;
    EXPECT_FALSE(unopened.open("Provider=SQLite;Data Source=/no/such/folder/Verdanel.mdb", prompter));
    EXPECT_TRUE(unopened.isPresent());
    EXPECT_FALSE(unopened.isOpen());
    ASSERT_EQ(prompter.shown.size(), 1u);  // the open failure itself
    StoreAccessor b(unopened, prompter);
    EXPECT_TRUE(b.query(sql::kChemicalNames).failed());
    EXPECT_FALSE(b.execute(sql::kInsertChemical, {std::string("x")}));
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[1].text.rfind("Error:", 0), 0u);
    EXPECT_EQ(prompter.shown[2].text.rfind("Error:", 0), 0u);
}

TEST(StoreAccessor, SecondQueryReplacesTheFirstCompletely) {
    OpenStore s;
    StoreAccessor a(s.connection, s.prompter);
    for (const char* n : {"b", "a", "c"}) ASSERT_TRUE(a.execute(sql::kInsertChemical, {std::string(n)}));
    ASSERT_EQ(a.query(sql::kChemicalNames).rows(), 3);
    EXPECT_EQ(a.cell(0, 0), "a");
    EXPECT_EQ(a.cell(2, 0), "c");
    ASSERT_EQ(a.query("SELECT mat_name FROM material_info WHERE mat_name = 'c'").rows(), 1);
    EXPECT_EQ(a.columnCount(), 1);
    EXPECT_EQ(a.cell(0, 0), "c");
    EXPECT_EQ(a.cell(1, 0), "");  // outside the result
}

TEST(StoreAccessor, NamesWithQuotesGoThroughInsertSelectAndDelete) {
    OpenStore s;
    StoreAccessor a(s.connection, s.prompter);
    const std::string name = "O'Brien's \"best\"; x'); DROP TABLE Scenario_Info; --";
    ASSERT_TRUE(a.execute(sql::kInsertChemical, {name}));
    ASSERT_EQ(a.query(sql::kChemicalByName, {name}).rows(), 1);
    EXPECT_EQ(a.cell(0, 0), name);
    ASSERT_TRUE(a.execute(sql::kDeleteChemical, {name}));
    EXPECT_EQ(a.query(sql::kChemicalByName, {name}).rows(), 0);
    EXPECT_EQ(a.query(sql::kScenarioList, {std::string("stream")}).rows(), 0);
    EXPECT_TRUE(s.prompter.shown.empty());  // Scenario_Info still there: no error
}

TEST(StoreAccessor, TableNamesMatchWithoutRegardToCase) {
    OpenStore s;
    StoreAccessor a(s.connection, s.prompter);
    std::vector<StoreValue> row = {std::string("run"), std::string("06"), std::string("15"), std::string("10"),
                                   std::string("00")};
    for (int i = 0; i < 8; ++i) row.push_back(static_cast<double>(i));
    ASSERT_TRUE(a.execute(sql::kInsertDitchOutput, row));
    ASSERT_TRUE(a.execute(sql::kInsertPondOutput, row));
    EXPECT_EQ(a.query("SELECT * FROM model_output_ditch").rows(), 1);
    EXPECT_EQ(a.query("SELECT * FROM MODEL_OUTPUT_POND").rows(), 1);
    ASSERT_TRUE(a.execute("DELETE FROM model_output_ditch WHERE Scenario_Name = ?", {std::string("run")}));
    EXPECT_EQ(a.query("SELECT * FROM model_output_Ditch").rows(), 0);
}

TEST(StoreAccessor, SearchJoinsMonthAndDayAsTextWithInclusiveBounds) {
    OpenStore s;
    StoreAccessor a(s.connection, s.prompter);
    auto insert = [&](const char* m, const char* d, const char* h) {
        std::vector<StoreValue> row = {std::string("run"), std::string(m), std::string(d), std::string(h),
                                       std::string("00")};
        for (int i = 0; i < 14; ++i) row.push_back(1.0);
        ASSERT_TRUE(a.execute(sql::kInsertStreamOutput, row));
    };
    insert("06", "30", "01");
    insert("05", "31", "00");
    insert("06", "01", "10");
    insert("06", "01", "09");
    insert("07", "01", "00");
    ASSERT_EQ(a.query(sql::kSearchStreamOutput, {std::string("0601"), std::string("0630"), std::string("run")}).rows(), 3);
    std::multiset<std::string> found;
    for (int r = 0; r < 3; ++r) found.insert(a.cell(r, 1) + a.cell(r, 2) + a.cell(r, 3));
    EXPECT_EQ(found, (std::multiset<std::string>{"063001", "060110", "060109"}));
    // A range that runs over the year's end selects nothing.
    EXPECT_EQ(a.query(sql::kSearchStreamOutput, {std::string("1220"), std::string("0110"), std::string("run")}).rows(), 0);
}

TEST(StoreTransaction, DroppedTransactionLeavesNothing) {
    OpenStore s;
    {
        StoreTransaction t(s.connection);
        ASSERT_TRUE(t.begin());
        StoreStatement insert(s.connection, sql::kInsertChemical);
        for (int i = 0; i < 100; ++i) {
            insert.bindText(1, "c" + std::to_string(i));
            ASSERT_TRUE(insert.run());
        }
    }
    StoreAccessor a(s.connection, s.prompter);
    EXPECT_EQ(a.query(sql::kChemicalNames).rows(), 0);
    {
        StoreTransaction t(s.connection);
        ASSERT_TRUE(t.begin());
        StoreStatement insert(s.connection, sql::kInsertChemical);
        insert.bindText(1, "kept");
        ASSERT_TRUE(insert.run());
        ASSERT_TRUE(t.commit());
    }
    EXPECT_EQ(a.query(sql::kChemicalNames).rows(), 1);
}

TEST(StoreStatement, ReportsTheStoresErrorOnAFailedRun) {
    OpenStore s;
    StoreStatement bad(s.connection, "SELECT * FROM nowhere");
    EXPECT_FALSE(bad.valid());
    EXPECT_NE(bad.error().find("nowhere"), std::string::npos);
    StoreStatement insert(s.connection, sql::kInsertChemical);
    insert.bindText(1, "dup");
    ASSERT_TRUE(insert.run());
    insert.bindText(1, "dup");
    EXPECT_FALSE(insert.run());  // mat_name is unique
    EXPECT_NE(insert.error().find("UNIQUE"), std::string::npos);
}
