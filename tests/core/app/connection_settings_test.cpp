#include <gtest/gtest.h>

#include "core/app/connection_settings.hpp"
#include "core/common/base_folder.hpp"
#include "core/common/utf8_path.hpp"
#include "core/common/messages.hpp"
#include "core/store/store_connection.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TempFolder;
using verdanel::testing::TestApplication;

TEST(BaseFolder, ParentOfTheExecutablesFolder) {
    EXPECT_EQ(baseFolderOf("/Tool/Bin/run"), "/Tool");
    EXPECT_EQ(baseFolderOf("/opt/verdanel/bin/verdanel"), "/opt/verdanel");
    EXPECT_EQ(baseFolderOf("/a b/한글/bin/verdanel"), "/a b/한글");
    // The test executable itself lives in a folder; its base folder is that folder's parent.
    const std::string exe = executablePath();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(pathFromUtf8(applicationBaseFolder()), pathFromUtf8(exe).parent_path().parent_path());
}

TEST(ConnectionText, FirstNonCommentLineKeepsItsLineBreak) {
    TempFolder base;
    base.write("INI/CONNECTION.INI", ";c1\n;c2\nProvider=SQLite;Data Source=\nignored=1\n");
    EXPECT_EQ(buildConnectionText(base.str()),
              "Provider=SQLite;Data Source=\n" + base.str() + "/Database/Verdanel.mdb");
}

TEST(ConnectionText, OnlyCommentsOrEmptyGiveTheStorePathAlone) {
    TempFolder base;
    base.write("INI/CONNECTION.INI", ";one\n;two\n");
    EXPECT_EQ(buildConnectionText(base.str()), base.str() + "/Database/Verdanel.mdb");
    base.write("INI/CONNECTION.INI", "");
    EXPECT_EQ(buildConnectionText(base.str()), base.str() + "/Database/Verdanel.mdb");
}

TEST(ConnectionText, MissingFileGivesEmptyText) {
    TempFolder base;
    EXPECT_EQ(buildConnectionText(base.str()), "");
}

TEST(ConnectionText, DataSourceRunsToTheEndAndWhiteSpaceIsTrimmed) {
    EXPECT_EQ(dataSourceOf("Provider=SQLite;Data Source=\n/x/Database/Verdanel.mdb"), "/x/Database/Verdanel.mdb");
    EXPECT_EQ(dataSourceOf("provider=SQLite; data source = /a;b=c/V.mdb "), "/a;b=c/V.mdb");
    EXPECT_EQ(dataSourceOf("/only/a/path.mdb"), "/only/a/path.mdb");
    EXPECT_EQ(dataSourceOf("Provider=SQLite;"), "");
    EXPECT_EQ(dataSourceOf(""), "");
}

TEST(ConnectionText, LongPrefixIsNotCut) {
    TempFolder base;
    const std::string prefix = "Provider=SQLite;Comment=" + std::string(10000, 'x') + ";Data Source=";
    base.write("INI/CONNECTION.INI", prefix + "\n");
    auto text = buildConnectionText(base.str());
    EXPECT_EQ(dataSourceOf(text), base.str() + "/Database/Verdanel.mdb");
}

TEST(StoreOpen, OpensTheStoreBelowTheBaseFolder) {
    TestApplication app;
    ScriptedPrompter prompter;
    StoreConnection c;
    EXPECT_TRUE(c.open(app.connectionText(), prompter));
    EXPECT_EQ(c.path(), app.storePath());
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(StoreOpen, FailuresShowTheStoresWordsAndCreateNothing) {
    TempFolder base;
    ScriptedPrompter prompter;
    StoreConnection c;
    // Missing file: never created.
    EXPECT_FALSE(c.open("Provider=SQLite;Data Source=" + base.file("Database/Verdanel.mdb"), prompter));
    EXPECT_FALSE(std::filesystem::exists(base.file("Database/Verdanel.mdb")));
    // Not a store.
    base.write("junk.mdb", std::string(4096, 'j'));
    EXPECT_FALSE(c.open("Data Source=" + base.file("junk.mdb"), prompter));
    // Empty connection text (CONNECTION.INI missing).
    EXPECT_FALSE(c.open("", prompter));
    // A folder in place of the file.
    EXPECT_FALSE(c.open("Data Source=" + base.str(), prompter));
    ASSERT_EQ(prompter.shown.size(), 4u);
    EXPECT_NE(prompter.shown[0].text.find(base.file("Database/Verdanel.mdb")), std::string::npos);
    EXPECT_NE(prompter.shown[1].text.find("not a database"), std::string::npos);
    EXPECT_EQ(prompter.shown[2].text, msg::kEmptyConnectionText);
    EXPECT_TRUE(c.isPresent());
    EXPECT_FALSE(c.isOpen());
}
