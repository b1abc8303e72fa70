#include "core/results/chart_layout.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "core/common/number_text.hpp"
#include "core/results/result_messages.hpp"

namespace verdanel {

namespace {

// Coordinates further out than this are off every screen; holding them there
// keeps the integer conversion defined and the painter's clipping cheap.
constexpr double kFarAway = 1'000'000.0;

bool isChecked(const std::vector<bool>& checked, int k) {
    return k >= 0 && static_cast<std::size_t>(k) < checked.size() && checked[static_cast<std::size_t>(k)];
}

// Single precision, then truncated towards zero.
int truncated(float v) { return static_cast<int>(v); }

// A double coordinate as the chart keeps it: rounded to single precision and
// truncated; NaN goes to `fallback`.
int screenCoordinate(double v, int fallback) {
    if (std::isnan(v)) return fallback;
    if (v > kFarAway) v = kFarAway;
    if (v < -kFarAway) v = -kFarAway;
    return truncated(static_cast<float>(v));
}

// The column x of row i: i x step + L, all in single precision.
float rowX(int row, float step, int left) { return static_cast<float>(row) * step + static_cast<float>(left); }

int rowScreenX(int row, const ChartScales& scales, PlotRect rect) {
    const float x = rowX(row, scales.horizontalStep, rect.left);
    return screenCoordinate(static_cast<double>(x), rect.left);
}

// B - scale x value: the scale is single precision, the value a double.
int valueScreenY(double value, const ChartScales& scales, PlotRect rect) {
    return screenCoordinate(rect.bottom - static_cast<double>(scales.verticalScale) * value, rect.bottom);
}

std::string dateText(const ResultRow& r) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d-%02d %02d:%02d", r.month, r.day, r.hour, r.minute);
    return text;
}

// The points of one series that fall in the same pixel column, reduced to the
// ones that decide what the column shows.
class ColumnReducer {
public:
    explicit ColumnReducer(std::vector<ChartPoint>& out) : out_(out) {}

    void add(ChartPoint p, long at) {
        if (open_ && p.x == first_.p.x) {
            if (p.y < low_.p.y) low_ = {p, at};
            if (p.y > high_.p.y) high_ = {p, at};
            last_ = {p, at};
            return;
        }
        flush();
        open_ = true;
        first_ = low_ = high_ = last_ = {p, at};
    }

    // Emits first, the lowest and highest in the order they came, then last,
    // each once; a point equal to the one before it adds nothing to the line.
    void flush() {
        if (!open_) return;
        open_ = false;
        const Tagged& early = low_.at <= high_.at ? low_ : high_;
        const Tagged& late = low_.at <= high_.at ? high_ : low_;
        long emitted = first_.at - 1;
        for (const Tagged* t : std::initializer_list<const Tagged*>{&first_, &early, &late, &last_}) {
            if (t->at <= emitted) continue;
            emitted = t->at;
            if (out_.empty() || !(out_.back() == t->p)) out_.push_back(t->p);
        }
    }

private:
    struct Tagged {
        ChartPoint p;
        long at = 0;  // position in the full line
    };
    std::vector<ChartPoint>& out_;
    bool open_ = false;
    Tagged first_, low_, high_, last_;
};

}  // namespace

ApplyOutcome applyScales(const ResultBuffer* buffer, const std::vector<bool>& checked, PlotRect rect) {
    if (buffer == nullptr || buffer->empty()) return {msg::kNoModellingData, std::nullopt};

    std::vector<int> series;
    for (int k = 0; k < buffer->valueCount; ++k)
        if (isChecked(checked, k)) series.push_back(k);
    if (series.empty()) return {msg::kSelectSeries, std::nullopt};

    double greatest = 0;
    for (const ResultRow& r : buffer->rows)
        for (int k : series)
            if (r.values[static_cast<std::size_t>(k)] > greatest) greatest = r.values[static_cast<std::size_t>(k)];

    ChartScales s;
    s.verticalMaximum = greatest * 1.2;
    s.horizontalStep =
        static_cast<float>(static_cast<double>(rect.right - rect.left) / static_cast<double>(buffer->size()));
    if (s.verticalMaximum > 0) {
        // A maximum so small that the scale leaves single precision keeps the
        // largest scale there is instead of infinity.
        const double scale = static_cast<double>(rect.bottom - rect.top) / s.verticalMaximum;
        s.verticalScale = static_cast<float>(std::fmin(scale, static_cast<double>(FLT_MAX)));
    }
    return {std::string(), s};
}

