#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/common/cp949.hpp"
#include "core/common/prompter.hpp"
#include "core/results/result_csv.hpp"
#include "core/results/result_search.hpp"
#include "core/results/result_summary.hpp"
#include "core/store/store_connection.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TestApplication;

namespace {

struct Result {
    int code = -1;
    std::string out;
};

// Runs verdanel-cli with the given arguments; stdout is captured, stderr dropped.
Result cli(const std::string& arguments) {
    Result r;
    const std::string command = std::string(VERDANEL_CLI_PATH) + " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
    int status = pclose(pipe);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct CliFixture {
    TestApplication app{true};
    std::string store() const { return quoted(app.storePath()); }
    std::string scenario(const std::string& model, const std::string& name, const std::string& extra = "") {
        const std::string input = std::string(VERDANEL_SOURCE_DIR) + "/input/";
        std::string json = "{ \"name\": \"" + name + "\", \"model\": \"" + model +
                           "\", \"chemical\": \"Diazinon\", \"spray_dates\": [\"2010-06-01 10:00\"], "
                           "\"weather\": { \"wind_speed\": \"" + input + "wind.txt\", \"wind_direction\": \"" +
                           input + "winddir.txt\", \"temperature\": \"" + input + "temp.txt\", \"rainfall\": \"" +
                           input + "rain.txt\", \"humidity\": \"" + input + "Humi.txt\" }" + extra + " }";
        return app.folder.write("scenarios/" + model + "-" + name + ".json", json);
    }
};

}  // namespace

TEST(CommandLine, RunStoresTheScenarioAndRefusesToReplaceWithoutBeingTold) {
    CliFixture f;
    const std::string file = f.scenario("ditch", "cli run");
    Result first = cli("--store " + f.store() + " run " + quoted(file));
    ASSERT_EQ(first.code, 0);
    EXPECT_NE(first.out.find("131040 rows"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("Cwater max: "), std::string::npos);
    EXPECT_EQ(cli("--store " + f.store() + " run " + quoted(file)).code, 1);
    EXPECT_EQ(cli("--store " + f.store() + " run " + quoted(file) + " --replace").code, 0);
    Result list = cli("--store " + f.store() + " scenarios --model ditch");
    EXPECT_EQ(list.out, "ditch\tcli run\tDiazinon\t2010-06-01\t2010-08-30\n");
    EXPECT_EQ(cli("--store " + f.store() + " scenarios --model pond").out, "");
}

TEST(CommandLine, ExportWritesTheSameBytesAsTheWindowsWriter) {
    CliFixture f;
    ASSERT_EQ(cli("--store " + f.store() + " run " + quoted(f.scenario("stream", "exp"))).code, 0);
    const std::string out = f.app.folder.file("06-01 ~ 06-03.csv");
    ASSERT_EQ(cli("--store " + f.store() + " export --model stream --scenario exp --from 06-01 --to 06-03 --out " +
                  quoted(out))
                  .code,
              0);
    ScriptedPrompter prompter;
    StoreConnection connection;
    ASSERT_TRUE(connection.open(f.app.connectionText(), prompter));
    ResultBuffer rows = ResultSearch::search(connection, prompter, ModelKind::Stream, "exp", 6, 1, 6, 3);
    ASSERT_EQ(rows.size(), 3u * 1440u);
    std::ostringstream expected;
    writeResultsCsv(expected, rows, summarize(rows, 2010));
    EXPECT_EQ(readFile(out), expected.str());
    // The whole period by default.
    const std::string all = f.app.folder.file("all.csv");
    ASSERT_EQ(cli("--store " + f.store() + " export --model stream --scenario exp --out " + quoted(all)).code, 0);
    EXPECT_NE(cli("--store " + f.store() + " export --model stream --scenario exp --out " + quoted(all)).out.find(
                  "131040 rows"),
              std::string::npos);
}

TEST(CommandLine, ChemicalsListRecomputedUsableFlags) {
    CliFixture f;
    Result r = cli("--store " + f.store() + " chemicals");
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("mat_name\tuseable\tMW\t", 0), 0u);
    EXPECT_NE(r.out.find("\nChlorpyrifos\t1\t"), std::string::npos);
    EXPECT_NE(r.out.find("\nChlorantraniliprole\t0\t"), std::string::npos);  // no Henry constant
}

TEST(CommandLine, ErrorsExitOneAndUsageErrorsExitTwo) {
    CliFixture f;
    EXPECT_EQ(cli("").code, 2);
    EXPECT_EQ(cli("frobnicate").code, 2);
    EXPECT_EQ(cli("--store " + f.store() + " export --model river --scenario x --out /tmp/x.csv").code, 2);
    EXPECT_EQ(cli("--store " + f.store() + " export --model stream --scenario x --from 13-01 --out /tmp/x.csv").code, 2);
    EXPECT_EQ(cli("--store " + f.store() + " run").code, 2);
    // A scenario that is not there, a store that is not there, a broken file, a refused input.
    EXPECT_EQ(cli("--store " + f.store() + " export --model stream --scenario none --out /tmp/x.csv").code, 1);
    EXPECT_EQ(cli("--store /nonexistent/V.mdb scenarios").code, 1);
    EXPECT_EQ(cli("--store " + f.store() + " run " + quoted(f.app.folder.write("bad.json", "{ not json"))).code, 1);
    EXPECT_EQ(cli("--store " + f.store() + " run " +
                  quoted(f.scenario("stream", "refused", ", \"parameters\": { \"canopy_cover\": 0 }")))
                  .code,
              1);
    EXPECT_EQ(cli("--store " + f.store() + " scenarios").out, "");
}
