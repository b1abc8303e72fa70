#include "support/temp_folder.hpp"

#include <atomic>
#include <fstream>

#include "core/app/connection_settings.hpp"
#include "core/common/platform.hpp"
#include "core/store/schema.hpp"

namespace verdanel::testing {

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("verdanel-test-" + std::to_string(platform::processId()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    if (!ec) return;
    // A file a test made read-only: Windows removes it only once it may be written again.
    for (std::filesystem::recursive_directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempFolder::write(const std::string& relative, const std::string& bytes) const {
    auto p = path_ / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
    return p.string();
}

TestApplication::TestApplication(bool withSamples) {
    folder.write("INI/CONNECTION.INI", "; test store\nProvider=SQLite;Data Source=\n");
    std::filesystem::create_directories(folder.path() / "bin");
    std::filesystem::create_directories(folder.path() / "Database");
    createStore(storePath(), withSamples ? std::string(VERDANEL_SOURCE_DIR) + "/data/sample_chemicals.tsv" : "");
}

std::string TestApplication::connectionText() const { return buildConnectionText(base()); }

}  // namespace verdanel::testing
