#pragma once
// Where the sprayed chemical is at one moment of a run and where it went, in
// µg: what the compartments hold now, and the running totals since the start
// of the run. The engines hand one such row per simulated hour to their row
// sink; the store keeps it in the model's mass_balance_* table; the result
// window and verdanel-cli read it back.
//
// Every mass the fate step moves ends up in exactly one entry, so
//   applied = air + plant + soil + water + degraded + uptake + leached + outflow + carriedAway
// up to rounding; closure is what remains of applied after all the others.
#include <array>

namespace verdanel {

struct MassBalanceRow {
    // Held now: every air box, the plants and the soils of every strip, the water.
    double air = 0, plant = 0, soil = 0, water = 0;
    // Totals since the start of the run.
    double applied = 0;      // what the sprayer put into the scene
    double degraded = 0;     // in air, on plants, in soil and in water
    double uptake = 0;       // into the leaf (penetration) and through the roots
    double leached = 0;      // through the soil
    double outflow = 0;      // carried downstream by the water (none in a pond)
    double carriedAway = 0;  // air the wind moved out of the scene, spray drifting out of it
    double closure = 0;      // applied less everything else

    double present() const { return air + plant + soil + water; }
    double accounted() const { return present() + degraded + uptake + leached + outflow + carriedAway; }
    void close() { closure = applied - accounted(); }
};

// One entry of the row: its store column and its member.
struct MassBalanceEntry {
    const char* column;
    double MassBalanceRow::*value;
};

enum MassBalanceIndex : int {
    kBalanceAir, kBalancePlant, kBalanceSoil, kBalanceWater, kBalanceApplied, kBalanceDegraded,
    kBalanceUptake, kBalanceLeached, kBalanceOutflow, kBalanceCarriedAway, kBalanceClosure, kBalanceEntryCount
};

// In the row's order; the store's columns carry these names.
inline constexpr std::array<MassBalanceEntry, kBalanceEntryCount> kMassBalanceEntries{{
    {"mass_air", &MassBalanceRow::air},
    {"mass_plant", &MassBalanceRow::plant},
    {"mass_soil", &MassBalanceRow::soil},
    {"mass_water", &MassBalanceRow::water},
    {"mass_applied", &MassBalanceRow::applied},
    {"mass_degraded", &MassBalanceRow::degraded},
    {"mass_uptake", &MassBalanceRow::uptake},
    {"mass_leached", &MassBalanceRow::leached},
    {"mass_outflow", &MassBalanceRow::outflow},
    {"mass_carried_away", &MassBalanceRow::carriedAway},
    {"mass_closure", &MassBalanceRow::closure},
}};

}  // namespace verdanel
