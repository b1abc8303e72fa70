// Compaction killed at any moment: the store file is always a whole store
// with every row, and the only thing left behind is the unfinished copy,
// which the next compaction clears away. Half of the compactions are the
// one-time switch of a store made without incremental auto-vacuum; a delete
// that gives its pages back is killed at any moment too.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <future>
#include <iostream>

#include "core/app/store_compaction.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/sqlite_handle.hpp"
#include "core/store/store_space.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_statement.hpp"
#include "core/store/store_transaction.hpp"
#include "fault_support.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using namespace verdanel::testing;
using Clock = std::chrono::steady_clock;

namespace {

void fillOutput(StoreConnection& c, const char* insertSql, int values, const std::string& name, int rows) {
    StoreTransaction t(c);
    ASSERT_TRUE(t.begin());
    StoreStatement insert(c, insertSql);
    char two[3];
    for (int i = 0; i < rows; ++i) {
        insert.bindText(1, name);
        std::snprintf(two, sizeof two, "%02d", 1 + (i / 44640) % 12);
        insert.bindText(2, two);
        std::snprintf(two, sizeof two, "%02d", 1 + (i / 1440) % 31);
        insert.bindText(3, two);
        std::snprintf(two, sizeof two, "%02d", (i / 60) % 24);
        insert.bindText(4, two);
        std::snprintf(two, sizeof two, "%02d", i % 60);
        insert.bindText(5, two);
        for (int v = 0; v < values; ++v) insert.bindDouble(6 + v, i * 1.0e-3 + v / 7.0);
        ASSERT_TRUE(insert.run());
    }
    ASSERT_TRUE(t.commit());
}

}  // namespace

