#pragma once
// What the scenario window asks of the chemical table: the usable flags, the
// names it may offer and the row of the chosen chemical.
#include <optional>
#include <string>
#include <vector>

#include "core/chemicals/chemical_record.hpp"

namespace verdanel {

class Prompter;
class StoreConnection;

// Rewrites the usable flag of every chemical, changed or not, in one
// transaction. A rejected statement is shown by the store accessor and stops
// the work with no flag changed; false then.
bool recomputeUsableFlags(StoreConnection& connection, Prompter& prompter);

// Recomputes the flags, then lists the usable chemicals by name. With none,
// tells the user to edit or add chemicals in the material manager.
std::vector<std::string> usableChemicalNames(StoreConnection& connection, Prompter& prompter);

// The chemical's row as 23 texts. When it is gone, says so and gives nothing,
// so the caller keeps the record it had.
std::optional<ChemicalRecord> loadChemical(StoreConnection& connection, Prompter& prompter,
                                           const std::string& name);

}  // namespace verdanel