std::vector<DateLabel> dateLabels(const ResultBuffer* buffer, const ChartScales& scales, PlotRect rect) {
    std::vector<DateLabel> labels;
    if (buffer == nullptr) return labels;
    const int n = static_cast<int>(buffer->size());
    int lastRight = 0;
    for (int i = 0; i < n; ++i) {
        const float x = rowX(i, scales.horizontalStep, rect.left);
        const int left = screenCoordinate(static_cast<double>(x - 35), rect.left);
        if (!(lastRight < left)) continue;
        const int right = screenCoordinate(static_cast<double>(x + 35), rect.left);
        DateLabel label;
        label.row = i;
        label.x = x;
        label.gridX = screenCoordinate(static_cast<double>(x), rect.left);
        label.box = {left, rect.bottom + 5, right, rect.bottom + 15};
        label.text = dateText(buffer->rows[static_cast<std::size_t>(i)]);
        labels.push_back(std::move(label));
        lastRight = right;
    }
    return labels;
}

std::vector<ValueLabel> valueLabels(const ChartScales& scales, PlotRect rect) {
    std::vector<ValueLabel> labels;
    if (scales.verticalMaximum == 0) return labels;
    const int height = rect.bottom - rect.top;
    int lastTop = 16843009;  // below every coordinate
    for (int u = 1; u <= 10; ++u) {
        const float yf = static_cast<float>(rect.bottom - static_cast<double>(height * u) * 0.1);
        const int y = truncated(yf);
        const LabelBox box{rect.left - 57, y - 5, rect.left - 2, y + 5};
        if (!(lastTop > box.bottom)) continue;
        labels.push_back({u, y, box, formatE2(u * scales.verticalMaximum * 0.1)});
        lastTop = box.top;
    }
    return labels;
}

ChartPoint seriesPoint(int row, double value, const ChartScales& scales, PlotRect rect) {
    return {rowScreenX(row, scales, rect), valueScreenY(value, scales, rect)};
}

std::vector<ChartPoint> seriesPoints(const ResultBuffer& buffer, int series, const ChartScales& scales, PlotRect rect) {
    std::vector<ChartPoint> points;
    if (series < 0 || series >= buffer.valueCount) return points;
    points.reserve(buffer.size() + 1);
    points.push_back({rect.left, rect.bottom});
    const int n = static_cast<int>(buffer.size());
    for (int j = 0; j < n; ++j)
        points.push_back(seriesPoint(
            j, buffer.rows[static_cast<std::size_t>(j)].values[static_cast<std::size_t>(series)], scales, rect));
    return points;
}

std::vector<std::vector<ChartPoint>> seriesPolylines(const ResultBuffer& buffer, const std::vector<int>& wanted,
                                                     const ChartScales& scales, PlotRect rect) {
    std::vector<std::vector<ChartPoint>> lines(wanted.size());
    std::vector<ColumnReducer> reducers;
    std::vector<std::size_t> columns;  // value index of each line, or none for a series the buffer lacks
    reducers.reserve(wanted.size());
    for (std::size_t s = 0; s < wanted.size(); ++s) {
        reducers.emplace_back(lines[s]);
        if (wanted[s] >= 0 && wanted[s] < buffer.valueCount) {
            columns.push_back(s);
            reducers.back().add({rect.left, rect.bottom}, -1);
        }
    }
    const int n = static_cast<int>(buffer.size());
    // The screen width is a few hundred columns; a line never needs more.
    for (std::size_t s : columns) lines[s].reserve(std::min<std::size_t>(buffer.size() + 1, 4096));
    for (int j = 0; j < n; ++j) {
        const ResultRow& r = buffer.rows[static_cast<std::size_t>(j)];
        const int x = rowScreenX(j, scales, rect);
        for (std::size_t s : columns)
            reducers[s].add({x, valueScreenY(r.values[static_cast<std::size_t>(wanted[s])], scales, rect)}, j);
    }
    for (std::size_t s : columns) reducers[s].flush();
    return lines;
}

}  // namespace verdanel
