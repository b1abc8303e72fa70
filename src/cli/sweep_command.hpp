#pragma once
// verdanel-cli sweep: one scenario file run once per variant without storing
// anything, the exposure endpoints of each variant, their distribution, and
// on request a CSV of every endpoint and a picture of the chart.
#include <string>
#include <vector>

namespace verdanel::cli {

// The command's arguments after "sweep". The chemical is read from the store
// the connection text names; relative weather paths start at the scenario
// file's folder, missing ones are those of `defaultInput`. `usage` prints the
// usage with a reason and gives the exit code 2.
int sweepCommand(const std::string& connectionText, const std::string& defaultInput, std::vector<std::string> args,
                 int (*usage)(const std::string& why));

}  // namespace verdanel::cli
