#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "core/app/base_folder_messages.hpp"
#include "core/app/base_folder_setup.hpp"
#include "core/app/connection_settings.hpp"
#include "core/common/text_format.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TempFolder;
using verdanel::testing::TestApplication;
namespace fs = std::filesystem;

namespace {

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every file below a folder (links followed) with its bytes, by relative path.
std::map<std::string, std::string> contentsOf(const fs::path& folder) {
    std::map<std::string, std::string> all;
    if (!fs::exists(folder)) return all;
    for (const auto& e : fs::recursive_directory_iterator(folder, fs::directory_options::follow_directory_symlink)) {
        if (e.is_regular_file()) all[fs::relative(e.path(), folder).string()] = bytesOf(e.path());
    }
    return all;
}

// An application folder as the build stages it: bin/, the INI, a store with
// the sample chemicals, and weather files.
struct SampleFolder {
    TestApplication app{true};
    SampleFolder() {
        app.folder.write("input/wind.txt", "1 2 3\n");
        app.folder.write("input/Humi.txt", "70 71 72\n");
    }
    std::string path() const { return app.base(); }
    // What a new base folder receives: everything but bin/.
    std::map<std::string, std::string> samples() const {
        auto all = contentsOf(app.folder.path());
        std::erase_if(all, [](const auto& entry) { return entry.first.rfind("bin/", 0) == 0; });
        return all;
    }
};

// Caps the size of the files this process writes, as a full disk would.
class FileSizeCap {
public:
    explicit FileSizeCap(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        savedHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit cap{bytes, saved_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &cap);
    }
    ~FileSizeCap() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, savedHandler_);
    }
    FileSizeCap(const FileSizeCap&) = delete;
    FileSizeCap& operator=(const FileSizeCap&) = delete;

private:
    rlimit saved_{};
    sighandler_t savedHandler_ = SIG_DFL;
};

// Names that start with "." are the scratch copies; none may be left behind.
std::vector<std::string> scratchLeft(const fs::path& folder) {
    std::vector<std::string> left;
    if (!fs::exists(folder)) return left;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.path().filename().string().front() == '.') left.push_back(e.path().string());
    return left;
}

}  // namespace

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
    EXPECT_EQ(named.folder, place.str() + "/mine");
}

TEST(BaseFolderSetup, FirstStartCopiesTheSamplesAndTheNewStoreIsTheOneOpened) {
    SampleFolder sample;
    TempFolder home;
    const std::string base = home.str() + "/.local/share/verdanel";

    BaseFolderOutcome outcome = startBaseFolder(base, nullptr, sample.path());
    ASSERT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(outcome.folder, base);
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
    EXPECT_EQ(missing.error, fillMessage(msg::kSampleFileMissingFormat, damaged.str() + "/Database/Verdanel.mdb"));
    EXPECT_FALSE(fs::exists(fresh + "/Database/Verdanel.mdb"));
    EXPECT_TRUE(scratchLeft(fresh).empty());

    // A full disk: the store does not fit. No store (not half of one) is left,
    // so the next start, with room again, copies it whole.
    const std::string full = place.str() + "/full";
    const auto storeSize = fs::file_size(sample.app.storePath());
    ASSERT_GT(storeSize, 16384u);
    {
        FileSizeCap cap(16384);
        BaseFolderOutcome noRoom = prepareBaseFolder(full, sample.path());
        EXPECT_FALSE(noRoom.ok);
        EXPECT_EQ(noRoom.error, fillMessage(msg::kBaseFolderDiskFullFormat, full));
    }
    EXPECT_FALSE(fs::exists(full + "/Database/Verdanel.mdb"));
    EXPECT_TRUE(scratchLeft(full).empty());
    BaseFolderOutcome again = prepareBaseFolder(full, sample.path());
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_EQ(contentsOf(full), sample.samples());
}
