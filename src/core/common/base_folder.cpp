#include "core/common/base_folder.hpp"

#include "core/common/platform.hpp"
#include "core/common/utf8_path.hpp"

namespace verdanel {

namespace {
std::string cutBeforeLastSeparator(const std::string& path) {
    auto pos = lastPathSeparator(path);
    if (pos == std::string::npos) return path;
    return path.substr(0, pos);
}
}  // namespace

std::string baseFolderOf(const std::string& executablePath) {
    return cutBeforeLastSeparator(cutBeforeLastSeparator(executablePath));
}

std::string executablePath() { return platform::executablePath(); }

std::string applicationBaseFolder() { return baseFolderOf(executablePath()); }

}  // namespace verdanel
