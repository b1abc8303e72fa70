#pragma once
// The material manager's work on the chemical table, one operation per
// command of the window: the window keeps its name list, selection and
// fields, calls the operation and shows what comes back. Every message and
// question goes through the Prompter with the caption "Material Manager".
#include <optional>
#include <string>
#include <vector>

#include "core/chemicals/chemical_record.hpp"

namespace verdanel {

class Prompter;
class StoreConnection;

// Every chemical name in name order. With none, tells the user to add one.
std::vector<std::string> listChemicalNames(StoreConnection& connection, Prompter& prompter);

// The 21 stored property texts of a chemical (also what "초기화" reloads).
// When the chemical is gone, says so and gives nothing: the fields stay as they are.
std::optional<PropertyTexts> showChemical(StoreConnection& connection, Prompter& prompter,
                                          const std::string& name);

struct ApplyOutcome {
    bool confirmed = false;  // the user answered OK
    bool stored = false;     // the store took the update
    PropertyTexts written;   // the texts sent, estimates included
};

// Asks before overwriting; on OK stores the texts as typed, with the diffusion
// estimates filled in where the molecular weight allows. The window then
// shows the chemical again so its fields hold what the store now holds.
ApplyOutcome applyChemicalEdits(StoreConnection& connection, Prompter& prompter, const std::string& name,
                                const PropertyTexts& typed);

struct AddOutcome {
    bool accepted = false;  // the add window closes with OK (even when the store refused the insert)
    bool stored = false;    // the new row is in the store
};

// The add window's OK: refuses an empty name and a name already present
// (the window stays open), otherwise inserts the name as typed.
AddOutcome addChemical(StoreConnection& connection, Prompter& prompter, const std::string& name);

struct DeleteOutcome {
    bool confirmed = false;  // the user answered OK: drop the list entry and empty the fields
    bool stored = false;     // the store took the delete
};

// Asks, then deletes the chemical's row. Scenarios naming it are left alone.
DeleteOutcome deleteChemical(StoreConnection& connection, Prompter& prompter, const std::string& name);

}  // namespace verdanel
