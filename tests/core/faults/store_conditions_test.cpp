// The store in a bad way: write-protected, held by another program, damaged,
// missing, or on a full disk. Every operation fails with a message and
// nothing that was stored is lost or altered.
#include <gtest/gtest.h>

#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <random>

#include "core/app/store_compaction.hpp"
#include "core/chemicals/chemical_table.hpp"
#include "core/chemicals/material_manager.hpp"
#include "core/common/messages.hpp"
#include "core/common/text_format.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"
#include "core/weather/weather_reader.hpp"
#include "fault_support.hpp"
#include "support/temp_folder.hpp"
#include "support/file_size_cap.hpp"

using namespace verdanel;
using namespace verdanel::testing;

namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct StoreFixture {
    TestApplication app{true};
    HookPrompter prompter;
    StoreConnection connection;

    bool open() { return connection.open(app.connectionText(), prompter); }

    ScenarioDefinition scenario(ModelKind kind, const std::string& name, int sprayDates = 1) {
        ScenarioDefinition s;
        s.name = name;
        s.kind = kind;
        s.parameters = defaultParameters(kind);
        HookPrompter quiet;
        auto record = loadChemical(connection, quiet, "Chlorpyrifos");
        EXPECT_TRUE(record.has_value()) << "the sample chemical could not be read: " << quiet.all();
        if (record) s.chemical = *record;
        for (int i = 0; i < sprayDates; ++i) s.sprayDates.push_back(addDays(CivilTime{2010, 6, 1, 10, 0, 0}, 30 * i));
        s.weather = defaultWeatherPaths(std::string(VERDANEL_SOURCE_DIR));
        return s;
    }

    RunOutcome run(const ScenarioDefinition& s) {
        SilentProgress progress;
        WeatherSet weather;
        RunOptions options;
        options.replaceWithoutAsking = true;
        options.announceCompletion = false;
        return runScenario(connection, prompter, progress, s, weather, options);
    }

    StoreDigest digest() { return digestStore(connection.handle()); }
    int scenarioRows(const std::string& name, ModelKind kind) {
        StoreAccessor a(connection, prompter);
        return a.query(sql::kScenarioExists, {name, std::string(modelTypeText(kind))}).rows();
    }
};

// Makes a file or folder unchangeable, even for root (which file permissions
// do not stop), and undoes it when it goes.
class WriteProtection {
public:
    explicit WriteProtection(const std::string& path) : path_(path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            int immutable = flags | FS_IMMUTABLE_FL;
            if (::ioctl(fd, FS_IOC_SETFLAGS, &immutable) == 0) {
                original_ = flags;
                immutable_ = true;
            }
        }
        ::close(fd);
    }
    ~WriteProtection() {
        if (!immutable_) return;
        const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return;
        ::ioctl(fd, FS_IOC_SETFLAGS, &original_);
        ::close(fd);
    }
    WriteProtection(const WriteProtection&) = delete;
    WriteProtection& operator=(const WriteProtection&) = delete;
    bool active() const { return immutable_; }

private:
    std::string path_;
    int original_ = 0;
    bool immutable_ = false;
};

// How the check below ran.
enum class Protected { Immutable, ByPermissions, ByPermissionsAsAnotherUser, NotPossible };

