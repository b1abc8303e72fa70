// A run killed at any moment (power cut, task manager, kill -9) leaves the
// store as it was before the run or, when the kill came after the commit,
// with the whole new run: never part of one, never an earlier run damaged.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>

#include "core/store/statements.hpp"
#include "core/store/store_statement.hpp"
#include "core/store/store_transaction.hpp"
#include "fault_support.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using namespace verdanel::testing;
using Clock = std::chrono::steady_clock;

namespace {

std::string scenarioJson(const std::string& name, const std::string& model, double sprayRate) {
    const std::string input = std::string(VERDANEL_SOURCE_DIR) + "/input/";
    return "{ \"name\": \"" + name + "\", \"model\": \"" + model +
           "\", \"chemical\": \"Chlorpyrifos\", \"spray_dates\": [\"2010-06-01 10:00\"], "
           "\"weather\": { \"wind_speed\": \"" + input + "wind.txt\", \"wind_direction\": \"" + input +
           "winddir.txt\", \"temperature\": \"" + input + "temp.txt\", \"rainfall\": \"" + input +
           "rain.txt\", \"humidity\": \"" + input + "Humi.txt\" }, \"parameters\": { \"spray_rate\": " +
           std::to_string(sprayRate) + " } }";
}

// A small scenario of another model beside the one the kills replace: the
// kills must leave it alone. Written directly, so that the store stays small
// enough to be read whole after each of the many kills.
void addOtherScenario(const std::string& store) {
    HookPrompter prompter;
    StoreConnection c;
    ASSERT_TRUE(c.open("Provider=SQLite;Data Source=" + store, prompter));
    StoreTransaction t(c);
    ASSERT_TRUE(t.begin());
    StoreStatement scenario(c, sql::insertScenario());
    scenario.bindAll({std::string("other pond"), std::string("pond"), std::string("Chlorpyrifos"), 40.0, 4.0, 11.0,
                      7.5, 100.0, 15.0, 2.0, 0.8, 4.0, 1.0, 0.1, 0.0, std::string("2010-06-01"),
                      std::string("2010-06-01")});
    ASSERT_TRUE(scenario.run());
    StoreStatement insert(c, sql::kInsertPondOutput);
    char two[3][3];
    for (int minute = 0; minute < 1440; ++minute) {
        std::snprintf(two[0], 3, "%02d", minute / 60);
        std::snprintf(two[1], 3, "%02d", minute % 60);
        insert.bindAll({std::string("other pond"), std::string("06"), std::string("01"), std::string(two[0]),
                        std::string(two[1])});
        for (int v = 0; v < 8; ++v) insert.bindDouble(6 + v, minute * 1e-3 + v / 7.0);
        ASSERT_TRUE(insert.run());
    }
    ASSERT_TRUE(t.commit());
}

}  // namespace

