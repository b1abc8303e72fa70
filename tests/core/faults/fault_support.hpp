#pragma once
// Helpers of the fault tests: other processes that run the command-line tool,
// die at a chosen moment or hold the store, and a prompter that lets a test
// act at the moment a message is shown.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/common/prompter.hpp"
#include "core/store/store_connection.hpp"
#include "support/store_digest.hpp"

namespace verdanel::testing {

// Runs verdanel-cli with the arguments, its stdout and stderr going to
// outputFile. fileSizeLimit > 0 caps the size of every file it writes
// (a full disk as the process sees it).
inline pid_t startCli(const std::vector<std::string>& arguments, const std::string& outputFile,
                      rlim_t fileSizeLimit = 0) {
    std::vector<std::string> all = {VERDANEL_CLI_PATH};
    all.insert(all.end(), arguments.begin(), arguments.end());
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int out = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::close(out);
    }
    if (fileSizeLimit > 0) {
        // A write past the limit then fails with EFBIG instead of killing the process.
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{fileSizeLimit, fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

// The exit code, or -signal when the process was killed.
inline int waitForExit(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1000;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return -WTERMSIG(status);
    return -1000;
}

inline int runCli(const std::vector<std::string>& arguments, const std::string& outputFile,
                  rlim_t fileSizeLimit = 0) {
    return waitForExit(startCli(arguments, outputFile, fileSizeLimit));
}

// Forks a child that runs body and ends with its return value, without
// running any of the parent's exit work (the test framework's included).
inline pid_t forkChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    return pid;
}

// Names of the entries of a folder.
inline std::set<std::string> folderEntries(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) names.insert(e.path().filename().string());
    return names;
}

inline void sleepFor(std::chrono::microseconds d) { std::this_thread::sleep_for(d); }

// Records every text like the scripted prompter, answers every question with
// OK, and calls onInform with each message as it is shown.
class HookPrompter final : public Prompter {
public:
    void inform(const std::string& text, const std::string&, PromptIcon) override {
        shown.push_back(text);
        if (onInform) onInform(text);
    }
    bool confirm(const std::string& text, const std::string&) override {
        shown.push_back(text);
        return true;
    }
    std::string all() const {
        std::string joined;
        for (const auto& s : shown) joined += s + "|";
        return joined;
    }
    std::vector<std::string> shown;
    std::function<void(const std::string&)> onInform;
};

// A pipe used to hand one byte between a parent and its child.
struct Signal {
    int fd[2] = {-1, -1};
    Signal() {
        if (::pipe(fd) != 0) fd[0] = fd[1] = -1;
    }
    ~Signal() {
        for (int f : fd)
            if (f >= 0) ::close(f);
    }
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;
    void send() const {
        char c = 1;
        [[maybe_unused]] auto n = ::write(fd[1], &c, 1);
    }
    // False when nothing came within the time.
    bool wait(std::chrono::milliseconds timeout = std::chrono::seconds(60)) const {
        pollfd p{fd[0], POLLIN, 0};
        int ready;
        while ((ready = ::poll(&p, 1, static_cast<int>(timeout.count()))) < 0 && errno == EINTR) {
        }
        if (ready <= 0) return false;
        char c = 0;
        return ::read(fd[0], &c, 1) == 1;
    }
};

// What a store file holds when the program opens it next.
struct StoreInspection {
    bool opened = false;
    std::string shown;      // what opening showed
    std::string integrity;  // "ok" when sound
    std::string readError;  // why the rows could not be read ("" when they could)
    StoreDigest digest;
};

// "ok", or what the store's quick check finds wrong: the structure of every
// page and table, without comparing each index entry with its row (which
// integrityCheck does too, at three times the cost).
inline std::string quickCheck(sqlite3* db) {
    std::string result;
    sqlite3_exec(
        db, "PRAGMA quick_check",
        [](void* out, int, char** values, char**) {
            auto& text = *static_cast<std::string*>(out);
            text += (text.empty() ? "" : "\n") + std::string(values[0] ? values[0] : "");
            return 0;
        },
        &result, nullptr);
    return result.empty() ? std::string(sqlite3_errmsg(db)) : result;
}

// fullCheck false: the quick check instead of the full integrity check.
inline StoreInspection inspectStore(const std::string& path, bool fullCheck = true) {
    StoreInspection inspection;
    HookPrompter prompter;
    StoreConnection connection;
    inspection.opened = connection.open("Provider=SQLite;Data Source=" + path, prompter);
    inspection.shown = prompter.all();
    if (inspection.opened) {
        inspection.integrity = fullCheck ? integrityCheck(connection.handle()) : quickCheck(connection.handle());
        inspection.digest = digestStore(connection.handle(), &inspection.readError);
    }
    return inspection;
}

}  // namespace verdanel::testing
