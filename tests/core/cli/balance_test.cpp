// verdanel-cli balance over a stored Pond run (one spray on 1 June, 91 days):
// the final hour's table against the stored row, the CSV of every hourly row
// (CP949, CRLF, "%e" values), and the command's refusals.
#include <gtest/gtest.h>

#include <sstream>

#include "cli_support.hpp"
#include "core/common/cp949.hpp"
#include "core/common/number_text.hpp"
#include "core/results/mass_balance_messages.hpp"
#include "core/results/mass_balance_series.hpp"
#include "core/store/store_connection.hpp"
#include "support/scripted_prompter.hpp"

using namespace verdanel;
using namespace verdanel::testing;

namespace {

std::vector<std::string> lines(const std::string& text, const std::string& end) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(end, start)) != std::string::npos; start = at + end.size())
        out.push_back(text.substr(start, at - start));
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
}

std::vector<std::string> fields(const std::string& line) { return lines(line, ","); }

}  // namespace

TEST(BalanceCommand, FinalHourTableAndHourlyCsvOfAStoredRun) {
    TestApplication app{true};
    const std::string store = quoted(app.storePath());
    const std::string file =
        app.folder.write("pond.json", scenarioJson("연못 하나", "pond", "Chlorpyrifos", {"2010-06-01 10:00"}));
    ASSERT_EQ(cli("--store " + store + " run " + quoted(file)).code, 0);

    ScriptedPrompter prompter;
    StoreConnection connection;
    ASSERT_TRUE(connection.open(app.connectionText(), prompter));
    const MassBalanceRows stored = searchMassBalance(connection, ModelKind::Pond, "연못 하나", 6, 1, 8, 30);
    ASSERT_EQ(stored.rows.size(), 91u * 24);
    const MassBalanceRow& last = stored.rows.back().balance;

    const std::string csv = app.folder.path().string() + "/balance.csv";
    const CliResult out = cli("--store " + store + " balance --model pond --scenario '연못 하나' --out " + quoted(csv));
    ASSERT_EQ(out.code, 0) << out.out;
    EXPECT_NE(out.out.find("08-30 23:00"), std::string::npos) << out.out;
    // Each entry's line: its label, the stored mass as "%e", its share of the applied mass.
    const std::vector<BalanceLine> expected = balanceLines(last);
    for (const BalanceLine& line : expected) {
        std::istringstream shown(out.out);
        std::string text;
        bool found = false;
        while (std::getline(shown, text)) {
            if (text.rfind(line.label, 0) != 0) continue;
            found = true;
            EXPECT_NE(text.find(line.mass), std::string::npos) << text;
            EXPECT_NE(text.find(line.percent), std::string::npos) << text;
        }
        EXPECT_TRUE(found) << line.label << " in\n" << out.out;
    }
    EXPECT_EQ(expected[kBalanceApplied].mass, formatE(last.applied));
    EXPECT_EQ(expected[kBalanceOutflow].mass, formatE(0.0));  // still water flows nowhere

    // The CSV: CP949 with CRLF, a header, then one line per stored hour.
    const std::string bytes = readFile(csv);
    ASSERT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
    const std::vector<std::string> rows = lines(cp949ToUtf8(bytes), "\r\n");
    ASSERT_EQ(rows.size(), 4 + stored.rows.size());
    EXPECT_EQ(rows[0], msg::kMassBalanceCsvSection);
    EXPECT_EQ(rows[1], std::string(msg::kMassBalanceCsvScenario) + ",연못 하나");
    const std::vector<std::string> header = fields(rows[3]);
    ASSERT_EQ(header.size(), 4u + kBalanceEntryCount);
    EXPECT_EQ(header[4], msg::kMassBalanceLabels[0]);
    for (std::size_t k : {std::size_t{0}, std::size_t{1000}, stored.rows.size() - 1}) {
        const std::vector<std::string> f = fields(rows[4 + k]);
        const MassBalanceRecord& r = stored.rows[k];
        ASSERT_EQ(f.size(), 4u + kBalanceEntryCount);
        EXPECT_EQ(f[0] + "-" + f[1] + " " + f[2] + ":" + f[3],
                  std::to_string(r.month) + "-" + std::to_string(r.day) + " " + std::to_string(r.hour) + ":0");
        for (int e = 0; e < kBalanceEntryCount; ++e)
            EXPECT_EQ(f[4 + static_cast<std::size_t>(e)], formatE(r.balance.*kMassBalanceEntries[static_cast<std::size_t>(e)].value));
    }

    struct Refusal {
        const char* arguments;
        int code;
    };
    const Refusal refusals[] = {
        {"balance --model pond", 2},
        {"balance --model lake --scenario x", 2},
        {"balance --model pond --scenario x --from 13-01", 2},
        {"balance --model ditch --scenario '연못 하나'", 1},  // a Pond scenario is no Ditch scenario
    };
    for (const Refusal& r : refusals) EXPECT_EQ(cli("--store " + store + " " + r.arguments).code, r.code) << r.arguments;
}
