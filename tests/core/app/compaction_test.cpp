#include <gtest/gtest.h>

#include <filesystem>

#include "core/app/store_compaction.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/store_space.hpp"
#include "core/common/messages.hpp"
#include "core/common/platform.hpp"
#include "core/common/utf8_path.hpp"
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
void fillOutput(StoreConnection& c, const std::string& name, int rows) {
    StoreTransaction t(c);
    ASSERT_TRUE(t.begin());
    StoreStatement insert(c, sql::kInsertStreamOutput);
    for (int i = 0; i < rows; ++i) {
        insert.bindText(1, name);
        insert.bindText(2, "06");
        insert.bindText(3, "01");
        insert.bindText(4, "00");
        insert.bindText(5, std::to_string(i % 60));
        for (int v = 0; v < 14; ++v) insert.bindDouble(6 + v, i * 0.5 + v);
        ASSERT_TRUE(insert.run());
    }
    ASSERT_TRUE(t.commit());
}

std::uint64_t inodeOf(const std::string& path) { return platform::fileIdentity(pathFromUtf8(path)); }
}  // namespace

TEST(StoreCompaction, ReplacesTheStoreWithACompactCopyAndReopens) {
    TestApplication app;
    ScriptedPrompter prompter;
    StoreConnection c;
    ASSERT_TRUE(c.open(app.connectionText(), prompter));
    fillOutput(c, "gone", 20000);
    fillOutput(c, "kept", 100);
    StoreAccessor a(c, prompter);
    ASSERT_TRUE(a.execute(sql::kDeleteStreamOutput, {std::string("gone")}));
    const auto sizeBefore = std::filesystem::file_size(app.storePath());
    const auto inodeBefore = inodeOf(app.storePath());

    auto outcome = compactStore(c, app.connectionText(), prompter);
    EXPECT_TRUE(outcome.compacted);
    EXPECT_TRUE(outcome.reopened);
    EXPECT_TRUE(c.isOpen());
    EXPECT_LT(std::filesystem::file_size(app.storePath()), sizeBefore / 4);
    EXPECT_NE(inodeOf(app.storePath()), inodeBefore);
    EXPECT_FALSE(std::filesystem::exists(app.folder.file("Database/test.mdb")));
    StoreAccessor b(c, prompter);
    EXPECT_EQ(b.query(sql::kSearchStreamOutput, {std::string("0101"), std::string("1231"), std::string("kept")}).rows(), 100);
    ASSERT_EQ(b.query("SELECT sum(Cwater) FROM model_output_stream WHERE scenario_name = 'kept'").rows(), 1);
    EXPECT_EQ(b.cell(0, 0), "3775");  // sum of i * 0.5 + 13 over the 100 rows
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(StoreCompaction, StaleTemporaryFileIsReplaced) {
    TestApplication app;
    ScriptedPrompter prompter;
    StoreConnection c;
    ASSERT_TRUE(c.open(app.connectionText(), prompter));
    app.folder.write("Database/test.mdb", "left by an interrupted compaction");
    EXPECT_TRUE(compactStore(c, app.connectionText(), prompter).compacted);
    EXPECT_FALSE(std::filesystem::exists(app.folder.file("Database/test.mdb")));
}

TEST(StoreCompaction, FailureLeavesTheOriginalReadableAndOpen) {
    TestApplication app;
    ScriptedPrompter prompter;
    StoreConnection c;
    ASSERT_TRUE(c.open(app.connectionText(), prompter));
    fillOutput(c, "kept", 50);
    // A folder that cannot be removed stands where the copy must go.
    app.folder.write("Database/test.mdb/blocker", "x");
    const auto inodeBefore = inodeOf(app.storePath());
    auto outcome = compactStore(c, app.connectionText(), prompter);
    EXPECT_FALSE(outcome.compacted);
    EXPECT_FALSE(outcome.error.empty());
    EXPECT_TRUE(c.isOpen());
    EXPECT_EQ(inodeOf(app.storePath()), inodeBefore);
    StoreAccessor a(c, prompter);
    EXPECT_EQ(a.query(sql::kSearchStreamOutput, {std::string("0101"), std::string("1231"), std::string("kept")}).rows(), 50);
    EXPECT_TRUE(prompter.shown.empty());  // a failed compaction is not shown
}

TEST(StoreCompaction, StoreGoneMeansReopenFailsWithTheConnectionMessage) {
    TestApplication app;
    ScriptedPrompter prompter;
    StoreConnection c;
    ASSERT_TRUE(c.open(app.connectionText(), prompter));
    c.release();
    std::filesystem::remove(app.storePath());
    auto outcome = compactStore(c, app.connectionText(), prompter);
    EXPECT_FALSE(outcome.compacted);
    EXPECT_FALSE(outcome.reopened);
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.shown.back().text, msg::kConnectionFailed);
    EXPECT_FALSE(std::filesystem::exists(app.storePath()));  // nothing was created
}

