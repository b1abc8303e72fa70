#pragma once
// verdanel-cli endpoints: the exposure endpoints of every value column of a
// search, as a table or as JSON.
#include <string>

#include "cli/command_line.hpp"

namespace verdanel::cli {

// `usage` prints the usage with a reason and gives the exit code 2.
int endpointsCommand(const std::string& store, ArgReader args, int (*usage)(const std::string& why));

}  // namespace verdanel::cli
