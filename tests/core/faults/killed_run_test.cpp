// A run killed at any moment (power cut, task manager, kill -9) leaves the
// store as it was before the run or, when the kill came after the commit,
// with the whole new run: never part of one, never an earlier run damaged.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

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

}  // namespace

TEST(KilledRun, LeavesTheWholeEarlierRunOrTheWholeNewRunAndNothingElseChanges) {
    TestApplication app(true);
    const std::string store = app.storePath();
    const std::string log = app.folder.file("cli.log");
    const std::string other = app.folder.write("other.json", scenarioJson("other pond", "pond", 7.5));
    // Two versions of one scenario, told apart by their spray rate.
    const std::string versions[2] = {app.folder.write("a.json", scenarioJson("target", "ditch", 7.5)),
                                     app.folder.write("b.json", scenarioJson("target", "ditch", 11))};

    ASSERT_EQ(runCli({"--store", store, "run", other}, log), 0) << fileBytes(log);
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
    ASSERT_EQ(states[0].at("model_output_pond"), states[1].at("model_output_pond"));
    ASSERT_EQ(states[0].at("material_info"), states[1].at("material_info"));

    // Half of the kills are spread over the run. The other half close in on
    // the moment the run commits (the last rows, the commit, the removal of
    // the journal), known from the kills so far: after the latest kill that
    // found the earlier run, before the earliest that found the new one.
    constexpr int kKills = 20;
    const auto run = std::chrono::duration_cast<std::chrono::microseconds>(runTime);
    const auto earliest = std::chrono::microseconds(5000);
    const auto spreadEnd = run * 8 / 10;
    auto lastOld = spreadEnd, firstNew = run * 3 / 2;
    auto killMoment = [&](int i) {
        if (i < kKills / 2) return earliest + (spreadEnd - earliest) * i / (kKills / 2);
        if (firstNew - lastOld < run / 50) {
            // Runs differ in length more than that; look round again.
            lastOld -= run / 10;
            firstNew += run / 10;
        }
        return (lastOld + firstNew) / 2;
    };
    auto latest = earliest;
    int state = 0;
    int keptOld = 0, tookNew = 0, midTransaction = 0, finishedFirst = 0;
    for (int i = 0; i < kKills; ++i) {
        const auto delay = killMoment(i);
        latest = std::max(latest, delay);
        const int next = 1 - state;
        const pid_t pid = startCli({"--store", store, "run", versions[next], "--replace"}, log);
        ASSERT_GT(pid, 0);
        sleepFor(delay);
        ::kill(pid, SIGKILL);
        const int code = waitForExit(pid);
        if (code == 0) ++finishedFirst;
        else ASSERT_EQ(code, -SIGKILL) << "kill " << i << ": the run ended by itself: " << fileBytes(log);
        std::error_code ec;
        if (std::filesystem::file_size(store + "-journal", ec) > 0 && !ec) ++midTransaction;

        const StoreInspection after = inspectStore(store);
        ASSERT_TRUE(after.opened) << "kill " << i << " after " << delay.count() << " us: " << after.shown;
        ASSERT_EQ(after.integrity, "ok") << "kill " << i << " after " << delay.count() << " us";
        ASSERT_EQ(after.readError, "") << "kill " << i;
        // Opening rolled back whatever the killed run had begun. A journal
        // whose header was never written (the store file not yet touched) may stay.
        std::ifstream journal(store + "-journal", std::ios::binary);
        EXPECT_TRUE(!journal || journal.get() <= 0) << "kill " << i << ": a hot journal is left";
        if (after.digest == states[state]) {
            ++keptOld;
            if (i >= kKills / 2) lastOld = delay;
            EXPECT_NE(code, 0) << "kill " << i << ": a finished run must be in the store";
        } else if (after.digest == states[next]) {
            ++tookNew;
            if (i >= kKills / 2) firstNew = delay;
            state = next;
        } else {
            FAIL() << "kill " << i << " after " << delay.count() << " us left a store that is neither the old "
                   << "nor the new one: " << differences(states[state], after.digest);
        }
    }
    std::cout << "[ figures  ] " << kKills << " kills over 5 ms .. " << latest.count() / 1000 << " ms (a run takes "
              << std::chrono::duration_cast<std::chrono::milliseconds>(runTime).count() << " ms): " << keptOld
              << " kept the earlier run (" << midTransaction << " of them killed inside the transaction), " << tookNew
              << " held the new run (" << finishedFirst << " had finished before the kill)\n";
    // The kills must have hit the work itself, not only its start or its end.
    EXPECT_GE(midTransaction, 3);
    EXPECT_GE(keptOld, 1);
}
