#pragma once
// verdanel-cli balance: a stored scenario's mass balance, the final hour as a
// table (mass and share of the applied mass) and, with --out, every hourly
// row as a CSV file.
#include <string>
#include <vector>

namespace verdanel::cli {

// The command's arguments after "balance", on the store the connection text
// names. `usage` prints the usage with a reason and gives the exit code 2.
int balanceCommand(const std::string& connectionText, std::vector<std::string> args,
                   int (*usage)(const std::string& why));

}  // namespace verdanel::cli
