#include "core/app/base_folder_setup.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/app/base_folder_messages.hpp"
#include "core/common/text_format.hpp"

namespace verdanel {

namespace fs = std::filesystem;

namespace {

// What goes wrong while a folder is made ready: the user's message, or "".
using Failure = std::string;

bool noRoom(int err) { return err == ENOSPC || err == EDQUOT || err == EFBIG; }

// Anything at all is at the path, even a broken link: it is the user's and stays.
bool present(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

// A name beside the target that no other start uses.
fs::path scratchBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    // Built by appending: GCC 12 misreports `"." + std::string&&` (-Wrestrict).
    std::string name = ".";
    name += target.filename().string();
    name += ".new-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    return target.parent_path() / name;
}

Failure writeFailure(int err, const fs::path& base, const fs::path& what) {
    return noRoom(err) ? fillMessage(msg::kBaseFolderDiskFullFormat, base.string())
                       : fillMessage(msg::kBaseFolderFileNotWrittenFormat, what.string());
}

Failure makeFolder(const fs::path& folder, const fs::path& base) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!ec && !fs::is_directory(folder, ec)) ec = std::make_error_code(std::errc::not_a_directory);
    if (!ec) return {};
    return noRoom(ec.value()) ? fillMessage(msg::kBaseFolderDiskFullFormat, base.string())
                              : fillMessage(msg::kBaseFolderNotMadeFormat, folder.string());
}

// Writes all of in to out; 0 or the errno of the failing read (negative) or write.
int copyBytes(int in, int out) {
    char buffer[1 << 16];
    for (;;) {
        ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -errno;
        if (got == 0) return 0;
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) return errno;
            done += put;
        }
    }
}

// Copies source to a new file target. The copy is written and flushed under
// a scratch name and only then given the target's name, so a full disk or a
// crash never leaves half a file there; a target that appeared meanwhile
// (another start) is kept.
Failure copyNewFile(const fs::path& source, const fs::path& target, const fs::path& base) {
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return fillMessage(msg::kSampleFileMissingFormat, source.string());
    const fs::path scratch = scratchBeside(target);
    int out = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        int err = errno;
        ::close(in);
        return writeFailure(err, base, target);
    }
    int err = copyBytes(in, out);
    ::close(in);
    if (err < 0) {
        ::close(out);
        ::unlink(scratch.c_str());
        return fillMessage(msg::kSampleFileMissingFormat, source.string());
    }
    if (err == 0 && ::fsync(out) != 0) err = errno;
    if (::close(out) != 0 && err == 0) err = errno;
    if (err == 0) {
        // link() refuses an existing target; a file system without hard links
        // falls back to a rename after a last look.
        if (::link(scratch.c_str(), target.c_str()) != 0 && errno != EEXIST) {
            const int linkErr = errno;
            const bool noLinks = linkErr == EPERM || linkErr == ENOTSUP || linkErr == EOPNOTSUPP || linkErr == EMLINK;
            if (!noLinks) {
                err = linkErr;
            } else if (!present(target) && ::rename(scratch.c_str(), target.c_str()) != 0) {
                err = errno;
            }
        }
    }
    ::unlink(scratch.c_str());
    return err == 0 ? Failure{} : writeFailure(err, base, target);
}

Failure copyMissingFile(const fs::path& sampleFolder, const fs::path& base, const std::string& relative) {
    const fs::path target = base / relative;
    if (present(target)) return {};
    if (Failure f = makeFolder(target.parent_path(), base); !f.empty()) return f;
    return copyNewFile(sampleFolder / relative, target, base);
}

// The sample input folder's files, gathered under a scratch name and then
// renamed into place as a whole; an input folder the user already has (even
// one they emptied) is left as it is.
Failure copyMissingFolder(const fs::path& sampleFolder, const fs::path& base, const std::string& relative) {
    const fs::path target = base / relative;
    if (present(target)) return {};
    const fs::path source = sampleFolder / relative;
    std::error_code ec;
    if (!fs::is_directory(source, ec)) return fillMessage(msg::kSampleFileMissingFormat, source.string());
    const fs::path scratch = scratchBeside(target);
    if (::mkdir(scratch.c_str(), 0777) != 0) {
        return noRoom(errno) ? fillMessage(msg::kBaseFolderDiskFullFormat, base.string())
                             : fillMessage(msg::kBaseFolderNotMadeFormat, target.string());
    }
    Failure failure;
    for (fs::directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file()) continue;  // follows links, as the installed samples may be
        failure = copyNewFile(it->path(), scratch / it->path().filename(), base);
        if (!failure.empty()) break;
    }
    if (failure.empty() && ec) failure = fillMessage(msg::kSampleFileMissingFormat, source.string());
    if (failure.empty() && ::rename(scratch.c_str(), target.c_str()) != 0 && !present(target))
        failure = fillMessage(msg::kBaseFolderNotMadeFormat, target.string());
    fs::remove_all(scratch, ec);
    return failure;
}

fs::path absoluteFolder(const std::string& named) {
    std::error_code ec;
    fs::path p = fs::absolute(named, ec);
    if (ec) p = named;
    p = p.lexically_normal();
    if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
    return p;
}

}  // namespace

std::string namedBaseFolder(const std::string& option, const char* variable) {
    if (!option.empty()) return option;
    if (variable && *variable) return variable;
    return {};
}

BaseFolderOutcome prepareBaseFolder(const std::string& base, const std::string& sampleFolder) {
    BaseFolderOutcome outcome;
    outcome.folder = base;
    const fs::path root(base);
    const fs::path sample(sampleFolder);
    Failure failure = makeFolder(root, root);
    if (failure.empty()) failure = copyMissingFile(sample, root, "INI/CONNECTION.INI");
    if (failure.empty()) failure = copyMissingFolder(sample, root, "input");
    if (failure.empty()) failure = copyMissingFile(sample, root, "Database/Verdanel.mdb");
    outcome.ok = failure.empty();
    outcome.error = failure;
    return outcome;
}

BaseFolderOutcome startBaseFolder(const std::string& option, const char* variable,
                                  const std::string& applicationFolder) {
    const std::string named = namedBaseFolder(option, variable);
    if (named.empty()) return BaseFolderOutcome{true, applicationFolder, {}};
    const fs::path folder = absoluteFolder(named);
    std::error_code ec;
    if (!applicationFolder.empty() && fs::equivalent(folder, applicationFolder, ec))
        return BaseFolderOutcome{true, applicationFolder, {}};
    return prepareBaseFolder(folder.string(), applicationFolder);
}

}  // namespace verdanel
