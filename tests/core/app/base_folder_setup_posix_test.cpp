// A full disk while a base folder is made ready, as a cap on the size of the
// files this process writes (setrlimit, SIGXFSZ).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "base_folder_fixture.hpp"
#include "core/app/base_folder_messages.hpp"
#include "core/app/base_folder_setup.hpp"
#include "core/common/text_format.hpp"
#include "support/file_size_cap.hpp"

using namespace verdanel;
using namespace verdanel::testing;
namespace fs = std::filesystem;

TEST(BaseFolderSetup, AFullDiskLeavesNoHalfCopyAndTheNextStartCopiesWhole) {
    SampleFolder sample;
    TempFolder place;

    // A full disk: the store does not fit. No store (not half of one) is left,
    // so the next start, with room again, copies it whole.
    const std::string full = place.str() + "/full";
    const auto storeSize = fs::file_size(sample.app.storePath());
    ASSERT_GT(storeSize, 16384u);
    {
        FileSizeCap cap(16384);
        BaseFolderOutcome noRoom = prepareBaseFolder(full, sample.path());
        EXPECT_FALSE(noRoom.ok);
        EXPECT_EQ(noRoom.error, fillMessage(msg::kBaseFolderDiskFullFormat, full));
    }
    EXPECT_FALSE(fs::exists(full + "/Database/Verdanel.mdb"));
    EXPECT_TRUE(scratchLeft(full).empty());
    BaseFolderOutcome again = prepareBaseFolder(full, sample.path());
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_EQ(contentsOf(full), sample.samples());
}
