#pragma once
// One running copy at a time. The lock is a file lock held for the life of
// the process; the system lets it go when the process ends, so a crashed
// copy never blocks the next start. Each user has a lock of their own.
#include <string>

#include "core/common/platform.hpp"

namespace verdanel {

inline constexpr const char* kRunLockName = "KESTORIN_RUNLOCK";

class InstanceLock {
public:
    enum class Outcome { Acquired, AlreadyRunning };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // folder: where the lock file lives (the system's temporary folder by default).
    Outcome acquire(const std::string& name = kRunLockName, const std::string& folder = {});
    void releaseLock();

private:
    platform::FileLock lock_;
};

}  // namespace verdanel
