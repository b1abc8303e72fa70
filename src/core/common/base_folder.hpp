#pragma once
#include <string>

namespace verdanel {

// The application base folder: the executable's full path cut twice before
// its last separator (file name, then the executable's own folder).
// /opt/verdanel/bin/verdanel gives /opt/verdanel.
std::string baseFolderOf(const std::string& executablePath);

// Full path of the running executable ("" when the system cannot tell).
std::string executablePath();

// The base folder of this process, by the rule above.
std::string applicationBaseFolder();

}  // namespace verdanel
