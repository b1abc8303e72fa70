#include "core/app/instance_lock.hpp"

#include <filesystem>
#include <string>

#include "core/common/utf8_path.hpp"

namespace verdanel {

InstanceLock::~InstanceLock() { releaseLock(); }

InstanceLock::Outcome InstanceLock::acquire(const std::string& name, const std::string& folder) {
    releaseLock();
    std::error_code ec;
    std::filesystem::path dir = folder.empty() ? std::filesystem::temp_directory_path(ec) : pathFromUtf8(folder);
    if (ec) dir = "/tmp";
    // One lock per user, as a desktop session's named lock is: on a machine
    // shared by several users one user's running copy must not stop another's,
    // and a lock file another user made (and only they may open) must not
    // leave this user's copies unguarded.
    // Built by appending: GCC 12 misreports `"-" + std::string&&` (-Wrestrict).
    std::string fileName = name;
    fileName += '-';
    fileName += platform::userTag();
    fileName += ".lock";
    // A lock file we cannot make must not keep the program from starting.
    return lock_.lock(dir / pathFromUtf8(fileName)) == platform::FileLock::Result::HeldElsewhere
               ? Outcome::AlreadyRunning
               : Outcome::Acquired;
}

void InstanceLock::releaseLock() { lock_.unlock(); }

}  // namespace verdanel