TEST(KilledCompaction, LeavesTheWholeStoreAndAtMostAStaleCopyThatTheNextCompactionRemoves) {
    // Two application folders with the same store take turns: while one is
    // compacted and killed, the other is read back after its own kill.
    TestApplication apps[2] = {TestApplication(true), TestApplication(true)};
    {
        HookPrompter prompter;
        StoreConnection c;
        ASSERT_TRUE(c.open(apps[0].connectionText(), prompter));
        fillOutput(c, sql::kInsertStreamOutput, 14, "kept stream", 64000);
        fillOutput(c, sql::kInsertDitchOutput, 8, "kept ditch", 64000);
        fillOutput(c, sql::kInsertPondOutput, 8, "deleted", 48000);
        StoreAccessor a(c, prompter);
        ASSERT_TRUE(a.execute(sql::kDeletePondOutput, {std::string("deleted")}));
    }
    // A store as made before stores had incremental auto-vacuum: its first
    // compaction switches it. Half of the kills strike such a store.
    {
        SqliteDatabase old;
        std::string error;
        ASSERT_TRUE(old.open(apps[0].storePath(), SQLITE_OPEN_READWRITE, error)) << error;
        ASSERT_TRUE(old.exec("PRAGMA auto_vacuum = NONE", &error)) << error;
        ASSERT_TRUE(old.exec("VACUUM", &error)) << error;
    }
    const std::string pristineOld = apps[0].storePath() + ".old";
    std::filesystem::copy_file(apps[0].storePath(), pristineOld);
    std::filesystem::copy_file(apps[0].storePath(), apps[1].storePath(),
                               std::filesystem::copy_options::overwrite_existing);
    const StoreInspection before = inspectStore(apps[0].storePath());
    ASSERT_TRUE(before.opened);
    ASSERT_EQ(before.digest.at("model_output_stream").at("kept stream").rows, 64000);
    ASSERT_TRUE(inspectStore(apps[1].storePath()).digest == before.digest);

    // One compaction here, timed, so the kills can be spread over a few of them.
    Clock::duration compactionTime;
    {
        HookPrompter prompter;
        StoreConnection c;
        ASSERT_TRUE(c.open(apps[0].connectionText(), prompter));
        const auto started = Clock::now();
        CompactionOutcome outcome = compactStore(c, apps[0].connectionText(), prompter);
        compactionTime = Clock::now() - started;
        ASSERT_TRUE(outcome.compacted) << outcome.error;
    }
    ASSERT_TRUE(inspectStore(apps[0].storePath()).digest == before.digest);

    // Half of the kills are spread over two and a half compactions. The other
    // half wait until a copy is written (its journal gone), then strike a
    // third of a millisecond apart while the copy is flushed and put in the
    // store's place.
    constexpr int kKills = 50;
    // The full integrity check after every tenth kill, the quick check after the others.
    constexpr int kFullCheckEvery = 10;
    const auto earliest = std::chrono::microseconds(5000);
    const auto latest = std::chrono::duration_cast<std::chrono::microseconds>(compactionTime * 5 / 2);
    int staleCopies = 0, atTheSwitch = 0;
    struct Kill {
        int index = -1;
        int app = 0;
        std::chrono::microseconds delay{};
        std::future<StoreInspection> inspection;
    };
    auto judge = [&](Kill& k) {
        const StoreInspection after = k.inspection.get();
        const std::string at = "kill " + std::to_string(k.index) + " after " + std::to_string(k.delay.count()) + " us";
        ASSERT_TRUE(after.opened) << at << ": " << after.shown;
        ASSERT_EQ(after.integrity, "ok") << at;
        ASSERT_TRUE(after.digest == before.digest) << at << ": " << differences(before.digest, after.digest);
    };
    const auto killsStarted = Clock::now();
    Kill previous;
    for (int i = 0; i < kKills; ++i) {
        Kill k;
        k.index = i;
        k.app = i % 2;
        const std::string text = apps[k.app].connectionText();
        const std::filesystem::path database = apps[k.app].folder.path() / "Database";
        const std::string copy = (database / "test.mdb").string();
        const std::string copyJournal = copy + "-journal";
        const bool spread = i % 2 == 0;
        // This app's store was judged after its last kill; it may be replaced.
        const bool switching = i % 4 < 2;
        if (switching)
            std::filesystem::copy_file(pristineOld, apps[k.app].storePath(),
                                       std::filesystem::copy_options::overwrite_existing);
        k.delay = spread ? earliest + (latest - earliest) * i / (kKills - 2) : std::chrono::microseconds(360) * (i / 2);
        // The child compacts again and again until it is killed.
        const pid_t pid = forkChild([&] {
            HookPrompter prompter;
            StoreConnection c;
            if (!c.open(text, prompter)) return 2;
            for (;;) {
                CompactionOutcome outcome = compactStore(c, text, prompter);
                if (!outcome.compacted || !outcome.reopened) return 3;
            }
        });
        ASSERT_GT(pid, 0);
        if (previous.index >= 0) {
            const bool full = previous.index % kFullCheckEvery == kFullCheckEvery - 1;
            previous.inspection = std::async(std::launch::async, inspectStore, apps[previous.app].storePath(), full);
        }
        if (!spread) {
            const auto giveUp = Clock::now() + compactionTime * 20 + std::chrono::seconds(5);
            bool sawJournal = false, written = false;
            while (!written && Clock::now() < giveUp) {
                const bool journal = std::filesystem::exists(copyJournal);
                sawJournal = sawJournal || journal;
                written = sawJournal && !journal && std::filesystem::exists(copy);
                if (!written) sleepFor(std::chrono::microseconds(100));
            }
            if (written) ++atTheSwitch;
        }
        sleepFor(k.delay);
        ::kill(pid, SIGKILL);
        ASSERT_EQ(waitForExit(pid), -SIGKILL) << "kill " << i << ": the compacting child stopped by itself";

        const auto left = folderEntries(database);
        ASSERT_TRUE(left.count("Verdanel.mdb")) << "kill " << i << ": the store file is gone";
        for (const auto& name : left) {
            // SQLite keeps a journal beside the copy while it writes it.
            EXPECT_TRUE(name == "Verdanel.mdb" || name == "test.mdb" || name == "test.mdb-journal" ||
                        name == "Verdanel.mdb.old")
                << "kill " << i << " left " << name;
        }
        if (left.count("test.mdb")) ++staleCopies;
        if (previous.index >= 0) judge(previous);
        if (::testing::Test::HasFatalFailure()) return;
        previous = std::move(k);
    }
    previous.inspection = std::async(std::launch::async, inspectStore, apps[previous.app].storePath(), true);
    judge(previous);
    const auto killTime = Clock::now() - killsStarted;

    // The next compaction clears what the killed ones left.
    for (TestApplication& app : apps) {
        {
            HookPrompter prompter;
            StoreConnection c;
            ASSERT_TRUE(c.open(app.connectionText(), prompter));
            CompactionOutcome outcome = compactStore(c, app.connectionText(), prompter);
            EXPECT_TRUE(outcome.compacted) << outcome.error;
            EXPECT_TRUE(c.isOpen());
            EXPECT_TRUE(prompter.shown.empty()) << prompter.all();
        }
        std::set<std::string> left = folderEntries(app.folder.path() / "Database");
        left.erase("Verdanel.mdb.old");
        EXPECT_EQ(left, std::set<std::string>{"Verdanel.mdb"});
        // Switched for good: a delete now gives its pages back without a rewrite.
        {
            HookPrompter prompter;
            StoreConnection c;
            ASSERT_TRUE(c.open(app.connectionText(), prompter));
            EXPECT_TRUE(readStoreSpace(c).incremental);
        }
        const StoreInspection last = inspectStore(app.storePath());
        EXPECT_EQ(last.integrity, "ok");
        EXPECT_TRUE(last.digest == before.digest) << differences(before.digest, last.digest);
    }
    std::cout << "[ figures  ] " << kKills << " kills, half spread over 5 ms .. " << latest.count() / 1000
              << " ms (a compaction takes "
              << std::chrono::duration_cast<std::chrono::milliseconds>(compactionTime).count() << " ms, the kills "
              << std::chrono::duration_cast<std::chrono::seconds>(killTime).count() << " s), " << atTheSwitch
              << " struck after a copy was written, " << staleCopies
              << " left an unfinished copy; every one kept all "
              << before.digest.at("model_output_stream").at("kept stream").rows +
                     before.digest.at("model_output_ditch").at("kept ditch").rows
              << " rows\n";
    EXPECT_GE(staleCopies, 1);
    EXPECT_GE(atTheSwitch, kKills / 4);
}

