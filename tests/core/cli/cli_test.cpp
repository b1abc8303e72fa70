#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "cli_support.hpp"
#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/chemical_record.hpp"
#include "core/common/cp949.hpp"
#include "core/common/messages.hpp"
#include "core/common/text_format.hpp"
#include "core/common/prompter.hpp"
#include "core/results/result_csv.hpp"
#include "core/results/result_messages.hpp"
#include "core/results/result_search.hpp"
#include "core/results/result_summary.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "support/scripted_prompter.hpp"
#include "support/store_digest.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::StoreDigest;
using verdanel::testing::TestApplication;

namespace {

using verdanel::testing::cli;
using verdanel::testing::quoted;
using verdanel::testing::readFile;
using Result = verdanel::testing::CliResult;

struct CliFixture {
    TestApplication app{true};
    std::string store() const { return quoted(app.storePath()); }
    std::string scenario(const std::string& model, const std::string& name, const std::string& extra = "") {
        return app.folder.write("scenarios/" + model + "-" + name + ".json",
                                verdanel::testing::scenarioJson(name, model, "Diazinon", {"2010-06-01 10:00"}, extra));
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

// The command line runs what the windows would run and refuses what they
// would refuse, with the same message on stderr, exit code 1 and the store
// exactly as it was.
TEST(CommandLine, RefusesWhatTheWindowsRefuseAndRunsThatFailStoreNothing) {
    auto notUsable = [](const char* chemical, int column) {
        return fillMessage(fillMessage(msg::kChemicalNotUsableFormat, chemical), msg::kPropertyLabels[column - 1]);
    };
    struct Case {
        const char* what;
        const char* chemical;
        const char* column;  // a property changed in the store before the run ("" for none)
        const char* text;
        std::string message;  // "" for a run that fails on a value that is not a finite number
    };
    const Case cases[] = {
        {"the sample chemical without a Henry constant", "Chlorantraniliprole", "", "",
         notUsable("Chlorantraniliprole", chem_col::kHenryConstant)},
        {"a molecular weight that is not a number", "Diazinon", "MW", "abc",
         notUsable("Diazinon", chem_col::kMolecularWeight)},
        {"an empty soil half-life", "Diazinon", "halftime_soil", "", notUsable("Diazinon", chem_col::kHalfLifeSoil)},
        {"a water diffusivity with a comma", "Diazinon", "diffusivity_water", "3,2e-6",
         notUsable("Diazinon", chem_col::kDiffusivityWater)},
        {"a Henry constant of 0 (usable, but the model cannot take it)", "Diazinon", "Henry_constant", "0",
         fillMessage(msg::kChemicalPropertyFormat, msg::kPropertyHenry)},
        {"a Henry constant of 1e20 (usable, but the values are not finite)", "Diazinon", "Henry_constant", "1e20", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CliFixture f;
        // An earlier run of the same name that the run is told to replace.
        const std::string earlier = f.app.folder.write("earlier.json", verdanel::testing::scenarioJson(
                                                                           "same", "ditch", "Fenitrothion",
                                                                           {"2010-06-01 10:00"}));
        ASSERT_EQ(cli("--store " + f.store() + " run " + quoted(earlier)).code, 0);
        ScriptedPrompter prompter;
        StoreConnection connection;
        ASSERT_TRUE(connection.open(f.app.connectionText(), prompter));
        if (*c.column) {
            StoreAccessor a(connection, prompter);
            ASSERT_TRUE(a.execute(std::string("UPDATE material_info SET ") + c.column + " = ? WHERE mat_name = ?",
                                  {std::string(c.text), std::string(c.chemical)}));
        }
        const StoreDigest before = verdanel::testing::digestStore(connection.handle());
        const std::string file = f.app.folder.write(
            "run.json", verdanel::testing::scenarioJson("same", "ditch", c.chemical, {"2010-06-01 10:00"}));
        const Result r = cli("--store " + f.store() + " run " + quoted(file) + " --replace", f.app.folder.file("err"));
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "");
        if (!c.message.empty()) {
            EXPECT_EQ(r.err, c.message + "\n");
        } else {
            // The value's name and simulated time stand where the format has its two "%s".
            const std::string format = msg::kNotFiniteResultFormat;
            const std::size_t first = format.find("%s"), second = format.find("%s", first + 2);
            EXPECT_EQ(r.err.rfind(format.substr(0, first), 0), 0u) << r.err;
            EXPECT_NE(r.err.find(format.substr(first + 2, second - first - 2)), std::string::npos) << r.err;
            EXPECT_TRUE(r.err.ends_with(format.substr(second + 2) + "\n")) << r.err;
        }
        const StoreDigest after = verdanel::testing::digestStore(connection.handle());
        EXPECT_TRUE(after == before) << verdanel::testing::differences(before, after);
    }
}

// delete and compact do what the result window's delete and Quit do, with
// their own exit codes and messages; the run's progress bar ends at 100 % on
// its own line before the summary.
TEST(CommandLine, DeleteAndCompactLikeTheWindowsAndTheBarEndsOnItsOwnLine) {
    CliFixture f;
    const std::string store = "--store " + f.store();
    const std::string errors = f.app.folder.file("stderr.txt");
    ASSERT_EQ(cli(store + " run " + quoted(f.scenario("ditch", "to go"))).code, 0);
    ASSERT_EQ(cli(store + " run " + quoted(f.scenario("pond", "to keep"))).code, 0);
    const auto sizeWithBoth = std::filesystem::file_size(f.app.storePath());

    struct Case {
        const char* what;
        std::string arguments;
        int code;
        std::string out;  // expected at the start of stdout
        std::string err;  // expected in stderr
    };
    const Case cases[] = {
        {"nothing to reclaim", store + " compact", 0, fillMessage(msg::kNothingToReclaimFormat, "0.00 %"), ""},
        {"delete", store + " delete --model ditch --scenario 'to go'", 0,
         fillMessage(msg::kScenarioDeletedFormat, {"to go", "ditch"}) + "\n" +
             fillMessage(msg::kNothingToReclaimFormat, "0.00 %"),
         ""},
        {"delete again", store + " delete --model ditch --scenario 'to go'", 1, "",
         fillMessage(msg::kScenarioNotFoundFormat, {"to go", "ditch"})},
        {"other model", store + " delete --model stream --scenario 'to keep'", 1, "",
         fillMessage(msg::kScenarioNotFoundFormat, {"to keep", "stream"})},
        {"no name", store + " delete --model pond", 2, "", "delete needs --model and --scenario"},
        {"unknown model", store + " delete --model lake --scenario x", 2, "", "unknown model: lake"},
        {"extra argument", store + " compact now", 2, "", "unexpected argument: now"},
    };
    for (const Case& c : cases) {
        const Result r = cli(c.arguments, errors);
        EXPECT_EQ(r.code, c.code) << c.what << "\n" << r.out << r.err;
        EXPECT_EQ(r.out.rfind(c.out, 0), 0u) << c.what << ": " << r.out;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.what << ": " << r.err;
    }
    EXPECT_EQ(cli(store + " scenarios").out, "pond\tto keep\tDiazinon\t2010-06-01\t2010-08-30\n");
    EXPECT_LT(std::filesystem::file_size(f.app.storePath()), sizeWithBoth * 3 / 4) << "the delete gave its pages back";

    // A store with free pages and no way to give them back (as made before)
    // is rewritten by compact, once.
    {
        ScriptedPrompter prompter;
        StoreConnection c;
        ASSERT_TRUE(c.open(f.app.connectionText(), prompter));
        ASSERT_TRUE(c.database().exec("PRAGMA auto_vacuum = NONE"));
        ASSERT_TRUE(c.database().exec("VACUUM"));
        ASSERT_TRUE(c.database().exec("DELETE FROM model_output_pond WHERE rowid > 40000"));
    }
    const Result rewrite = cli(store + " compact", errors);
    EXPECT_EQ(rewrite.code, 0) << rewrite.err;
    EXPECT_EQ(rewrite.out.rfind(fillMessage(msg::kStoreCompactedFormat, {"", ""}).substr(0, 10), 0), 0u) << rewrite.out;
    EXPECT_EQ(cli(store + " compact").out.rfind(fillMessage(msg::kNothingToReclaimFormat, "0.00 %"), 0), 0u);

    // On a terminal the bar reaches 100 % and the summary starts a new line.
    const std::string terminal = f.app.folder.file("terminal.txt");
    const std::string command = f.app.folder.write(
        "run-on-a-terminal.sh",
        std::string(VERDANEL_CLI_PATH) + " " + store + " run " + quoted(f.scenario("pond", "seen on a terminal")));
    ASSERT_EQ(std::system(("script -qec 'sh " + command + "' /dev/null > " + quoted(terminal)).c_str()), 0);
    const std::string shown = readFile(terminal);
    const auto full = shown.find("] 100%");
    ASSERT_NE(full, std::string::npos) << shown;
    const auto summary = shown.find("scenario: ");
    ASSERT_NE(summary, std::string::npos) << shown;
    EXPECT_LT(full, summary);
    EXPECT_EQ(shown.find_first_not_of("\r\n", full + 6), summary) << "the summary must begin on its own line";
}
