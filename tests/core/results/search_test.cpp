#include <gtest/gtest.h>

#include <vector>

#include "core/common/messages.hpp"
#include "core/common/prompter.hpp"
#include "core/results/result_messages.hpp"
#include "core/results/result_search.hpp"
#include "core/store/store_transaction.hpp"
#include "results_fixture.hpp"

using namespace verdanel;
using verdanel::testing::ResultsStore;

namespace {
using Stamp = std::array<int, 4>;

std::vector<Stamp> stampsOf(const ResultBuffer& buffer) {
    std::vector<Stamp> stamps;
    for (const ResultRow& r : buffer.rows) stamps.push_back({r.month, r.day, r.hour, r.minute});
    return stamps;
}

class RecordingProgress final : public ProgressSink {
public:
    explicit RecordingProgress(int abandonAfter = -1) : abandonAfter_(abandonAfter) {}
    void progress(int percent) override { reports.push_back(percent); }
    bool abandoned() override { return abandonAfter_ >= 0 && static_cast<int>(reports.size()) > abandonAfter_; }
    std::vector<int> reports;

private:
    int abandonAfter_;
};
}  // namespace

TEST(ResultSearch, SelectsTheInclusiveMonthDayRangeOfOneScenarioInTimeOrder) {
    ResultsStore s;
    // Inserted out of order, with neighbours outside the range, another
    // scenario inside it and a Ditch scenario of the same name.
    s.addOutput(ModelKind::Stream, "run", 6, 30, 23, 59, 4);
    s.addOutput(ModelKind::Stream, "run", 6, 1, 10, 5, 2);
    s.addOutput(ModelKind::Stream, "run", 7, 1, 0, 0, 9);
    s.addOutput(ModelKind::Stream, "run", 6, 1, 0, 0, 1);
    s.addOutput(ModelKind::Stream, "run", 5, 31, 23, 59, 9);
    s.addOutput(ModelKind::Stream, "run", 6, 15, 9, 30, 3);
    s.addOutput(ModelKind::Stream, "run", 6, 1, 9, 59, 1.5);
    s.addOutput(ModelKind::Stream, "other", 6, 10, 10, 0, 9);
    s.addOutput(ModelKind::Ditch, "run", 6, 10, 10, 0, 9);

    ResultBuffer b = ResultSearch::search(s.connection, s.prompter, ModelKind::Stream, "run", 6, 1, 6, 30);
    EXPECT_EQ(b.kind, ModelKind::Stream);
    EXPECT_EQ(b.valueCount, 14);
    EXPECT_EQ(stampsOf(b), (std::vector<Stamp>{{6, 1, 0, 0}, {6, 1, 9, 59}, {6, 1, 10, 5}, {6, 15, 9, 30},
                                               {6, 30, 23, 59}}));
    ASSERT_EQ(b.size(), 5u);
    for (int k = 0; k < 14; ++k) EXPECT_DOUBLE_EQ(b.rows[3].values[static_cast<std::size_t>(k)], 3.0 + k);
    EXPECT_TRUE(s.prompter.shown.empty());

    // A single day is a range with equal bounds.
    b = ResultSearch::search(s.connection, s.prompter, ModelKind::Stream, "run", 6, 1, 6, 1);
    EXPECT_EQ(b.size(), 3u);
}

TEST(ResultSearch, DitchAndPondRowsCarryEightValuesFromTheirOwnTable) {
    ResultsStore s;
    s.addOutput(ModelKind::Ditch, "d", 8, 2, 10, 0, 0.5);
    s.addOutput(ModelKind::Pond, "d", 8, 2, 10, 0, 100);
    s.addOutput(ModelKind::Pond, "d", 8, 3, 11, 1, 200);

    ResultBuffer ditch = ResultSearch::search(s.connection, s.prompter, ModelKind::Ditch, "d", 1, 1, 12, 31);
    ASSERT_EQ(ditch.size(), 1u);
    EXPECT_EQ(ditch.valueCount, 8);
    EXPECT_DOUBLE_EQ(ditch.rows[0].values[7], 7.5);
    EXPECT_EQ(ditch.rows[0].values[8], 0.0);  // nothing beyond the model's values
    EXPECT_EQ(ResultSearch::search(s.connection, s.prompter, ModelKind::Pond, "d", 1, 1, 12, 31).size(), 2u);
}

