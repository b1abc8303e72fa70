#pragma once
// One row of material_info as its 23 texts in column order: the name, the 21
// property texts as typed (empty when null) and the usable flag.
#include <array>
#include <string>

namespace verdanel {

inline constexpr int kChemicalColumnCount = 23;
using ChemicalRecord = std::array<std::string, kChemicalColumnCount>;

// Column positions the model reads.
namespace chem_col {
inline constexpr int kName = 0;
inline constexpr int kMolecularWeight = 2;
inline constexpr int kWaterSolubility = 4;
inline constexpr int kVaporPressure = 5;
inline constexpr int kHenryConstant = 6;
inline constexpr int kLogKow = 9;
inline constexpr int kHalfLifeAir = 10;
inline constexpr int kHalfLifeWater = 11;
inline constexpr int kHalfLifeSoil = 12;
inline constexpr int kDiffusivityAir = 20;
inline constexpr int kDiffusivityWater = 21;
inline constexpr int kUsable = 22;

// The ten properties a chemical needs before a scenario may use it.
inline constexpr std::array<int, 10> kRequired{2, 4, 5, 6, 9, 10, 11, 12, 20, 21};
}  // namespace chem_col

// The 21 property texts (columns 1 to 21) as the material manager edits them:
// texts[k - 1] belongs to column k.
inline constexpr int kPropertyCount = 21;
using PropertyTexts = std::array<std::string, kPropertyCount>;

}  // namespace verdanel
