#include "core/app/connection_settings.hpp"

#include <fstream>

#include "core/common/utf8_path.hpp"

namespace verdanel {

std::string connectionIniPath(const std::string& baseFolder) { return baseFolder + "/INI/CONNECTION.INI"; }
std::string storePathBelow(const std::string& baseFolder) { return baseFolder + "/Database/Verdanel.mdb"; }

std::string buildConnectionText(const std::string& baseFolder) {
    std::ifstream in(pathFromUtf8(connectionIniPath(baseFolder)), std::ios::binary);
    if (!in) return std::string();
    std::string prefix;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == ';') continue;
        // The prefix keeps its line break; the store's parser treats it as white space.
        prefix = line + (in.eof() ? "" : "\n");
        break;
    }
    return prefix + storePathBelow(baseFolder);
}

}  // namespace verdanel