TEST(ResultSearch, AStartAfterTheEndSearchesAcrossNewYearInTheOrderTheRunStoredTheRows) {
    ResultsStore s;
    // A run from 24 December into January, stored in time order, with a row
    // outside the range on each side.
    const Stamp run[] = {{12, 19, 23, 59}, {12, 20, 0, 0}, {12, 25, 10, 0}, {12, 31, 23, 59},
                         {1, 1, 0, 0},     {1, 5, 10, 0},  {1, 10, 23, 59}, {1, 11, 0, 0}};
    for (const Stamp& t : run) s.addOutput(ModelKind::Stream, "run", t[0], t[1], t[2], t[3], t[0] * 100 + t[1]);
    s.addOutput(ModelKind::Stream, "other", 12, 26, 10, 0);

    struct Case {
        const char* what;
        int fromMonth, fromDay, toMonth, toDay;
        std::vector<Stamp> expected;
    };
    const Case cases[] = {
        {"20 December to 10 January", 12, 20, 1, 10,
         {{12, 20, 0, 0}, {12, 25, 10, 0}, {12, 31, 23, 59}, {1, 1, 0, 0}, {1, 5, 10, 0}, {1, 10, 23, 59}}},
        {"31 December to 1 January", 12, 31, 1, 1, {{12, 31, 23, 59}, {1, 1, 0, 0}}},
        {"25 December to 1 January", 12, 25, 1, 1, {{12, 25, 10, 0}, {12, 31, 23, 59}, {1, 1, 0, 0}}},
        {"the whole year from November on: the run as stored", 11, 1, 10, 31, std::vector<Stamp>(std::begin(run), std::end(run))},
        {"a range within one year, in month and day order", 1, 1, 12, 31,
         {{1, 1, 0, 0}, {1, 5, 10, 0}, {1, 10, 23, 59}, {1, 11, 0, 0}, {12, 19, 23, 59}, {12, 20, 0, 0}, {12, 25, 10, 0},
          {12, 31, 23, 59}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResultBuffer b = ResultSearch::search(s.connection, s.prompter, ModelKind::Stream, "run", c.fromMonth,
                                              c.fromDay, c.toMonth, c.toDay);
        EXPECT_EQ(stampsOf(b), c.expected);
        for (const ResultRow& r : b.rows) EXPECT_EQ(r.values[0], r.month * 100 + r.day);
    }
    EXPECT_TRUE(s.prompter.shown.empty());

    // Nothing of the scenario in a wrapped range: said so.
    EXPECT_TRUE(ResultSearch::search(s.connection, s.prompter, ModelKind::Stream, "other", 12, 27, 1, 10).empty());
    EXPECT_EQ(s.prompter.texts(), (std::vector<std::string>{msg::kNoDataFound}));
}

TEST(ResultSearch, StoreErrorIsShownThenNothingFound) {
    ResultsStore s;
    s.addOutput(ModelKind::Pond, "p", 6, 1, 10, 0);
    StoreAccessor(s.connection, s.prompter).execute("DROP TABLE model_output_pond");

    ResultBuffer b = ResultSearch::search(s.connection, s.prompter, ModelKind::Pond, "p", 1, 1, 12, 31);
    EXPECT_TRUE(b.empty());
    ASSERT_EQ(s.prompter.shown.size(), 2u);
    EXPECT_EQ(s.prompter.shown[0].text, "Error:no such table: model_output_Pond\n");
    EXPECT_EQ(s.prompter.shown[0].caption, msg::kProgramTitle);
    EXPECT_EQ(s.prompter.shown[1].text, msg::kNoDataFound);
}

TEST(ResultSearch, ReportsProgressByDayAndStopsWhenAbandoned) {
    ResultsStore s;
    {
        StoreTransaction t(s.connection);
        ASSERT_TRUE(t.begin());
        for (int day = 1; day <= 4; ++day)
            for (int m = 0; m < 1440; ++m) s.addOutput(ModelKind::Ditch, "long", 3, day, m / 60, m % 60, day);
        ASSERT_TRUE(t.commit());
    }
    RecordingProgress progress;
    ResultBuffer b = ResultSearch::search(s.connection, s.prompter, ModelKind::Ditch, "long", 3, 1, 3, 4, &progress);
    EXPECT_EQ(b.size(), 4u * 1440u);
    ASSERT_FALSE(progress.reports.empty());
    EXPECT_EQ(progress.reports.back(), 100);
    for (std::size_t i = 1; i < progress.reports.size(); ++i) EXPECT_LE(progress.reports[i - 1], progress.reports[i]);
    EXPECT_EQ(progress.reports.front(), 50);  // row 4096 lies on the third of four days

    RecordingProgress closing(0);
    b = ResultSearch::search(s.connection, s.prompter, ModelKind::Ditch, "long", 3, 1, 3, 4, &closing);
    EXPECT_TRUE(b.empty());
    EXPECT_TRUE(s.prompter.shown.empty());
}
