// CONNECTION.INI as it may be found on a user's machine. Either the store
// below the base folder opens, or opening fails with a message and no file
// appears anywhere.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>

#include "core/app/connection_settings.hpp"
#include "core/common/messages.hpp"
#include "core/store/store_connection.hpp"
#include "support/scripted_prompter.hpp"
#include "support/store_digest.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using namespace verdanel::testing;

namespace {

std::set<std::string> filesBelow(const std::filesystem::path& folder) {
    std::set<std::string> all;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) all.insert(e.path().string());
    return all;
}

}  // namespace

TEST(OddConnectionIni, TheStoreOpensOrOpeningFailsWithAMessageAndCreatesNothing) {
    const std::string longKey = "Comment=" + std::string(10000 - 8, 'x');
    struct Case {
        const char* what;
        std::optional<std::string> ini;  // nothing: no CONNECTION.INI at all
        bool opens;
        std::string message;             // the whole message, or "" for "names the path"
    };
    const Case cases[] = {
        {"missing", std::nullopt, false, msg::kEmptyConnectionText},
        {"empty", "", true, ""},
        {"comments only", "; one\n;two\n;\n", true, ""},
        {"Windows line ends", "; written on Windows\r\nProvider=SQLite;Data Source=\r\n", true, ""},
        {"a 10,000-byte prefix", "Provider=SQLite;" + longKey + ";Data Source=\n", true, ""},
        {"a 10,000-byte comment first", ";" + std::string(10000, 'c') + "\nProvider=SQLite;Data Source=\n", true, ""},
        {"no line break after the prefix", "Provider=SQLite;Data Source=", true, ""},
        {"blanks round keys and values", "  Provider = SQLite ;  data source =   \n", true, ""},
        {"a blank first line", "\nProvider=SQLite;Data Source=\n", true, ""},
        {"no data source key", "Provider=SQLite;\n", false, msg::kNoDataSource},
        {"binary bytes", std::string("\x01\x02\xff=\xfe;\x00\x7f\n", 9), false, msg::kNoDataSource},
        {"a data source elsewhere", "Provider=SQLite;Data Source=/no/such/folder/\n", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestApplication app;
        std::filesystem::remove(connectionIniPath(app.base()));
        if (c.ini) app.folder.write("INI/CONNECTION.INI", *c.ini);
        const std::string storeBytes = fileBytes(app.storePath());
        const auto before = filesBelow(app.folder.path());

        ScriptedPrompter prompter;
        StoreConnection connection;
        EXPECT_EQ(connection.open(buildConnectionText(app.base()), prompter), c.opens) << prompter.texts().size();
        if (c.opens) {
            EXPECT_EQ(connection.path(), app.storePath());
            EXPECT_TRUE(prompter.shown.empty());
        } else {
            ASSERT_EQ(prompter.shown.size(), 1u);
            if (c.message.empty()) EXPECT_NE(prompter.shown[0].text.find(connection.path()), std::string::npos);
            else EXPECT_EQ(prompter.shown[0].text, c.message);
        }
        connection.release();
        EXPECT_EQ(filesBelow(app.folder.path()), before);
        EXPECT_EQ(fileBytes(app.storePath()), storeBytes);
    }
}
