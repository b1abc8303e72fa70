#pragma once
// The rows of one search as the result window keeps them: the time of each
// output minute as four integers and the model's concentrations as doubles.
// The table models, the chart, the summary and the CSV export all read this.
#include <array>
#include <cstddef>
#include <vector>

#include "core/common/model_kind.hpp"

namespace verdanel {

inline constexpr int kMaxResultValues = 14;

// 14 values for the Stream model, 8 for the Ditch and Pond models.
constexpr int resultValueCount(ModelKind kind) { return kind == ModelKind::Stream ? 14 : 8; }

struct ResultRow {
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    // Only the first resultValueCount(kind) entries are used; the rest stay 0.
    std::array<double, kMaxResultValues> values{};
};

// A row of `count` values as a run hands them over.
inline ResultRow makeResultRow(int month, int day, int hour, int minute, const double* values, int count) {
    ResultRow r;
    r.month = month;
    r.day = day;
    r.hour = hour;
    r.minute = minute;
    for (int i = 0; i < count; ++i) r.values[static_cast<std::size_t>(i)] = values[i];
    return r;
}

// The three series the summary reads: Cair(spray1), Csoil(spray1), Cwater.
constexpr int airSeriesIndex(ModelKind) { return 0; }
constexpr int soilSeriesIndex(ModelKind kind) { return kind == ModelKind::Stream ? 5 : 3; }
constexpr int waterSeriesIndex(ModelKind kind) { return resultValueCount(kind) - 1; }

struct ResultBuffer {
    ModelKind kind = ModelKind::Stream;
    int valueCount = resultValueCount(ModelKind::Stream);
    std::vector<ResultRow> rows;

    ResultBuffer() = default;
    explicit ResultBuffer(ModelKind model) : kind(model), valueCount(resultValueCount(model)) {}

    bool empty() const { return rows.empty(); }
    std::size_t size() const { return rows.size(); }

    int airIndex() const { return airSeriesIndex(kind); }
    int soilIndex() const { return soilSeriesIndex(kind); }
    int waterIndex() const { return waterSeriesIndex(kind); }
};

}  // namespace verdanel
