#pragma once
// POSIX tests only: caps the size of the files this process writes, as a full
// disk would, until the cap goes out of scope.
#include <csignal>
#include <sys/resource.h>

namespace verdanel::testing {

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

}  // namespace verdanel::testing
