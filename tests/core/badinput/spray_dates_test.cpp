// Spray dates far apart and spray date texts that are not dates.
#include <chrono>

#include "badinput_fixture.hpp"
#include "core/engines/scenario_file.hpp"
#include "core/store/store_accessor.hpp"

using namespace verdanel;
using namespace verdanel::testing;

namespace {

std::string weatherJson() {
    const std::string input = std::string(VERDANEL_SOURCE_DIR) + "/input/";
    return "\"weather\": { \"wind_speed\": \"" + input + "wind.txt\", \"wind_direction\": \"" + input +
           "winddir.txt\", \"temperature\": \"" + input + "temp.txt\", \"rainfall\": \"" + input +
           "rain.txt\", \"humidity\": \"" + input + "Humi.txt\" }";
}

ScenarioFile parseWithDates(const std::string& datesJson) {
    return parseScenarioFile("{ \"name\": \"dates\", \"model\": \"ditch\", \"chemical\": \"Chlorpyrifos\", "
                             "\"spray_dates\": " + datesJson + ", " + weatherJson() + " }",
                             "/", "/");
}

// Cair(spray1) of one stored minute, counted from 00:00 of the first day.
struct MinuteReader {
    StoreAccessor& accessor;
    long long firstRow = 0;
    double maxAir(long long day, int fromMinute, int toMinute) {
        const long long from = firstRow + day * 1440 + fromMinute;
        accessor.query("SELECT max(Cair_spray1) FROM model_output_ditch WHERE rowid BETWEEN ? AND ?",
                       {static_cast<std::int64_t>(from), static_cast<std::int64_t>(from + toMinute - fromMinute)}).rows();
        return std::stod(accessor.cell(0, 0));
    }
};

}  // namespace

TEST(SprayDates, AListOverMoreThanAYearStoresEveryDayOnceAndSpraysOnlyOnItsOwnDates) {
    InputFixture f;
    // Out of order on purpose: the file reader sorts them.
    ScenarioFile file = parseWithDates("[\"2012-03-05 10:00\", \"2011-02-20 10:00\"]");
    ASSERT_TRUE(file.ok) << file.error;
    ScenarioDefinition s = file.scenario;
    s.chemical = f.scenario(ModelKind::Ditch, "x").chemical;
    ASSERT_EQ(s.sprayDates.front(), (CivilTime{2011, 2, 20, 10, 0, 0}));

    using namespace std::chrono;
    const sys_days first = year{2011} / February / 20;
    const sys_days last = sys_days(year{2012} / March / 5) + days{90};
    const long long dayCount = (last - first).count() + 1;
    ASSERT_EQ(dayCount, 470);  // 2012 is a leap year

    RunOutcome outcome = f.run(s);
    ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message;
    EXPECT_EQ(outcome.rows, dayCount * 1440);
    StoreAccessor a(f.connection, f.prompter);
    ASSERT_EQ(a.query("SELECT count(*), min(rowid), max(rowid) FROM model_output_ditch WHERE scenario_name = 'dates'").rows(), 1);
    EXPECT_EQ(std::stoll(a.cell(0, 0)), dayCount * 1440);
    const long long firstRow = std::stoll(a.cell(0, 1));
    ASSERT_EQ(std::stoll(a.cell(0, 2)) - firstRow + 1, dayCount * 1440);  // one run, stored in time order
    ASSERT_EQ(a.query("SELECT start_date, end_date FROM Scenario_Info WHERE Scenario_Name = 'dates'").rows(), 1);
    EXPECT_EQ(a.cell(0, 0), "2011-02-20");
    EXPECT_EQ(a.cell(0, 1), "2012-06-03");
    // 29 February is there once, from 2012.
    ASSERT_EQ(a.query("SELECT count(*) FROM model_output_ditch WHERE simulation_month = '02' AND simulation_day = '29'").rows(), 1);
    EXPECT_EQ(a.cell(0, 0), "1440");

    // A spray shows as a jump of the air over the sprayed strip at 10:00:
    // on both spray dates, and not on 20 February 2012, a year after the first.
    MinuteReader air{a, firstRow};
    const long long yearLater = (sys_days(year{2012} / February / 20) - first).count();
    const long long secondDate = (sys_days(year{2012} / March / 5) - first).count();
    for (long long day : {0LL, secondDate}) {
        EXPECT_GT(air.maxAir(day, 600, 630), 10 * air.maxAir(day, 540, 599) + 1e-12) << "day " << day;
    }
    EXPECT_LE(air.maxAir(yearLater, 600, 630), air.maxAir(yearLater, 540, 599) * 1.0001 + 1e-300);
}

TEST(SprayDates, TextsThatAreNotDatesAreRefusedByTheScenarioFileWithTheText) {
    const char* refused[] = {
        "\"2010-02-30 10:00\"", "\"2011-02-29 10:00\"", "\"2010-13-01 10:00\"", "\"2010-00-10 10:00\"",
        "\"2010-06-01 24:00\"", "\"2010-06-01 10:60\"", "\"2010-6-1 10:00\"",   "\"2010-06-01\"",
        "\"\"",                 "\"2010-06-01T10:00\"", "\" 2010-06-01 10:00\"", "\"2010-06-01 10:00 \"",
        "\"+010-06-01 10:00\"", "\"2010-06-01 -1:00\"", "\"\xEF\xBC\x92" "010-06-01 10:00\"",
        "20100601",             "null",                 "[\"2010-06-01 10:00\"]",
    };
    for (const char* date : refused) {
        SCOPED_TRACE(date);
        ScenarioFile file = parseWithDates(std::string("[\"2010-06-01 10:00\", ") + date + "]");
        EXPECT_FALSE(file.ok);
        EXPECT_NE(file.error.find("YYYY-MM-DD HH:MM"), std::string::npos) << file.error;
    }
    for (const char* date : {"\"2012-02-29 23:59\"", "\"2010-12-31 00:00\"", "\"0001-01-01 00:00\""}) {
        SCOPED_TRACE(date);
        EXPECT_TRUE(parseWithDates(std::string("[") + date + "]").ok);
    }
}