// A delete gives its pages back in the same operation. Killed at any moment,
// the store holds every kept row, and the deleted scenario whole or not at all.
TEST(KilledDelete, KeepsEveryOtherRowAndTheDeletedScenarioWholeOrNotAtAll) {
    TestApplication app(true);
    constexpr int kChurnRows = 24000;
    auto refill = [&] {
        HookPrompter prompter;
        StoreConnection c;
        ASSERT_TRUE(c.open(app.connectionText(), prompter));
        fillOutput(c, sql::kInsertStreamOutput, 14, "churn", kChurnRows);
    };
    {
        HookPrompter prompter;
        StoreConnection c;
        ASSERT_TRUE(c.open(app.connectionText(), prompter));
        fillOutput(c, sql::kInsertStreamOutput, 14, "kept", 32000);
    }
    const RowDigest kept = inspectStore(app.storePath()).digest.at("model_output_stream").at("kept");
    refill();
    const RowDigest whole = inspectStore(app.storePath()).digest.at("model_output_stream").at("churn");
    ASSERT_EQ(whole.rows, kChurnRows);

    // One delete, timed, so the kills can be spread over it.
    Clock::duration deleteTime;
    {
        HookPrompter prompter;
        StoreConnection c;
        ASSERT_TRUE(c.open(app.connectionText(), prompter));
        const auto started = Clock::now();
        ASSERT_TRUE(deleteScenario(c, prompter, ModelKind::Stream, "churn"));
        deleteTime = Clock::now() - started;
        EXPECT_EQ(readStoreSpace(c).freePages, 0) << "the delete gives its pages back";
    }
    // Spread from the start of the delete to half as long again as it takes.
    constexpr int kKills = 16;
    int deletedWhole = 0;
    for (int i = 0; i < kKills; ++i) {
        refill();
        if (::testing::Test::HasFatalFailure()) return;
        const auto delay =
            std::chrono::duration_cast<std::chrono::microseconds>(deleteTime * 3 * (i + 1) / (2 * kKills));
        const std::string text = app.connectionText();
        const pid_t pid = forkChild([&] {
            HookPrompter prompter;
            StoreConnection c;
            if (!c.open(text, prompter)) return 2;
            deleteScenario(c, prompter, ModelKind::Stream, "churn");
            for (;;) sleepFor(std::chrono::microseconds(1000));  // waits for its kill
        });
        ASSERT_GT(pid, 0);
        sleepFor(delay);
        ::kill(pid, SIGKILL);
        ASSERT_EQ(waitForExit(pid), -SIGKILL);

        const StoreInspection after = inspectStore(app.storePath(), i % 4 == 3);
        const std::string at = "kill " + std::to_string(i) + " after " + std::to_string(delay.count()) + " us";
        ASSERT_TRUE(after.opened) << at << ": " << after.shown;
        ASSERT_EQ(after.integrity, "ok") << at;
        const auto& rows = after.digest.at("model_output_stream");
        ASSERT_TRUE(rows.at("kept") == kept) << at;
        const auto churn = rows.find("churn");
        if (churn == rows.end()) {
            ++deletedWhole;
        } else {
            ASSERT_TRUE(churn->second == whole) << at << ": the deleted scenario is neither whole nor gone";
            // A kill before the commit: delete it for the next round.
            HookPrompter prompter;
            StoreConnection c;
            ASSERT_TRUE(c.open(app.connectionText(), prompter));
            ASSERT_TRUE(deleteScenario(c, prompter, ModelKind::Stream, "churn"));
        }
    }
    std::cout << "[ figures  ] " << kKills << " kills of a delete ("
              << std::chrono::duration_cast<std::chrono::milliseconds>(deleteTime).count() << " ms with its page return), "
              << deletedWhole << " found it done\n";
    EXPECT_GE(deletedWhole, 1);
    EXPECT_LT(deletedWhole, kKills);
}
