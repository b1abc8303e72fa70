#include "core/store/sample_chemicals.hpp"

#include <fstream>

#include "core/common/messages.hpp"
#include "core/common/text_format.hpp"
#include "core/common/utf8_path.hpp"
#include "core/store/schema.hpp"

namespace verdanel {

namespace {
std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    while (true) {
        auto tab = line.find('\t', start);
        cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return cells;
}
}  // namespace

SampleChemicals readSampleChemicals(const std::string& path) {
    SampleChemicals result;
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in) {
        result.error = fillMessage(msg::kSampleFileUnreadable, path);
        return result;
    }
    std::string line;
    bool headerSeen = false;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        auto cells = splitTabs(line);
        if (cells.size() != kSampleChemicalColumnCount) {
            result.error = fillMessage(msg::kSampleFileUnreadable, path) + " (" + std::to_string(lineNumber) + ")";
            return result;
        }
        if (!headerSeen) {
            for (std::size_t c = 0; c < kSampleChemicalColumnCount; ++c) {
                if (cells[c] != chemicalColumns()[c]) {
                    result.error = fillMessage(msg::kSampleFileUnreadable, path) + " (" + cells[c] + ")";
                    return result;
                }
            }
            headerSeen = true;
            continue;
        }
        std::array<std::string, kSampleChemicalColumnCount> row;
        for (std::size_t c = 0; c < kSampleChemicalColumnCount; ++c) row[c] = cells[c];
        result.rows.push_back(std::move(row));
    }
    if (!headerSeen) {
        result.error = fillMessage(msg::kSampleFileUnreadable, path);
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace verdanel
