// verdanel-cli init-store started through the shell (std::system, exit status by WEXITSTATUS).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_folder.hpp"

using verdanel::testing::TempFolder;

TEST(StoreSchema, CommandLineInitStoreRefusesToOverwrite) {
    TempFolder dir;
    const std::string cli = VERDANEL_CLI_PATH;
    const std::string store = dir.file("new.mdb");
    EXPECT_EQ(std::system((cli + " init-store '" + store + "' 2>/dev/null").c_str()), 0);
    EXPECT_TRUE(std::filesystem::exists(store));
    int rc = std::system((cli + " init-store '" + store + "' 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(rc), 1);
    rc = std::system((cli + " init-store 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(rc), 2);
}
