// verdanel-cli sweep: its JSON against `endpoints --json` of the same
// variant run and stored, its CSV, its table and its usage errors.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_support.hpp"
#include "core/common/civil_time.hpp"
#include "core/common/cp949.hpp"
#include "core/common/messages.hpp"
#include "core/sweep/sweep_messages.hpp"

using namespace verdanel;
using namespace verdanel::testing;
using json = nlohmann::ordered_json;

namespace {

std::vector<std::string> weeklyDates(int count) {
    std::vector<std::string> dates;
    for (int week = 0; week < count; ++week) dates.push_back(formatSprayDate(addDays({2010, 6, 1, 10, 0, 0}, 7 * week)));
    return dates;
}

std::vector<std::string> keysOf(const json& object) {
    std::vector<std::string> k;
    for (const auto& item : object.items()) k.push_back(item.key());
    return k;
}

}  // namespace

TEST(SweepCommand, JsonColumnsAreThoseOfTheSameVariantStoredAndCsvHoldsEveryVariant) {
    TestApplication app{true};
    const std::string store = quoted(app.storePath());
    const std::string file = app.folder.write("sweep.json", scenarioJson("sweep", "stream", "Chlorpyrifos", weeklyDates(3)));
    const std::string csv = app.folder.file("sweep.csv");
    const CliResult out = cli("--store " + store + " sweep " + quoted(file) +
                              " --vary bank_width=5,10,20 --threshold Cwater=0.05 --jobs 2 --json --out " + quoted(csv));
    ASSERT_EQ(out.code, 0);
    const json doc = json::parse(out.out);
    EXPECT_EQ(keysOf(doc), (std::vector<std::string>{"parameter", "variants", "summary"}));
    EXPECT_EQ(doc["parameter"], "bank_width");
    ASSERT_EQ(doc["variants"].size(), 3u);
    for (const json& v : doc["variants"])
        EXPECT_EQ(keysOf(v), (std::vector<std::string>{"value", "refused", "columns", "final_balance"}));
    // Where the chemical went: the shares of the applied mass close to 1.
    EXPECT_TRUE(doc["variants"][0]["final_balance"].is_null());
    const json& balance = doc["variants"][2]["final_balance"];
    EXPECT_GT(balance["mass_applied"].get<double>(), 0.0);
    double shares = 0;
    for (const auto& [entry, share] : balance["shares"].items()) shares += share.get<double>();
    EXPECT_EQ(balance["shares"].size(), 9u);
    EXPECT_NEAR(shares, 1.0, 1e-9);
    // The field is 7 m wide: a 5 m bank is refused, with the run's message.
    EXPECT_EQ(doc["variants"][0]["value"], 5);
    EXPECT_EQ(doc["variants"][0]["refused"], msg::kStreamBankNotWider);
    EXPECT_TRUE(doc["variants"][0]["columns"].is_null());
    EXPECT_TRUE(doc["variants"][2]["refused"].is_null());

    // The 20 m variant run and stored, then its endpoints: the same numbers.
    const std::string single = app.folder.write(
        "v20.json", scenarioJson("v20", "stream", "Chlorpyrifos", weeklyDates(3), ", \"parameters\": { \"bank_width\": 20 }"));
    ASSERT_EQ(cli("--store " + store + " run " + quoted(single)).code, 0);
    const CliResult stored =
        cli("--store " + store + " endpoints --model stream --scenario v20 --threshold Cwater=0.05 --json");
    ASSERT_EQ(stored.code, 0);
    const json endpoints = json::parse(stored.out);
    EXPECT_EQ(doc["variants"][2]["columns"], endpoints["columns"]);
    EXPECT_EQ(keysOf(doc["summary"]), keysOf(endpoints["columns"]));

    // The summary over the two variants that ran.
    const double peak10 = doc["variants"][1]["columns"]["Cwater"]["peak"];
    const double peak20 = doc["variants"][2]["columns"]["Cwater"]["peak"];
    const json& peak = doc["summary"]["Cwater"]["peak"];
    EXPECT_EQ(keysOf(peak), (std::vector<std::string>{"min", "median", "p90", "max", "max_variant"}));
    EXPECT_EQ(peak["max"], std::max(peak10, peak20));
    EXPECT_EQ(peak["max_variant"], peak10 > peak20 ? 10 : 20);
    EXPECT_DOUBLE_EQ(peak["median"].get<double>(), (peak10 + peak20) / 2);
    EXPECT_TRUE(doc["summary"]["Cwater"]["twa"].contains("21"));
    EXPECT_TRUE(doc["summary"]["Cwater"].contains("minutes_above"));
    EXPECT_FALSE(doc["summary"]["Cair(S1)"].contains("minutes_above"));

    // The CSV: CP949 with CRLF, a row per variant, then the distribution.
    const std::string bytes = readFile(csv);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
    const std::string text = cp949ToUtf8(bytes);
    EXPECT_EQ(text.rfind(msg::kSweepCsvSection, 0), 0u);
    EXPECT_NE(text.find(std::string("\r\n") + msg::kSweepCsvVaried + ",하천변 폭 (meter),bank_width\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\n5,거부,하천변 폭은 살포 너비보다 커야 합니다.,"), std::string::npos);
    EXPECT_NE(text.find("\r\n10,완료,,"), std::string::npos);
    EXPECT_NE(text.find("\r\n20,완료,,"), std::string::npos);
    EXPECT_NE(text.find(std::string("\r\n") + msg::kSweepCsvSummarySection + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("Cwater 최대 4일 평균 농도"), std::string::npos);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    // Three header lines and three variants; a blank, the section and its header; 14 columns x 10
    // endpoints and Cwater's four threshold endpoints.
    EXPECT_EQ(lines, 3u + 1 + 3 + 1 + 1 + 1 + 14 * 10 + 4);
}

TEST(SweepCommand, TableOfAShiftSweepAndItsUsageErrors) {
    TestApplication app{true};
    const std::string store = quoted(app.storePath());
    const std::string file = app.folder.write("sweep.json", scenarioJson("sweep", "ditch", "Chlorpyrifos", weeklyDates(2)));
    const std::string base = "--store " + store + " sweep " + quoted(file);
    const CliResult out = cli(base + " --shift-days -7:14:7 --threshold Cwater=1e9 --threshold 'Cair(Spray)=1e-30'");
    ASSERT_EQ(out.code, 0);
    EXPECT_NE(out.out.find("shift_days (살포일 이동 (일)): 4 variants"), std::string::npos) << out.out;
    for (const char* variant : {"\n-7 ", "\n0 ", "\n7 ", "\n14 "}) EXPECT_NE(out.out.find(variant), std::string::npos);
    EXPECT_NE(out.out.find("Cwater min>"), std::string::npos);
    EXPECT_NE(out.out.find("Cwater 최대 21일 평균 농도"), std::string::npos);
    // Every peak lies far below 1e9 but above 1e-30: no variant meets both.
    EXPECT_NE(out.out.find(std::string("variants meeting every threshold: ") + msg::kSweepMeetingAllNone),
              std::string::npos);
    const CliResult loose = cli(base + " --shift-days -7:14:7 --threshold Cwater=1e9");
    EXPECT_NE(loose.out.find("variants meeting every threshold: -7, 0, 7, 14\n"), std::string::npos) << loose.out;

    for (const std::string& wrong : {std::string(" --shift-days 0:7:7 --vary bank_width=5,6"), std::string(""),
                                     std::string(" --vary bank_width=9:2:1"), std::string(" --vary width=1,2"),
                                     std::string(" --shift-days 0:7:1 --jobs 0"),
                                     std::string(" --shift-days 0:1.5:1"),
                                     std::string(" --shift-days 0:7:7 --threshold Cnone=1")}) {
        SCOPED_TRACE(wrong);
        EXPECT_EQ(cli(base + wrong).code, 2);
    }
}