// Runs check with target write-protected in the strongest way this machine
// allows: the immutable flag, which binds root too; else permissions set to
// mode, which bind an ordinary user, in a child process that gives up root
// first when this one runs as root (the child's failures are printed as they
// happen and fail the test here).
Protected withWriteProtection(const std::string& target, mode_t mode, const std::function<void(Protected)>& check) {
    {
        WriteProtection protection(target);
        if (protection.active()) {
            check(Protected::Immutable);
            return Protected::Immutable;
        }
    }
    struct stat original {};
    ::stat(target.c_str(), &original);
    ::chmod(target.c_str(), mode);
    Protected how = Protected::ByPermissions;
    if (::geteuid() != 0) {
        check(how);
    } else {
        std::fflush(stdout);
        const pid_t pid = forkChild([&] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) return 77;
            check(Protected::ByPermissionsAsAnotherUser);
            std::fflush(stdout);
            return ::testing::Test::HasFailure() ? 1 : 0;
        });
        const int code = waitForExit(pid);
        how = code == 77 ? Protected::NotPossible : Protected::ByPermissionsAsAnotherUser;
        EXPECT_TRUE(code == 0 || code == 77) << "the check failed in the child process (see above): " << code;
    }
    ::chmod(target.c_str(), original.st_mode & 07777);
    return how;
}

}  // namespace

// --- A write-protected store ------------------------------------------------

TEST(WriteProtectedStore, RunsDeletesAndAddsFailWithTheStoresWordsAndChangeNothing) {
    StoreFixture f;
    ASSERT_TRUE(f.open());
    ASSERT_EQ(f.run(f.scenario(ModelKind::Ditch, "kept")).status, RunStatus::Completed);
    const StoreDigest before = f.digest();
    const ScenarioDefinition fresh = f.scenario(ModelKind::Ditch, "new");
    const ScenarioDefinition longer = f.scenario(ModelKind::Ditch, "kept", 2);
    f.connection.release();
    const std::string bytes = fileBytes(f.app.storePath());

    const Protected how = withWriteProtection(f.app.storePath(), 0444, [&](Protected how) {
        // A protected store still opens, so its results can be looked at.
        ASSERT_TRUE(f.open()) << f.prompter.all();
        f.prompter.shown.clear();
        RunOutcome outcome = f.run(fresh);
        EXPECT_EQ(outcome.status, RunStatus::StoreFailed);
        EXPECT_EQ(outcome.message, "Error:attempt to write a readonly database\n");
        EXPECT_EQ(f.prompter.shown, std::vector<std::string>{outcome.message});
        EXPECT_EQ(f.run(longer).status, RunStatus::StoreFailed);

        f.prompter.shown.clear();
        EXPECT_FALSE(deleteScenario(f.connection, f.prompter, ModelKind::Ditch, "kept"));
        EXPECT_FALSE(addChemical(f.connection, f.prompter, "새 물질").stored);
        ASSERT_EQ(f.prompter.shown.size(), 2u) << f.prompter.all();
        for (const auto& shown : f.prompter.shown) EXPECT_TRUE(contains(shown, "readonly")) << shown;

        // An ordinary user may replace a file it cannot write in a folder it
        // can; otherwise the copy cannot take the store's place.
        if (how != Protected::ByPermissions) {
            CompactionOutcome compaction = compactStore(f.connection, f.app.connectionText(), f.prompter);
            EXPECT_FALSE(compaction.compacted);
            EXPECT_TRUE(compaction.reopened);
            EXPECT_EQ(folderEntries(f.app.folder.path() / "Database"), std::set<std::string>{"Verdanel.mdb"});
        }
        EXPECT_TRUE(f.digest() == before) << differences(before, f.digest());
        f.connection.release();
    });
    if (how == Protected::NotPossible) GTEST_SKIP() << "this machine can neither make a file immutable nor run as another user";
    ASSERT_TRUE(f.open());
    EXPECT_TRUE(f.digest() == before) << differences(before, f.digest());
    if (how != Protected::ByPermissions) {
        EXPECT_EQ(fileBytes(f.app.storePath()), bytes);
    }
}

