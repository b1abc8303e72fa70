#pragma once
// Where the store is: INI/CONNECTION.INI below the application base folder.
#include <string>

namespace verdanel {

// base + "/INI/CONNECTION.INI"
std::string connectionIniPath(const std::string& baseFolder);
// base + "/Database/Verdanel.mdb"
std::string storePathBelow(const std::string& baseFolder);

// The connection text: the first line of CONNECTION.INI that does not begin
// with ";" (its line break kept), then the base folder, then
// "/Database/Verdanel.mdb". Empty when the file cannot be opened; the store
// path alone when the file holds only comments or nothing.
std::string buildConnectionText(const std::string& baseFolder);

}  // namespace verdanel
