#pragma once
// verdanel-cli endpoints: the exposure endpoints of every value column of a
// search, as a table or as JSON.
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "core/common/model_kind.hpp"
#include "core/results/exposure_endpoints.hpp"
#include "core/results/result_columns.hpp"

namespace verdanel::cli {

// The value columns of the result table, in value order: header and index.
std::vector<const ResultColumn*> valueColumns(ModelKind kind);

// "COLUMN=VALUE" into thresholds[k]; the reason when it cannot be taken.
std::string takeThreshold(const std::string& text, const std::vector<const ResultColumn*>& columns,
                          std::vector<std::optional<double>>& thresholds);

// The "columns" object of --json: each column's endpoints under its header
// (numbers as JSON numbers, null where there is none). Sweeps give it per variant.
nlohmann::ordered_json columnsJson(const std::vector<ColumnEndpoints>& all,
                                   const std::vector<const ResultColumn*>& columns);

// The command's arguments after "endpoints", on the store the connection text
// names. `usage` prints the usage with a reason and gives the exit code 2.
int endpointsCommand(const std::string& connectionText, std::vector<std::string> args,
                     int (*usage)(const std::string& why));

}  // namespace verdanel::cli
