#include <gtest/gtest.h>

#include <filesystem>

#include "base_folder_fixture.hpp"
#include "core/app/base_folder_messages.hpp"
#include "core/app/base_folder_setup.hpp"
#include "core/app/connection_settings.hpp"
#include "core/common/text_format.hpp"
#include "core/common/utf8_path.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TempFolder;
using verdanel::testing::TestApplication;
using namespace verdanel::testing;
namespace fs = std::filesystem;


TEST(BaseFolderChoice, OptionThenVariableThenTheApplicationFolder) {
    struct Case {
        std::string option;
        const char* variable;
        std::string named;
    } cases[] = {
        {"", nullptr, ""},
        {"", "", ""},
        {"", "/from/variable", "/from/variable"},
        {"/from/option", "/from/variable", "/from/option"},
        {"/from/option", nullptr, "/from/option"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(namedBaseFolder(c.option, c.variable), c.named) << c.option << " | " << (c.variable ? c.variable : "unset");
    }

    // None named, or the application folder itself by another spelling: the
    // application folder as it is, and nothing copied into it.
    SampleFolder sample;
    const auto before = contentsOf(sample.path());
    for (const std::string& option : {std::string(), sample.path() + "/", sample.path() + "/bin/.."}) {
        BaseFolderOutcome start = startBaseFolder(option, nullptr, sample.path());
        EXPECT_TRUE(start.ok) << start.error;
        EXPECT_EQ(start.folder, sample.path()) << option;
    }
    EXPECT_EQ(contentsOf(sample.path()), before);

    // A named folder is absolute and has no trailing separator.
    TempFolder place;
    BaseFolderOutcome named = startBaseFolder(place.str() + "/mine/", nullptr, sample.path());
    ASSERT_TRUE(named.ok) << named.error;
    EXPECT_EQ(named.folder, utf8FromPath(place.path() / "mine"));
}

TEST(BaseFolderSetup, FirstStartCopiesTheSamplesAndTheNewStoreIsTheOneOpened) {
    SampleFolder sample;
    TempFolder home;
    const std::string base = home.str() + "/.local/share/verdanel";

    BaseFolderOutcome outcome = startBaseFolder(base, nullptr, sample.path());
    ASSERT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(pathFromUtf8(outcome.folder), pathFromUtf8(base));
    EXPECT_EQ(contentsOf(base), sample.samples());
    EXPECT_TRUE(scratchLeft(base).empty());

    // The connection text of the new folder opens the copy, not the sample.
    ScriptedPrompter prompter;
    StoreConnection connection;
    ASSERT_TRUE(connection.open(buildConnectionText(base), prompter));
    StoreAccessor accessor(connection, prompter);
    EXPECT_TRUE(accessor.execute("DELETE FROM material_info"));
    connection.release();
    EXPECT_EQ(bytesOf(sample.app.storePath()), sample.samples().at("Database/Verdanel.mdb"));
    EXPECT_NE(bytesOf(base + "/Database/Verdanel.mdb"), bytesOf(sample.app.storePath()));
}

TEST(BaseFolderSetup, WhatTheUserHasIsNeverReplacedAndOnlyWhatIsMissingIsCopied) {
    SampleFolder sample;
    TempFolder user;
    const std::string base = user.str();
    // The user's own connection file, store and input folder (one file only:
    // they removed the samples they did not want).
    user.write("INI/CONNECTION.INI", "; mine\nProvider=SQLite;Data Source=\n; my notes\n");
    user.write("Database/Verdanel.mdb", "my runs");
    user.write("input/my_wind.txt", "9 9 9\n");
    const auto mine = contentsOf(base);

    for (int start = 0; start < 2; ++start) {
        BaseFolderOutcome outcome = prepareBaseFolder(base, sample.path());
        ASSERT_TRUE(outcome.ok) << outcome.error;
        EXPECT_EQ(contentsOf(base), mine) << "start " << start;
    }

    // Each piece that is gone comes back from the samples; the rest stays.
    fs::remove(base + "/Database/Verdanel.mdb");
    fs::remove_all(base + "/input");
    ASSERT_TRUE(prepareBaseFolder(base, sample.path()).ok);
    auto expected = sample.samples();
    expected["INI/CONNECTION.INI"] = mine.at("INI/CONNECTION.INI");
    EXPECT_EQ(contentsOf(base), expected);
    EXPECT_TRUE(scratchLeft(base).empty());
}

TEST(BaseFolderSetup, FailuresSayWhatInKoreanAndLeaveNoHalfCopy) {
    SampleFolder sample;
    TempFolder place;

    // A folder that cannot be made: a file stands where its parent should be.
    place.write("taken", "a file");
    const std::string blocked = place.str() + "/taken/verdanel";
    BaseFolderOutcome notMade = prepareBaseFolder(blocked, sample.path());
    EXPECT_FALSE(notMade.ok);
    EXPECT_EQ(notMade.error, fillMessage(msg::kBaseFolderNotMadeFormat, blocked));

    // A damaged installation: the sample store is missing.
    TempFolder damaged;
    damaged.write("INI/CONNECTION.INI", "Provider=SQLite;Data Source=\n");
    damaged.write("input/wind.txt", "1\n");
    const std::string fresh = place.str() + "/fresh";
    BaseFolderOutcome missing = prepareBaseFolder(fresh, damaged.str());
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, fillMessage(msg::kSampleFileMissingFormat, utf8FromPath(damaged.path() / "Database/Verdanel.mdb")));
    EXPECT_FALSE(fs::exists(fresh + "/Database/Verdanel.mdb"));
    EXPECT_TRUE(scratchLeft(fresh).empty());
}