TEST(WriteProtectedStore, AFolderThatTakesNoNewFileStopsRunsAndCompactionCleanly) {
    StoreFixture f;
    ASSERT_TRUE(f.open());
    ASSERT_EQ(f.run(f.scenario(ModelKind::Ditch, "kept")).status, RunStatus::Completed);
    const StoreDigest before = f.digest();
    const ScenarioDefinition longer = f.scenario(ModelKind::Ditch, "kept", 2);
    f.connection.release();
    const std::string bytes = fileBytes(f.app.storePath());

    // The store file may change, but no file can be made beside it: no
    // rollback journal for a run and no copy for a compaction.
    ::chmod(f.app.storePath().c_str(), 0666);
    const std::string folder = (f.app.folder.path() / "Database").string();
    const Protected how = withWriteProtection(folder, 0555, [&](Protected) {
        ASSERT_TRUE(f.open()) << f.prompter.all();
        f.prompter.shown.clear();
        RunOutcome outcome = f.run(longer);
        EXPECT_EQ(outcome.status, RunStatus::StoreFailed);
        // Not only "unable to open database file", which would point at the store itself.
        EXPECT_EQ(outcome.message, "Error:unable to open database file - " +
                                       fillMessage(msg::kStoreFolderNotWritable, folder) + "\n");
        EXPECT_EQ(f.prompter.shown, std::vector<std::string>{outcome.message});

        CompactionOutcome compaction = compactStore(f.connection, f.app.connectionText(), f.prompter);
        EXPECT_FALSE(compaction.compacted);
        EXPECT_FALSE(compaction.error.empty());
        EXPECT_TRUE(compaction.reopened);
        EXPECT_TRUE(f.connection.isOpen());
        EXPECT_EQ(folderEntries(folder), std::set<std::string>{"Verdanel.mdb"});
        EXPECT_TRUE(f.digest() == before) << differences(before, f.digest());
        f.connection.release();
    });
    if (how == Protected::NotPossible) GTEST_SKIP() << "this machine can neither make a folder immutable nor run as another user";
    EXPECT_EQ(fileBytes(f.app.storePath()), bytes);
    ASSERT_TRUE(f.open());
    EXPECT_TRUE(f.digest() == before) << differences(before, f.digest());
}

// --- A store held by another program ----------------------------------------------

namespace {

// Another process that holds the store with an exclusive lock from "lock" until "release".
struct LockingProcess {
    Signal lock, locked, release;
    pid_t pid = -1;
    explicit LockingProcess(const std::string& path) {
        // Forked while this process has the store closed, so no SQLite state is shared.
        pid = forkChild([&] {
            if (!lock.wait()) return 2;
            sqlite3* db = nullptr;
            if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return 3;
            if (sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) return 4;
            locked.send();
            release.wait();
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
            return 0;
        });
    }
    bool take() {
        lock.send();
        return locked.wait(std::chrono::seconds(30));
    }
    int finish() {
        release.send();
        const int code = waitForExit(pid);
        pid = -1;
        return code;
    }
    ~LockingProcess() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            waitForExit(pid);
        }
    }
};

}  // namespace

TEST(LockedStore, RunsFailWithTheStoresWordsAndKeepEverything) {
    StoreFixture f;
    ASSERT_TRUE(f.open());
    ASSERT_EQ(f.run(f.scenario(ModelKind::Ditch, "kept")).status, RunStatus::Completed);
    const StoreDigest before = f.digest();
    const ScenarioDefinition runs[] = {f.scenario(ModelKind::Ditch, "new"), f.scenario(ModelKind::Ditch, "kept")};
    f.connection.release();

    LockingProcess other(f.app.storePath());
    ASSERT_TRUE(f.open());
    // The store waits five seconds for a busy file; a short wait gives the same outcome sooner.
    sqlite3_busy_timeout(f.connection.handle(), 200);
    ASSERT_TRUE(other.take());

    for (const auto& run : runs) {
        const std::string& name = run.name;
        f.prompter.shown.clear();
        RunOutcome outcome = f.run(run);
        EXPECT_EQ(outcome.status, RunStatus::StoreFailed) << name;
        EXPECT_TRUE(contains(outcome.message, "locked")) << outcome.message;
        ASSERT_EQ(f.prompter.shown.size(), 1u) << f.prompter.all();
        EXPECT_TRUE(contains(f.prompter.shown[0], "locked")) << f.prompter.shown[0];
    }
    EXPECT_FALSE(deleteScenario(f.connection, f.prompter, ModelKind::Ditch, "kept"));
    ASSERT_EQ(other.finish(), 0);

    EXPECT_TRUE(f.digest() == before) << differences(before, f.digest());
    // Once the other program lets go, the same connection works again.
    EXPECT_EQ(f.run(runs[0]).status, RunStatus::Completed) << f.prompter.all();
}

