#pragma once
// Runs verdanel-cli as a user would and collects what it printed.
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_folder.hpp"

namespace verdanel::testing {

struct CliResult {
    int code = -1;
    std::string out;
    std::string err;  // only when asked for
};

inline std::string quoted(const std::string& s) { return "'" + s + "'"; }

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs verdanel-cli with the given arguments; stdout is captured, stderr
// dropped or, given a file for it, kept there and returned too.
inline CliResult cli(const std::string& arguments, const std::string& stderrFile = {}) {
    CliResult r;
    const std::string command = std::string(VERDANEL_CLI_PATH) + " " + arguments + " 2>" +
                                (stderrFile.empty() ? std::string("/dev/null") : quoted(stderrFile));
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
    int status = pclose(pipe);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!stderrFile.empty()) r.err = readFile(stderrFile);
    return r;
}

// A scenario file with the program's own weather files.
inline std::string scenarioJson(const std::string& name, const std::string& model, const std::string& chemical,
                                const std::vector<std::string>& sprayDates, const std::string& extra = "") {
    const std::string input = std::string(VERDANEL_SOURCE_DIR) + "/input/";
    std::string dates;
    for (const auto& d : sprayDates) dates += (dates.empty() ? "\"" : ", \"") + d + "\"";
    return "{ \"name\": \"" + name + "\", \"model\": \"" + model + "\", \"chemical\": \"" + chemical +
           "\", \"spray_dates\": [" + dates + "], \"weather\": { \"wind_speed\": \"" + input +
           "wind.txt\", \"wind_direction\": \"" + input + "winddir.txt\", \"temperature\": \"" + input +
           "temp.txt\", \"rainfall\": \"" + input + "rain.txt\", \"humidity\": \"" + input + "Humi.txt\" }" + extra +
           " }";
}

}  // namespace verdanel::testing
