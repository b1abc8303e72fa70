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

using namespace verdanel;
using namespace verdanel::testing;
namespace fs = std::filesystem;

namespace {

// Caps the size of the files this process writes, as a full disk would.
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

}  // namespace

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
