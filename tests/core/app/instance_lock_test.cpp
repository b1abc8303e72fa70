#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/app/instance_lock.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::TempFolder;

TEST(InstanceLock, SecondCopyIsRefusedUntilTheFirstEnds) {
    TempFolder dir;
    InstanceLock first;
    ASSERT_EQ(first.acquire("TEST_RUNLOCK", dir.str()), InstanceLock::Outcome::Acquired);
    InstanceLock second;
    EXPECT_EQ(second.acquire("TEST_RUNLOCK", dir.str()), InstanceLock::Outcome::AlreadyRunning);
    first.releaseLock();
    EXPECT_EQ(second.acquire("TEST_RUNLOCK", dir.str()), InstanceLock::Outcome::Acquired);
}

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
