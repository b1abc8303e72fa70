// Linux (POSIX) side of platform.hpp.
#include <fcntl.h>
#include <iconv.h>
#include <locale.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "core/common/platform.hpp"

namespace verdanel::platform {

std::vector<std::string> utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

void useUtf8Console() {}

std::string environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string executablePath() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

bool stderrIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

std::uint64_t processId() { return static_cast<std::uint64_t>(::getpid()); }

std::string userTag() { return std::to_string(::getuid()); }

std::tm localTime(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

double strtodInCLocale(const char* text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(text, nullptr, cLocale);
}

namespace {
std::string convert(std::string_view input, const char* to, const char* from, std::size_t badUnit) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);
    std::string out;
    out.reserve(input.size() * 2);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: replace the offending character and go on.
            out.push_back('?');
            std::size_t skip = 1;
            if (badUnit == 0) {
                // UTF-8 input: skip one whole character when it is well formed.
                unsigned char c = static_cast<unsigned char>(*in);
                skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
                for (std::size_t k = 1; k < skip; ++k) {
                    if (k >= inLeft || (static_cast<unsigned char>(in[k]) & 0xC0) != 0x80) { skip = k; break; }
                }
            } else if (static_cast<unsigned char>(*in) >= 0x81 && inLeft >= 2) {
                skip = 2;
            }
            if (skip > inLeft) skip = inLeft;
            in += skip;
            inLeft -= skip;
        }
    }
    iconv_close(cd);
    return out;
}
}  // namespace

std::string utf8ToCp949(std::string_view utf8) { return convert(utf8, "CP949", "UTF-8", 0); }
std::string cp949ToUtf8(std::string_view cp949) { return convert(cp949, "UTF-8", "CP949", 1); }

bool isNoRoom(int errorNumber) { return errorNumber == ENOSPC || errorNumber == EDQUOT || errorNumber == EFBIG; }

namespace {
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

FileError writeError(int err) { return isNoRoom(err) ? FileError::NoRoom : FileError::Failed; }

bool present(const std::filesystem::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}
}  // namespace

FileError copyToNewFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return FileError::SourceUnreadable;
    int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        int err = errno;
        ::close(in);
        return writeError(err);
    }
    int err = copyBytes(in, out);
    ::close(in);
    if (err < 0) {
        ::close(out);
        ::unlink(target.c_str());
        return FileError::SourceUnreadable;
    }
    if (err == 0 && ::fsync(out) != 0) err = errno;
    if (::close(out) != 0 && err == 0) err = errno;
    if (err == 0) return FileError::None;
    ::unlink(target.c_str());
    return writeError(err);
}

FileError publishWithoutReplacing(const std::filesystem::path& file, const std::filesystem::path& target) {
    // link() refuses an existing target; a file system without hard links
    // falls back to a rename after a last look.
    if (::link(file.c_str(), target.c_str()) == 0 || errno == EEXIST) return FileError::None;
    const int linkErr = errno;
    const bool noLinks = linkErr == EPERM || linkErr == ENOTSUP || linkErr == EOPNOTSUPP || linkErr == EMLINK;
    if (!noLinks) return writeError(linkErr);
    if (!present(target) && ::rename(file.c_str(), target.c_str()) != 0) return writeError(errno);
    return FileError::None;
}

FileError makeNewFolder(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), 0777) == 0) return FileError::None;
    return writeError(errno);
}

namespace {
bool syncPath(const std::filesystem::path& path, bool directory) {
    int fd = ::open(path.c_str(), (directory ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}
}  // namespace

bool syncFile(const std::filesystem::path& file) { return syncPath(file, false); }
bool syncFolder(const std::filesystem::path& folder) { return syncPath(folder, true); }

bool replaceFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    return std::rename(source.c_str(), target.c_str()) == 0;
}

std::uint64_t fileIdentity(const std::filesystem::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_ino) : 0;
}

FileLock::~FileLock() { unlock(); }

FileLock::Result FileLock::lock(const std::filesystem::path& file) {
    unlock();
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return Result::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? Result::HeldElsewhere : Result::Unavailable;
    }
    handle_ = fd;
    return Result::Locked;
}

void FileLock::unlock() {
    if (handle_ != kNone) {
        const int fd = static_cast<int>(handle_);
        ::flock(fd, LOCK_UN);
        ::close(fd);
        handle_ = kNone;
    }
}

}  // namespace verdanel::platform
