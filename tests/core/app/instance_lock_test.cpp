#include <gtest/gtest.h>

#include <filesystem>

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
