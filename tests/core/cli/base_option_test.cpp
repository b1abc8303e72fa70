#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli_support.hpp"
#include "core/app/base_folder_messages.hpp"
#include "core/common/text_format.hpp"

using namespace verdanel;
using namespace verdanel::testing;
namespace fs = std::filesystem;

namespace {

// Sets VERDANEL_BASE for the programs this test starts, and unsets it after.
class BaseVariable {
public:
    explicit BaseVariable(const std::string& value) { ::setenv("VERDANEL_BASE", value.c_str(), 1); }
    ~BaseVariable() { ::unsetenv("VERDANEL_BASE"); }
    BaseVariable(const BaseVariable&) = delete;
    BaseVariable& operator=(const BaseVariable&) = delete;
};

}  // namespace

// The base folder of verdanel-cli: --base wins over VERDANEL_BASE; the chosen
// folder is made from the staged application folder and its store and
// weather are the ones a run uses.
TEST(CliBaseFolder, OptionOverVariableAndTheRunUsesTheChosenFolder) {
    TempFolder place;
    const std::string fromOption = place.str() + "/option";
    const std::string fromVariable = place.str() + "/variable";
    BaseVariable variable(fromVariable);

    const std::string json = place.write("run.json", "{ \"name\": \"based\", \"model\": \"pond\", \"chemical\": "
                                                     "\"Chlorpyrifos\", \"spray_dates\": [\"2010-06-01 10:00\"] }");
    CliResult run = cli("--base " + quoted(fromOption) + " run " + quoted(json), place.file("run.err"));
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_FALSE(fs::exists(fromVariable));
    for (const char* f : {"INI/CONNECTION.INI", "Database/Verdanel.mdb", "input/wind.txt"})
        EXPECT_TRUE(fs::is_regular_file(fromOption + "/" + f)) << f;

    // The run went into the chosen folder's store, not the staged one.
    CliResult listed = cli("--base " + quoted(fromOption) + " scenarios --model pond");
    EXPECT_NE(listed.out.find("pond\tbased\tChlorpyrifos"), std::string::npos) << listed.out;
    CliResult staged = cli("--store " + quoted(std::string(VERDANEL_APP_DIR) + "/Database/Verdanel.mdb") +
                           " scenarios --model pond");
    EXPECT_EQ(staged.out.find("\tbased\t"), std::string::npos) << staged.out;

    // Without the option the variable names the folder.
    EXPECT_EQ(cli("chemicals").code, 0);
    EXPECT_TRUE(fs::is_regular_file(fromVariable + "/Database/Verdanel.mdb"));

    // An empty option is a usage error; a folder that cannot be made is an error with its message.
    EXPECT_EQ(cli("--base '' scenarios").code, 2);
    place.write("file", "x");
    CliResult blocked = cli("--base " + quoted(place.str() + "/file/base") + " scenarios", place.file("blocked.err"));
    EXPECT_EQ(blocked.code, 1);
    EXPECT_NE(blocked.err.find(fillMessage(msg::kBaseFolderNotMadeFormat, place.str() + "/file/base")),
              std::string::npos)
        << blocked.err;
}
