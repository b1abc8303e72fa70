#include "core/app/instance_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

namespace verdanel {

InstanceLock::~InstanceLock() { releaseLock(); }

InstanceLock::Outcome InstanceLock::acquire(const std::string& name, const std::string& folder) {
    releaseLock();
    std::error_code ec;
    std::filesystem::path dir = folder.empty() ? std::filesystem::temp_directory_path(ec) : std::filesystem::path(folder);
    if (ec) dir = "/tmp";
    // One lock per user, as a desktop session's named lock is: on a machine
    // shared by several users one user's running copy must not stop another's,
    // and a lock file another user made (and only they may open) must not
    // leave this user's copies unguarded.
    const std::string path = (dir / (name + "-" + std::to_string(::getuid()) + ".lock")).string();
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    // A lock file we cannot make must not keep the program from starting.
    if (fd < 0) return Outcome::Acquired;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? Outcome::AlreadyRunning : Outcome::Acquired;
    }
    fd_ = fd;
    return Outcome::Acquired;
}

void InstanceLock::releaseLock() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace verdanel
