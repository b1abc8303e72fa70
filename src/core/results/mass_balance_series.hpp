#pragma once
// A scenario's stored mass balance as the result window's "물질 수지" page and
// verdanel-cli balance show it: the hourly rows of a search, the stacked
// shares of the applied mass over time, the final hour's table and the CSV
// file of all rows.
#include <array>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "core/common/mass_balance.hpp"
#include "core/common/model_kind.hpp"

namespace verdanel {

class Prompter;
class StoreConnection;

struct MassBalanceRecord {
    int month = 0, day = 0, hour = 0, minute = 0;
    MassBalanceRow balance;
};

struct MassBalanceRows {
    std::vector<MassBalanceRecord> rows;
    std::string error;  // the store's words when the search was refused ("" otherwise)
    bool empty() const { return rows.empty(); }
};

// The scenario's mass-balance rows whose "MMDD" lies between the bounds, with
// the rules of the output search (ResultSearch): a start after the end is a
// range across New Year, in the order the run stored them. Says nothing to
// the user: no rows (a run made before balances were kept) is an empty
// result, a refused search an empty result with the store's words.
MassBalanceRows searchMassBalance(StoreConnection& connection, ModelKind kind, const std::string& scenarioName,
                                  int startMonth, int startDay, int endMonth, int endDay);

// The chart's bands from the bottom up: what the compartments hold (air,
// plants, soil, water), then where the rest went (degraded, uptake, leached,
// outflow, carried away). Entries of kMassBalanceEntries.
inline constexpr std::array<int, 9> kBalanceBands{kBalanceAir,      kBalancePlant,   kBalanceSoil,
                                                  kBalanceWater,    kBalanceDegraded, kBalanceUptake,
                                                  kBalanceLeached,  kBalanceOutflow, kBalanceCarriedAway};
using BandTops = std::array<double, kBalanceBands.size()>;

// One entry of the row as a share of the mass applied so far (0 while nothing was applied).
double balanceShare(const MassBalanceRow& balance, int entry);

// For each row, the top of every band as a share of the mass applied so far:
// the sum of the shares of the bands up to it (the last top is 1 less the
// closure's share). All 0 while nothing has been applied.
std::vector<BandTops> stackedShares(const MassBalanceRows& rows);

// "MM-DD HH:MM" of a row.
std::string balanceTimeText(const MassBalanceRecord& record);

// One line of the final hour's table: its label, the mass in µg ("%e") and
// its share of the applied mass in per cent ("" for applied itself).
struct BalanceLine {
    const char* label;
    std::string mass;
    std::string percent;
};
std::vector<BalanceLine> balanceLines(const MassBalanceRow& balance);

// The CSV file of the rows: scenario, unit, then one line per row with
// month, day, hour, minute and every entry ("%e"), CP949 with CRLF like the
// result export.
void writeMassBalanceCsv(std::ostream& out, const MassBalanceRows& rows, const std::string& scenarioName);
bool exportMassBalanceCsv(const std::filesystem::path& path, const MassBalanceRows& rows,
                          const std::string& scenarioName, Prompter& prompter);

}  // namespace verdanel
