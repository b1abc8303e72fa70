#pragma once
// Sample chemicals for a new store: a tab-separated UTF-8 file whose "#"
// lines are comments (sources, units) and whose first other line names the
// columns mat_name to diffusivity_water in table order.
#include <array>
#include <string>
#include <vector>

namespace verdanel {

inline constexpr std::size_t kSampleChemicalColumnCount = 22;

struct SampleChemicals {
    bool ok = false;
    std::string error;
    std::vector<std::array<std::string, kSampleChemicalColumnCount>> rows;
};

SampleChemicals readSampleChemicals(const std::string& path);

}  // namespace verdanel