TEST(KilledRun, LeavesTheWholeEarlierRunOrTheWholeNewRunAndNothingElseChanges) {
    TestApplication app(true);
    const std::string store = app.storePath();
    const std::string log = app.folder.file("cli.log");
    // Two versions of one scenario, told apart by their spray rate.
    const std::string versions[2] = {app.folder.write("a.json", scenarioJson("target", "ditch", 7.5)),
                                     app.folder.write("b.json", scenarioJson("target", "ditch", 11))};

    addOtherScenario(store);
    ASSERT_EQ(runCli({"--store", store, "run", versions[0]}, log), 0) << fileBytes(log);
    const StoreInspection first = inspectStore(store);
    ASSERT_TRUE(first.opened);
    ASSERT_EQ(first.readError, "");
    // Replacing runs that are left to finish: the other state, and how long a run takes.
    auto timedRun = [&](const std::string& file) {
        const auto started = Clock::now();
        const int code = runCli({"--store", store, "run", file, "--replace"}, log);
        EXPECT_EQ(code, 0) << fileBytes(log);
        return Clock::now() - started;
    };
    const auto towardsSecond = timedRun(versions[1]);
    const StoreInspection second = inspectStore(store);
    ASSERT_TRUE(second.opened);
    const auto backToFirst = timedRun(versions[0]);
    ASSERT_TRUE(inspectStore(store).digest == first.digest);
    const auto runTime = std::min(towardsSecond, backToFirst);
    const StoreDigest states[2] = {first.digest, second.digest};
    ASSERT_NE(states[0], states[1]);
    ASSERT_EQ(states[0].at("model_output_ditch").at("target").rows, 91 * 1440);
    ASSERT_EQ(states[1].at("model_output_ditch").at("target").rows, 91 * 1440);
    ASSERT_EQ(states[0].at("model_output_pond").at("other pond").rows, 1440);
    ASSERT_EQ(states[0].at("model_output_pond"), states[1].at("model_output_pond"));
    ASSERT_EQ(states[0].at("material_info"), states[1].at("material_info"));

    // Two copies of the store take turns: while a run on one is killed, the
    // other is read back after its own kill, so checking costs no extra time.
    const std::string stores[2] = {store, app.folder.file("Database/Second.mdb")};
    std::filesystem::copy_file(stores[0], stores[1]);
    int stateOf[2] = {0, 0};

    // 75 kills are spread over the run. The other 25 close in on the moment
    // the run commits (the last rows, the commit, the removal of the
    // journal), known from the kills so far: after the latest kill that found
    // the earlier run, before the earliest that found the new one.
    constexpr int kKills = 100;
    constexpr int kSpread = 75;
    // The full integrity check (every index entry against its row) after every
    // tenth kill; the quick check of every page and table after the others.
    constexpr int kFullCheckEvery = 10;
    const auto run = std::chrono::duration_cast<std::chrono::microseconds>(runTime);
    const auto earliest = std::chrono::microseconds(5000);
    const auto spreadEnd = run * 9 / 10;
    auto lastOld = spreadEnd, firstNew = run * 3 / 2;
    auto killMoment = [&](int i) {
        if (i < kSpread) return earliest + (spreadEnd - earliest) * i / kSpread;
        if (firstNew - lastOld < run / 50) {
            // Runs differ in length more than that; look round again.
            lastOld -= run / 10;
            firstNew += run / 10;
        }
        return (lastOld + firstNew) / 2;
    };
    struct Kill {
        int index = -1;
        int copy = 0;
        std::chrono::microseconds delay{};
        int code = 0;
        std::future<StoreInspection> inspection;
    };
    int keptOld = 0, tookNew = 0, midTransaction = 0, finishedFirst = 0;
    // What the killed run left: the earlier state of its copy or the new one, never anything else.
    auto judge = [&](Kill& k) {
        const StoreInspection after = k.inspection.get();
        const std::string& path = stores[k.copy];
        const std::string at = "kill " + std::to_string(k.index) + " after " + std::to_string(k.delay.count()) + " us";
        ASSERT_TRUE(after.opened) << at << ": " << after.shown;
        ASSERT_EQ(after.integrity, "ok") << at;
        ASSERT_EQ(after.readError, "") << at;
        // Opening rolled back whatever the killed run had begun. A journal
        // whose header was never written (the store file not yet touched) may stay.
        std::ifstream journal(path + "-journal", std::ios::binary);
        EXPECT_TRUE(!journal || journal.get() <= 0) << at << ": a hot journal is left";
        int& state = stateOf[k.copy];
        if (after.digest == states[state]) {
            ++keptOld;
            if (k.index >= kSpread) lastOld = std::max(lastOld, k.delay);
            EXPECT_NE(k.code, 0) << at << ": a finished run must be in the store";
        } else if (after.digest == states[1 - state]) {
            ++tookNew;
            if (k.index >= kSpread) firstNew = std::min(firstNew, k.delay);
            state = 1 - state;
        } else {
            FAIL() << at << " left a store that is neither the old nor the new one: "
                   << differences(states[state], after.digest);
        }
    };
    auto latest = earliest;
    const auto killsStarted = Clock::now();
    Kill previous;
    for (int i = 0; i < kKills; ++i) {
        Kill k;
        k.index = i;
        k.copy = i % 2;
        k.delay = killMoment(i);
        latest = std::max(latest, k.delay);
        const std::string& path = stores[k.copy];
        const pid_t pid =
            startCli({"--store", path, "run", versions[1 - stateOf[k.copy]], "--replace"}, log + std::to_string(k.copy));
        ASSERT_GT(pid, 0);
        if (previous.index >= 0) {
            const bool full = previous.index % kFullCheckEvery == kFullCheckEvery - 1;
            previous.inspection =
                std::async(std::launch::async, inspectStore, stores[previous.copy], full);
        }
        sleepFor(k.delay);
        ::kill(pid, SIGKILL);
        k.code = waitForExit(pid);
        if (k.code == 0) ++finishedFirst;
        else ASSERT_EQ(k.code, -SIGKILL) << "kill " << i << ": the run ended by itself: " << fileBytes(log);
        std::error_code ec;
        if (std::filesystem::file_size(path + "-journal", ec) > 0 && !ec) ++midTransaction;
        if (previous.index >= 0) judge(previous);
        if (::testing::Test::HasFatalFailure()) return;
        previous = std::move(k);
    }
    previous.inspection = std::async(std::launch::async, inspectStore, stores[previous.copy], true);
    judge(previous);
    std::cout << "[ figures  ] " << kKills << " kills over 5 ms .. " << latest.count() / 1000 << " ms (a run takes "
              << std::chrono::duration_cast<std::chrono::milliseconds>(runTime).count() << " ms, the kills "
              << std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - killsStarted).count()
              << " s): " << keptOld
              << " kept the earlier run (" << midTransaction << " of them killed inside the transaction), " << tookNew
              << " held the new run (" << finishedFirst << " had finished before the kill)\n";
    // The kills must have hit the work itself, not only its start or its end.
    EXPECT_GE(midTransaction, 3);
    EXPECT_GE(keptOld, 1);
}
