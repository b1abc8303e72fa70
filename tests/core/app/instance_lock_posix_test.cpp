// The lock against other processes: a killed holder, another user (fork, signals, setuid).
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/app/instance_lock.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::TempFolder;

TEST(InstanceLock, LockOfAKilledCopyIsTakenOver) {
    TempFolder dir;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock held;
        held.acquire("TEST_RUNLOCK", dir.str());
        char c = 'x';
        (void)!write(ready[1], &c, 1);
        pause();
        _exit(0);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    InstanceLock mine;
    EXPECT_EQ(mine.acquire("TEST_RUNLOCK", dir.str()), InstanceLock::Outcome::AlreadyRunning);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(mine.acquire("TEST_RUNLOCK", dir.str()), InstanceLock::Outcome::Acquired);
}

namespace {

// Runs acquire() in a child process as another user and reports its outcome
// through the pipe ('A' acquired, 'R' refused); the child keeps what it took
// until the release pipe is closed.
pid_t lockAsUser(uid_t uid, const std::string& folder, int report, const int release[2]) {
    pid_t child = fork();
    if (child != 0) return child;
    close(release[1]);
    char c = 'E';  // could not become the other user
    if (setgid(uid) == 0 && setuid(uid) == 0) {
        InstanceLock lock;
        c = lock.acquire("TEST_RUNLOCK", folder) == InstanceLock::Outcome::Acquired ? 'A' : 'R';
        (void)!write(report, &c, 1);
        (void)!read(release[0], &c, 1);
        _exit(0);
    }
    (void)!write(report, &c, 1);
    _exit(0);
}

}  // namespace

TEST(InstanceLock, EachUserOfASharedMachineHasALockOfTheirOwn) {
    if (geteuid() != 0) GTEST_SKIP() << "acting as a second user needs root";
    // A world-writable folder with the sticky bit, as /tmp is.
    char pattern[] = "/tmp/verdanel-lock-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    ASSERT_EQ(chmod(pattern, 01777), 0);

    InstanceLock rootsCopy;
    ASSERT_EQ(rootsCopy.acquire("TEST_RUNLOCK", folder), InstanceLock::Outcome::Acquired);
    // Another user's first copy runs beside root's; their second is refused
    // (a lock file root made, which only root may write, must not leave them unguarded).
    const uid_t nobody = 65534;
    int report[2], release[2];
    ASSERT_EQ(pipe(report), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t first = lockAsUser(nobody, folder, report[1], release);
    char firstOutcome = 0;
    ASSERT_EQ(read(report[0], &firstOutcome, 1), 1);
    pid_t second = lockAsUser(nobody, folder, report[1], release);
    char secondOutcome = 0;
    ASSERT_EQ(read(report[0], &secondOutcome, 1), 1);
    close(release[1]);
    waitpid(first, nullptr, 0);
    waitpid(second, nullptr, 0);
    EXPECT_EQ(firstOutcome, 'A');
    EXPECT_EQ(secondOutcome, 'R');
    rootsCopy.releaseLock();
    std::filesystem::remove_all(folder);
}