TEST(LockedStore, ARunWhoseEarlierRunCouldNotBeLookedUpStopsInsteadOfStoringASecondCopy) {
    StoreFixture f;
    ASSERT_TRUE(f.open());
    ASSERT_EQ(f.run(f.scenario(ModelKind::Ditch, "kept")).status, RunStatus::Completed);
    const StoreDigest before = f.digest();
    const ScenarioDefinition again = f.scenario(ModelKind::Ditch, "kept");
    f.connection.release();

    LockingProcess other(f.app.storePath());
    ASSERT_TRUE(f.open());
    sqlite3_busy_timeout(f.connection.handle(), 200);
    ASSERT_TRUE(other.take());
    // The other program lets go right after the look-up failed: had the run
    // taken "not found" for an answer, it would now store a second "kept".
    int released = -1;
    f.prompter.onInform = [&](const std::string&) {
        if (released < 0) released = other.finish();
    };
    RunOutcome outcome = f.run(again);
    f.prompter.onInform = nullptr;
    EXPECT_EQ(released, 0);
    EXPECT_EQ(outcome.status, RunStatus::StoreFailed) << f.prompter.all();
    EXPECT_TRUE(contains(outcome.message, "locked")) << outcome.message;
    EXPECT_EQ(f.prompter.shown.size(), 1u) << f.prompter.all();
    EXPECT_EQ(f.scenarioRows("kept", ModelKind::Ditch), 1);
    EXPECT_TRUE(f.digest() == before) << differences(before, f.digest());
}

// --- A damaged or missing store --------------------------------------------------

TEST(DamagedStore, OpenFailsWithTheStoresWordsAndTheFileIsLeftAlone) {
    StoreFixture f;
    ASSERT_TRUE(f.open());
    ASSERT_EQ(f.run(f.scenario(ModelKind::Ditch, "kept")).status, RunStatus::Completed);
    f.connection.release();
    const std::string real = fileBytes(f.app.storePath());
    ASSERT_GT(real.size(), 1u << 20);

    std::mt19937 random(20100601);
    std::string noise(64 * 1024, '\0');
    for (char& c : noise) c = static_cast<char>(random() & 0xFF);
    // The store's own page size, from its header (big-endian at offset 16).
    const std::size_t page = static_cast<std::size_t>(static_cast<unsigned char>(real[16])) << 8 |
                             static_cast<unsigned char>(real[17]);
    ASSERT_GE(page, 4096u);
    std::string badHeader = real.substr(0, page);
    badHeader[16] = 0x03;  // a page size that is not a power of two
    badHeader[17] = 0x01;

    const std::pair<const char*, std::string> cases[] = {
        {"random bytes", noise},
        {"empty file", std::string()},
        {"first 50 bytes", real.substr(0, 50)},
        {"first 100 bytes", real.substr(0, 100)},
        {"first page", real.substr(0, page)},
        {"first two pages", real.substr(0, 2 * page)},
        {"first half", real.substr(0, real.size() / 2)},
        {"all but the last page", real.substr(0, real.size() - page)},
        {"a broken page size", badHeader},
    };
    const std::filesystem::path database = f.app.folder.path() / "Database";
    for (const auto& [what, bytes] : cases) {
        f.app.folder.write("Database/Verdanel.mdb", bytes);
        f.prompter.shown.clear();
        EXPECT_FALSE(f.open()) << what;
        EXPECT_FALSE(f.connection.isOpen()) << what;
        ASSERT_EQ(f.prompter.shown.size(), 1u) << what << ": " << f.prompter.all();
        EXPECT_TRUE(contains(f.prompter.shown[0], f.app.storePath())) << what << ": " << f.prompter.shown[0];
        // Compaction of a store that does not open leaves it alone too.
        f.prompter.shown.clear();
        CompactionOutcome outcome = compactStore(f.connection, f.app.connectionText(), f.prompter);
        EXPECT_FALSE(outcome.compacted) << what;
        EXPECT_FALSE(outcome.reopened) << what;
        ASSERT_FALSE(f.prompter.shown.empty()) << what;
        EXPECT_EQ(f.prompter.shown.back(), msg::kConnectionFailed) << what;
        EXPECT_EQ(fileBytes(f.app.storePath()), bytes) << what << ": the file was changed";
        EXPECT_EQ(folderEntries(database), std::set<std::string>{"Verdanel.mdb"}) << what;
    }
}

