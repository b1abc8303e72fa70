#pragma once
// What differs between the operating systems, each behind one small function.
// platform_posix.cpp and platform_win32.cpp hold the two versions; the build
// compiles the one for its target. Texts and paths are UTF-8 everywhere else.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace verdanel::platform {

// --- program start ----------------------------------------------------------

// The command-line arguments as UTF-8 (Windows hands main() the ANSI code
// page, which loses every Hangul character; there they are taken as UTF-16).
std::vector<std::string> utf8Arguments(int argc, char** argv);
// Text written to the console is UTF-8 (a no-op where it already is).
void useUtf8Console();
// An environment variable as UTF-8, "" when it is not set.
std::string environmentVariable(const char* name);
// Full path of the running executable, "" when the system cannot tell.
std::string executablePath();
// True when standard error is a terminal (progress bars are drawn only there).
bool stderrIsTerminal();
std::uint64_t processId();
// Tells the users of one machine apart (numeric user id, or the login name).
std::string userTag();

// --- time and numbers -----------------------------------------------------------

// The local calendar time of t.
std::tm localTime(std::time_t t);
// strtod in the C locale, whatever the process locale.
double strtodInCLocale(const char* text);

// --- text -------------------------------------------------------------------------

// UTF-8 to CP949 and back. A character without a form in the target becomes
// "?", and so does a malformed byte (one "?" per malformed sequence).
std::string utf8ToCp949(std::string_view utf8);
std::string cp949ToUtf8(std::string_view cp949);

// --- files --------------------------------------------------------------------------

// The reasons a file operation fails that the user is told apart.
enum class FileError { None, SourceUnreadable, NoRoom, Failed };

// True when the error number says the disk or the user's quota is full.
bool isNoRoom(int errorNumber);

// Copies source into the new file target (which must not exist) and flushes
// it to the disk. On failure target is removed again.
FileError copyToNewFile(const std::filesystem::path& source, const std::filesystem::path& target);
// Gives file the name target unless something is there already; then target
// is kept as it is. file itself is left for the caller to remove.
FileError publishWithoutReplacing(const std::filesystem::path& file, const std::filesystem::path& target);
// Makes one folder; FileError::Failed also when something is there already.
FileError makeNewFolder(const std::filesystem::path& folder);

// Flushes a file's contents to the disk.
bool syncFile(const std::filesystem::path& file);
// Makes a rename inside folder durable (a no-op where the system has no such step).
bool syncFolder(const std::filesystem::path& folder);
// Replaces target by source in one step, durably; false leaves both as they were.
bool replaceFile(const std::filesystem::path& source, const std::filesystem::path& target);
// What tells one file on a disk from another (the inode, the file index);
// 0 when the file cannot be looked at. A replaced file gets a new one.
std::uint64_t fileIdentity(const std::filesystem::path& file);

// An exclusive lock on a file, held until unlock() or the end of the process,
// which the system then lets go (so a crashed holder never blocks anyone).
class FileLock {
public:
    enum class Result { Locked, HeldElsewhere, Unavailable };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    Result lock(const std::filesystem::path& file);
    void unlock();
    bool held() const { return handle_ != kNone; }

private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone;
};

}  // namespace verdanel::platform
