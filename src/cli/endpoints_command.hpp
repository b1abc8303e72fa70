#pragma once
// verdanel-cli endpoints: the exposure endpoints of every value column of a
// search, as a table or as JSON.
#include <string>
#include <vector>

namespace verdanel::cli {

// The command's arguments after "endpoints", on the store the connection text
// names. `usage` prints the usage with a reason and gives the exit code 2.
int endpointsCommand(const std::string& connectionText, std::vector<std::string> args,
                     int (*usage)(const std::string& why));

}  // namespace verdanel::cli
