#pragma once
// What the result pages and the chart show of a result row, as plain data:
// the columns of the two lists (header, width, alignment, which field) and
// the series the chart offers (name, check box caption, shown or hidden).
#include <string>
#include <vector>

#include "core/common/model_kind.hpp"
#include "core/results/result_buffer.hpp"

namespace verdanel {

enum class ColumnField { Month, Day, Hour, Minute, Value };
enum class ColumnAlign { Center, Right };

struct ResultColumn {
    const char* header;
    int width;            // pixels; 0 keeps the column out of sight until the user widens it
    ColumnField field;
    int valueIndex;       // index into ResultRow::values when field is Value, else -1
    ColumnAlign align;
    bool hidden() const { return width == 0; }
};

// The detailed results page: 18 columns for Stream, 12 for Ditch and Pond.
const std::vector<ResultColumn>& detailColumns(ModelKind kind);
// The list of the final results page: month, day, hour, min and Cwater, all centred.
const std::vector<ResultColumn>& briefColumns(ModelKind kind);

// A cell as the lists show it: month, day, hour and minute as the store keeps
// them (two digits), values in the "%e" form (1.234560e-005).
std::string cellText(const ResultRow& row, const ResultColumn& column);

// The unit of value k of a row: air and soil in µg per m³, plants in µg per
// m² of leaf, water in µg per L (ppb), as the summary's headers name them.
const char* valueUnit(ModelKind kind, int valueIndex);

struct ResultSeries {
    int valueIndex;       // k: value k of a row; check box 1110 + k, colour button 1068 + k
    const char* name;     // value name of the store and the CSV header, e.g. "Cair(spray1)"
    const char* caption;  // caption of the series' check box
    bool shown;           // hidden series cannot be chosen for the chart
};

// One entry per value of a row, in value order.
const std::vector<ResultSeries>& resultSeries(ModelKind kind);

// "Stream Model", "Ditch Model", "Pond Model".
const char* resultWindowTitle(ModelKind kind);

}  // namespace verdanel
