#pragma once
// A staged application folder to copy from, and what a folder holds.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_folder.hpp"

namespace verdanel::testing {

namespace fs = std::filesystem;


inline std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every file below a folder (links followed) with its bytes, by relative path.
inline std::map<std::string, std::string> contentsOf(const fs::path& folder) {
    std::map<std::string, std::string> all;
    if (!fs::exists(folder)) return all;
    for (const auto& e : fs::recursive_directory_iterator(folder, fs::directory_options::follow_directory_symlink)) {
        if (e.is_regular_file()) all[fs::relative(e.path(), folder).generic_string()] = bytesOf(e.path());
    }
    return all;
}

// An application folder as the build stages it: bin/, the INI, a store with
// the sample chemicals, and weather files.
struct SampleFolder {
    TestApplication app{true};
    SampleFolder() {
        app.folder.write("input/wind.txt", "1 2 3\n");
        app.folder.write("input/Humi.txt", "70 71 72\n");
    }
    std::string path() const { return app.base(); }
    // What a new base folder receives: everything but bin/.
    std::map<std::string, std::string> samples() const {
        auto all = contentsOf(app.folder.path());
        std::erase_if(all, [](const auto& entry) { return entry.first.rfind("bin/", 0) == 0; });
        return all;
    }
};

// Names that start with "." are the scratch copies; none may be left behind.
inline std::vector<std::string> scratchLeft(const fs::path& folder) {
    std::vector<std::string> left;
    if (!fs::exists(folder)) return left;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.path().filename().string().front() == '.') left.push_back(e.path().string());
    return left;
}

}  // namespace verdanel::testing