TEST(DamagedStore, AMissingDatabaseFolderIsNeitherCreatedNorFilled) {
    TestApplication app(true);
    std::filesystem::remove_all(app.folder.path() / "Database");
    HookPrompter prompter;
    StoreConnection connection;
    EXPECT_FALSE(connection.open(app.connectionText(), prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(contains(prompter.shown[0], app.storePath())) << prompter.shown[0];
    prompter.shown.clear();
    CompactionOutcome outcome = compactStore(connection, app.connectionText(), prompter);
    EXPECT_FALSE(outcome.compacted);
    EXPECT_FALSE(outcome.reopened);
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.shown.back(), msg::kConnectionFailed);
    EXPECT_FALSE(std::filesystem::exists(app.folder.path() / "Database"));
}

// --- A full disk -----------------------------------------------------------------

TEST(FullDisk, ARunThatCannotGrowTheStoreFailsAndTheEarlierRowsStay) {
    StoreFixture f;
    ASSERT_TRUE(f.open());
    ASSERT_EQ(f.run(f.scenario(ModelKind::Ditch, "kept")).status, RunStatus::Completed);
    ASSERT_EQ(f.run(f.scenario(ModelKind::Pond, "other")).status, RunStatus::Completed);
    const StoreDigest before = f.digest();
    const auto size = std::filesystem::file_size(f.app.storePath());

    f.prompter.shown.clear();
    {
        FileSizeCap cap(size + 256 * 1024);
        // A new scenario needs room of its own; a replacing run with a longer
        // period needs more room than the run it replaces.
        RunOutcome fresh = f.run(f.scenario(ModelKind::Ditch, "new"));
        RunOutcome longer = f.run(f.scenario(ModelKind::Ditch, "kept", 2));
        EXPECT_EQ(fresh.status, RunStatus::StoreFailed);
        EXPECT_EQ(longer.status, RunStatus::StoreFailed);
        EXPECT_EQ(fresh.message.rfind("Error:", 0), 0u) << fresh.message;
        EXPECT_EQ(longer.message.rfind("Error:", 0), 0u) << longer.message;
    }
    EXPECT_EQ(f.prompter.shown.size(), 2u) << f.prompter.all();
    EXPECT_TRUE(f.digest() == before) << differences(before, f.digest());
    EXPECT_EQ(integrityCheck(f.connection.handle()), "ok");
    EXPECT_EQ(f.scenarioRows("new", ModelKind::Ditch), 0);
    // With room again, the same connection stores the run.
    EXPECT_EQ(f.run(f.scenario(ModelKind::Ditch, "kept", 2)).status, RunStatus::Completed) << f.prompter.all();
    f.connection.release();

    // The command-line tool on the same full disk: exit code 1 and the store's words.
    const std::string state = fileBytes(f.app.storePath());
    const std::string log = f.app.folder.file("cli.log");
    const std::string json = f.app.folder.write(
        "new.json", "{ \"name\": \"new\", \"model\": \"ditch\", \"chemical\": \"Chlorpyrifos\", "
                    "\"spray_dates\": [\"2010-06-01 10:00\"] }");
    const int code = runCli({"--store", f.app.storePath(), "run", json}, log, state.size() + 256 * 1024);
    EXPECT_EQ(code, 1) << fileBytes(log);
    EXPECT_TRUE(contains(fileBytes(log), "Error:")) << fileBytes(log);
    const StoreInspection after = inspectStore(f.app.storePath());
    EXPECT_EQ(after.integrity, "ok");
    EXPECT_EQ(fileBytes(f.app.storePath()), state);
}

TEST(FullDisk, AFileSystemWithNoRoomLeftGivesTheStoresFullMessage) {
    StoreFixture f;
    ASSERT_TRUE(f.open());
    ASSERT_EQ(f.run(f.scenario(ModelKind::Ditch, "kept")).status, RunStatus::Completed);
    const StoreDigest before = f.digest();
    const ScenarioDefinition fresh = f.scenario(ModelKind::Ditch, "new");
    f.connection.release();
    const auto size = std::filesystem::file_size(f.app.storePath());
    const std::string small = f.app.folder.file("small");
    std::filesystem::create_directories(small);

    // A child with a mount table of its own puts a store on a file system
    // with 1 MB to spare, runs a new scenario there and reports.
    int pipeFd[2];
    ASSERT_EQ(::pipe(pipeFd), 0);
    const pid_t pid = forkChild([&]() -> int {
        ::close(pipeFd[0]);
        auto say = [&](const std::string& line) {
            [[maybe_unused]] auto n = ::write(pipeFd[1], line.data(), line.size());
        };
        if (::unshare(CLONE_NEWNS) != 0) return 77;
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return 77;
        const std::string sizeOption = "size=" + std::to_string(size + (1 << 20));
        if (::mount("tmpfs", small.c_str(), "tmpfs", 0, sizeOption.c_str()) != 0) return 77;
        std::filesystem::create_directories(small + "/Database");
        const std::string store = small + "/Database/Verdanel.mdb";
        std::error_code ec;
        std::filesystem::copy_file(f.app.storePath(), store, ec);
        if (ec) {
            say("copy failed: " + ec.message() + "\n");
            return 1;
        }
        HookPrompter prompter;
        StoreConnection connection;
        if (!connection.open("Data Source=" + store, prompter)) {
            say("open failed: " + prompter.all() + "\n");
            return 1;
        }
        SilentProgress progress;
        WeatherSet weather;
        RunOptions options;
        options.announceCompletion = false;
        RunOutcome outcome = runScenario(connection, prompter, progress, fresh, weather, options);
        say("status " + std::to_string(static_cast<int>(outcome.status)) + "\n");
        say("message " + outcome.message);
        say("shown " + std::to_string(prompter.shown.size()) + "\n");
        say("integrity " + integrityCheck(connection.handle()) + "\n");
        say(std::string("rows ") + (digestStore(connection.handle()) == before ? "same" : "changed") + "\n");
        connection.release();
        say(std::string("files ") + (folderEntries(small + "/Database") == std::set<std::string>{"Verdanel.mdb"}
                                        ? "store only"
                                        : "more")
            + "\n");
        return 0;
    });
    ::close(pipeFd[1]);
    std::string text;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(pipeFd[0], buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFd[0]);
    const int code = waitForExit(pid);
    if (code == 77) GTEST_SKIP() << "this machine does not let a test mount a small file system";
    ASSERT_EQ(code, 0) << text;
    EXPECT_EQ(text, "status " + std::to_string(static_cast<int>(RunStatus::StoreFailed)) +
                        "\nmessage Error:database or disk is full\nshown 1\nintegrity ok\nrows same\nfiles store only\n");
}
