#include "core/results/result_columns.hpp"

#include <cstdio>

#include "core/common/number_text.hpp"
#include "core/results/result_messages.hpp"

namespace verdanel {

namespace {
constexpr ColumnAlign C = ColumnAlign::Center;
constexpr ColumnAlign R = ColumnAlign::Right;
constexpr ColumnField V = ColumnField::Value;

ResultColumn dateColumn(const char* header, int width, ColumnField field) { return {header, width, field, -1, C}; }
ResultColumn valueColumn(const char* header, int width, int index, ColumnAlign align = R) {
    return {header, width, V, index, align};
}

std::string twoDigits(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", value);
    return buf;
}
}  // namespace

const std::vector<ResultColumn>& detailColumns(ModelKind kind) {
    static const std::vector<ResultColumn> stream = {
        dateColumn("month", 48, ColumnField::Month), dateColumn("day", 31, ColumnField::Day),
        dateColumn("hour", 42, ColumnField::Hour),   dateColumn("min", 31, ColumnField::Minute),
        valueColumn("Cair(S1)", 100, 0),             valueColumn("Cair(A1)", 100, 1),
        valueColumn("Cair(W)", 100, 2),              valueColumn("Cair(A2)", 0, 3),
        valueColumn("Cair(S2)", 0, 4),               valueColumn("Csoil(S1)", 104, 5),
        valueColumn("Csoil(A1)", 104, 6),            valueColumn("Csoil(A2)", 0, 7),
        valueColumn("Csoil(S2)", 0, 8),              valueColumn("Cplt(S1)", 102, 9),
        valueColumn("Cplt(A1)", 102, 10),            valueColumn("Cplt(A2)", 0, 11),
        valueColumn("Cplt(S2)", 0, 12),              valueColumn("Cwater", 100, 13),
    };
    static const std::vector<ResultColumn> ditchPond = {
        dateColumn("month", 70, ColumnField::Month), dateColumn("day", 60, ColumnField::Day),
        dateColumn("hour", 60, ColumnField::Hour),   dateColumn("min", 60, ColumnField::Minute),
        valueColumn("Cair(Spray)", 178, 0),          valueColumn("Cair(Water)", 178, 1),
        valueColumn("Cair(S2)", 0, 2),               valueColumn("Csoil(Spray)", 178, 3),
        valueColumn("Csoil(S2)", 0, 4),              valueColumn("Cplt(S1)", 0, 5),
        valueColumn("Cplt(S2)", 0, 6),               valueColumn("Cwater", 178, 7),
    };
    return kind == ModelKind::Stream ? stream : ditchPond;
}

const std::vector<ResultColumn>& briefColumns(ModelKind kind) {
    static const std::vector<ResultColumn> stream = {
        dateColumn("month", 79, ColumnField::Month), dateColumn("day", 79, ColumnField::Day),
        dateColumn("hour", 79, ColumnField::Hour),   dateColumn("min", 79, ColumnField::Minute),
        valueColumn("Cwater", 140, resultValueCount(ModelKind::Stream) - 1, C),
    };
    static const std::vector<ResultColumn> ditchPond = {
        dateColumn("month", 79, ColumnField::Month), dateColumn("day", 79, ColumnField::Day),
        dateColumn("hour", 79, ColumnField::Hour),   dateColumn("min", 79, ColumnField::Minute),
        valueColumn("Cwater", 140, resultValueCount(ModelKind::Ditch) - 1, C),
    };
    return kind == ModelKind::Stream ? stream : ditchPond;
}

std::string cellText(const ResultRow& row, const ResultColumn& column) {
    switch (column.field) {
        case ColumnField::Month: return twoDigits(row.month);
        case ColumnField::Day: return twoDigits(row.day);
        case ColumnField::Hour: return twoDigits(row.hour);
        case ColumnField::Minute: return twoDigits(row.minute);
        case ColumnField::Value:
            if (column.valueIndex < 0 || column.valueIndex >= kMaxResultValues) return std::string();
            return formatE(row.values[static_cast<std::size_t>(column.valueIndex)]);
    }
    return std::string();
}

const char* valueUnit(ModelKind kind, int valueIndex) {
    // Stream: five air boxes, four soils, four plants, the water; Ditch and
    // Pond: three air boxes, two soils, two plants, the water.
    const int plants = kind == ModelKind::Stream ? 9 : 5, water = resultValueCount(kind) - 1;
    if (valueIndex < 0 || valueIndex > water) return "";
    if (valueIndex == water) return "ppb";
    if (valueIndex >= plants) return "㎍/㎡";
    return "㎍/㎥";  // air and soil
}

const std::vector<ResultSeries>& resultSeries(ModelKind kind) {
    static const std::vector<ResultSeries> stream = {
        {0, "Cair(spray1)", "Cair(spray)", true},     {1, "Cair(adj1)", "Cair(adj)", true},
        {2, "Cair(water)", "Cair(water)", true},      {3, "Cair(adj2)", "Cair(adj2)", false},
        {4, "Cair(spray2)", "Cair(spray2)", false},   {5, "Csoil(spray1)", "Csoil(spray)", true},
        {6, "Csoil(adj1)", "Csoil(adj)", true},       {7, "Csoil(adj2)", "Csoil(adj2)", false},
        {8, "Csoil(spray2)", "Csoil(spray2)", false}, {9, "Cplt(spray1)", "Cplt(spray1)", false},
        {10, "Cplt(adj1)", "Cplt(adj1)", false},      {11, "Cplt(adj2)", "Cplt(adj2)", false},
        {12, "Cplt(spray2)", "Cplt(spray2)", false},  {13, "Cwater", "Cwater", true},
    };
    // The Ditch and Pond check boxes "Cair(spray)" and "Csoil(spray)" draw the
    // second sprayed strip (values 2 and 4), not the first.
    static const std::vector<ResultSeries> ditchPond = {
        {0, "Cair(spray1)", "Cair(spray1)", false},   {1, "Cair(water)", "Cair(water)", true},
        {2, "Cair(spray2)", "Cair(spray)", true},     {3, "Csoil(spray1)", "Csoil(spray1)", false},
        {4, "Csoil(spray2)", "Csoil(spray)", true},   {5, "Cplt(spray1)", "Cplt(spray1)", false},
        {6, "Cplt(spray2)", "Cplt(spray2)", false},   {7, "Cwater", "Cwater", true},
    };
    return kind == ModelKind::Stream ? stream : ditchPond;
}

const char* resultWindowTitle(ModelKind kind) {
    switch (kind) {
        case ModelKind::Stream: return msg::kStreamResultTitle;
        case ModelKind::Ditch: return msg::kDitchResultTitle;
        case ModelKind::Pond: return msg::kPondResultTitle;
    }
    return msg::kStreamResultTitle;
}

}  // namespace verdanel