// Compaction costs what it reclaims. A store made with incremental
// auto-vacuum gives a delete's pages back at once and is never rewritten; a
// store made before that is rewritten when enough lies free, once, and is
// then like a new one. With nothing to reclaim nothing happens.
TEST(StoreCompaction, RewritesOnlyWhatIsWorthItAndSwitchesAnOldStoreOnce) {
    struct Case {
        const char* what;
        bool oldStore;
        bool rewrittenAfterFirstDelete;
    };
    const Case cases[] = {{"new store", false, false}, {"store made before", true, true}};
    for (const Case& k : cases) {
        TestApplication app;
        ScriptedPrompter prompter;
        StoreConnection c;
        ASSERT_TRUE(c.open(app.connectionText(), prompter));
        if (k.oldStore) {
            ASSERT_TRUE(c.database().exec("PRAGMA auto_vacuum = NONE"));
            ASSERT_TRUE(c.database().exec("VACUUM"));
        }
        EXPECT_EQ(readStoreSpace(c).incremental, !k.oldStore) << k.what;
        for (const char* name : {"first", "second", "kept"}) fillOutput(c, name, 20000);

        // Nothing deleted: Quit leaves the file alone.
        auto inode = inodeOf(app.storePath());
        EXPECT_FALSE(compactionDue(c)) << k.what;
        CompactionOutcome quit = compactIfWorthwhile(c, app.connectionText(), prompter);
        EXPECT_FALSE(quit.compacted) << k.what;
        EXPECT_TRUE(quit.error.empty() && c.isOpen()) << k.what;
        EXPECT_EQ(inodeOf(app.storePath()), inode) << k.what;

        for (const char* name : {"first", "second"}) {
            const auto size = std::filesystem::file_size(app.storePath());
            inode = inodeOf(app.storePath());
            ASSERT_TRUE(deleteScenario(c, prompter, ModelKind::Stream, name)) << k.what;
            const bool first = std::string(name) == "first";
            const bool rewrite = first && k.rewrittenAfterFirstDelete;
            EXPECT_EQ(compactionDue(c), rewrite) << k.what << ", " << name;
            CompactionOutcome after = compactIfWorthwhile(c, app.connectionText(), prompter);
            EXPECT_EQ(after.compacted, rewrite) << k.what << ", " << name;
            EXPECT_EQ(inodeOf(app.storePath()) != inode, rewrite) << k.what << ", " << name;
            EXPECT_LT(std::filesystem::file_size(app.storePath()), size * 3 / 4) << k.what << ", " << name;
            const StoreSpace space = readStoreSpace(c);
            EXPECT_TRUE(space.incremental) << k.what << ", " << name;
            EXPECT_EQ(space.freePages, 0) << k.what << ", " << name;
        }
        StoreAccessor a(c, prompter);
        EXPECT_EQ(a.query(sql::kSearchStreamOutput, {std::string("0101"), std::string("1231"), std::string("kept")}).rows(),
                  20000)
            << k.what;
        EXPECT_TRUE(prompter.shown.empty()) << prompter.shown.front().text;
    }
}
