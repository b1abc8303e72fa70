// verdanel-cli: the store and the model without a screen.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "core/store/schema.hpp"

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  verdanel-cli init-store PATH [--chemicals FILE.tsv]\n";

int usage() {
    std::cerr << kUsage;
    return 2;
}

int initStore(const std::vector<std::string>& args) {
    std::string path;
    std::string chemicals;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--chemicals" && i + 1 < args.size()) chemicals = args[++i];
        else if (path.empty() && args[i].rfind("--", 0) != 0) path = args[i];
        else return usage();
    }
    if (path.empty()) return usage();
    auto outcome = verdanel::createStore(path, chemicals);
    if (!outcome.ok) {
        std::cerr << outcome.error << '\n';
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usage();
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "init-store") return initStore(args);
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    return usage();
}
