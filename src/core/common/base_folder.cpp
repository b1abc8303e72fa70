#include "core/common/base_folder.hpp"

#include <filesystem>
#include <system_error>

namespace verdanel {

namespace {
std::string cutBeforeLastSeparator(const std::string& path) {
    auto pos = path.find_last_of('/');
    if (pos == std::string::npos) return path;
    return path.substr(0, pos);
}
}  // namespace

std::string baseFolderOf(const std::string& executablePath) {
    return cutBeforeLastSeparator(cutBeforeLastSeparator(executablePath));
}

std::string executablePath() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

std::string applicationBaseFolder() { return baseFolderOf(executablePath()); }

}  // namespace verdanel
