#include "core/results/chart_layout.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "core/common/number_text.hpp"
#include "core/results/exposure_messages.hpp"
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

// How far above the bottom edge a value lies on the logarithmic axis, in
// pixels; not above 0 for values at or below 10^logBottom (and for 0 and NaN).
double logHeight(double value, const ChartScales& scales) {
    if (!(value > 0)) return 0;
    return (std::log10(value) - scales.logBottom) * static_cast<double>(scales.logScale);
}

int logScreenY(double value, const ChartScales& scales, PlotRect rect) {
    const double up = logHeight(value, scales);
    return up > 0 ? screenCoordinate(rect.bottom - up, rect.bottom) : rect.bottom;
}

int axisScreenY(double value, const ChartScales& scales, PlotRect rect, ValueAxis axis) {
    return axis == ValueAxis::Linear ? valueScreenY(value, scales, rect) : logScreenY(value, scales, rect);
}

// The rows of the logarithmic axis found without a logarithm for nearly every
// value. Each pixel row y of the plot has a band of values that certainly lie
// on it: those whose height above the bottom edge is at least a hundredth of
// a pixel inside the row's edges, further than rounding can move them. A
// value inside the band of its series' last row or a neighbouring one is
// placed at once; any other value is placed by logScreenY itself. So every
// value lands exactly where logScreenY puts it.
class LogRows {
public:
    LogRows(const ChartScales& scales, PlotRect rect) : scales_(scales), rect_(rect) {
        if (!(scales.logScale > 0)) return;
        constexpr double kSlack = 0.01;        // pixels
        constexpr double kPowError = 1e-12;    // relative, far above pow()'s own
        const auto scale = static_cast<double>(scales.logScale);
        for (int y = std::max(rect.top, 0); y < rect.bottom; ++y) {
            const double lowest = rect.bottom - y - 1 + kSlack, highest = rect.bottom - y - kSlack;
            low_.push_back(std::pow(10.0, scales.logBottom + lowest / scale) * (1 + kPowError));
            high_.push_back(std::pow(10.0, scales.logBottom + highest / scale) * (1 - kPowError));
        }
        first_ = std::max(rect.top, 0);
        // Below 10^logBottom (and at or below 0, and NaN) a value lies on the bottom edge.
        bottomEdge_ = std::pow(10.0, scales.logBottom) * (1 - kPowError);
    }

    // The row of `value`; `band` is the series' last band (-1 at first) and becomes this value's.
    int y(double value, int& band) const {
        if (!(value > bottomEdge_)) return rect_.bottom;
        const int count = static_cast<int>(low_.size());
        if (band >= 0) {
            // The last band or a neighbour, chosen without a branch: a
            // noisy series moves up and down a row at random.
            const auto at = static_cast<std::size_t>(band);
            const int b = band - static_cast<int>(value > high_[at]) + static_cast<int>(value < low_[at]);
            if (b >= 0 && b < count && value >= low_[static_cast<std::size_t>(b)] &&
                value <= high_[static_cast<std::size_t>(b)]) {
                band = b;
                return first_ + b;
            }
        }
        const int y = logScreenY(value, scales_, rect_);
        band = y >= first_ && y - first_ < count ? y - first_ : -1;
        return y;
    }

private:
    ChartScales scales_;
    PlotRect rect_;
    int first_ = 0;
    double bottomEdge_ = HUGE_VAL;    // no scale: everything on the bottom edge
    std::vector<double> low_, high_;  // by pixel row from first_ down
};

bool isUsableThreshold(double t) { return std::isfinite(t) && t > 0; }

// The decade of a finite value above 0: floor(log10(v)).
int decadeOf(double v) { return static_cast<int>(std::floor(std::log10(v))); }

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

ApplyOutcome applyScales(const ResultBuffer* buffer, const std::vector<bool>& checked, PlotRect rect,
                         std::optional<double> threshold) {
    if (buffer == nullptr || buffer->empty()) return {msg::kNoModellingData, std::nullopt};

    std::vector<int> series;
    for (int k = 0; k < buffer->valueCount; ++k)
        if (isChecked(checked, k)) series.push_back(k);
    if (series.empty()) return {msg::kSelectSeries, std::nullopt};

    double greatest = 0;
    double leastAboveZero = HUGE_VAL;  // for the logarithmic axis
    for (const ResultRow& r : buffer->rows)
        for (int k : series) {
            const double v = r.values[static_cast<std::size_t>(k)];
            if (v > greatest) greatest = v;
            if (v > 0 && v < leastAboveZero) leastAboveZero = v;
        }
    const bool withThreshold = threshold && isUsableThreshold(*threshold);
    const double reach = withThreshold ? std::max(greatest, *threshold) : greatest;

    ChartScales s;
    s.verticalMaximum = reach * 1.2;
    s.horizontalStep =
        static_cast<float>(static_cast<double>(rect.right - rect.left) / static_cast<double>(buffer->size()));
    if (s.verticalMaximum > 0) {
        // A maximum so small that the scale leaves single precision keeps the
        // largest scale there is instead of infinity.
        const double scale = static_cast<double>(rect.bottom - rect.top) / s.verticalMaximum;
        s.verticalScale = static_cast<float>(std::fmin(scale, static_cast<double>(FLT_MAX)));
    }
    if (reach > 0 && std::isfinite(reach)) {
        s.logTop = decadeOf(reach) + 1;
        int bottom = std::isfinite(leastAboveZero) ? decadeOf(leastAboveZero) : s.logTop - 1;
        bottom = std::max(bottom, s.logTop - kLogDecades);
        if (withThreshold) bottom = std::min(bottom, decadeOf(*threshold));
        s.logBottom = std::min(bottom, s.logTop - 1);
        s.logScale = static_cast<float>(static_cast<double>(rect.bottom - rect.top) / (s.logTop - s.logBottom));
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

std::vector<ValueLabel> valueLabels(const ChartScales& scales, PlotRect rect, ValueAxis axis) {
    std::vector<ValueLabel> labels;
    int lastTop = 16843009;  // below every coordinate
    // A label at y, drawn when its box ends above the last drawn one.
    auto offer = [&](int step, int y, double value) {
        const LabelBox box{rect.left - 57, y - 5, rect.left - 2, y + 5};
        if (!(lastTop > box.bottom)) return;
        labels.push_back({step, y, box, formatE2(value)});
        lastTop = box.top;
    };
    if (axis == ValueAxis::Logarithmic) {
        if (scales.logScale == 0) return labels;
        for (int d = scales.logBottom + 1; d <= scales.logTop; ++d) {
            const double up = static_cast<double>(d - scales.logBottom) * static_cast<double>(scales.logScale);
            offer(d, truncated(static_cast<float>(rect.bottom - up)), std::pow(10.0, d));
        }
        return labels;
    }
    if (scales.verticalMaximum == 0) return labels;
    const int height = rect.bottom - rect.top;
    for (int u = 1; u <= 10; ++u) {
        const float yf = static_cast<float>(rect.bottom - static_cast<double>(height * u) * 0.1);
        offer(u, truncated(yf), u * scales.verticalMaximum * 0.1);
    }
    return labels;
}

ChartPoint seriesPoint(int row, double value, const ChartScales& scales, PlotRect rect, ValueAxis axis) {
    return {rowScreenX(row, scales, rect), axisScreenY(value, scales, rect, axis)};
}

std::vector<ChartPoint> seriesPoints(const ResultBuffer& buffer, int series, const ChartScales& scales, PlotRect rect,
                                     ValueAxis axis) {
    std::vector<ChartPoint> points;
    if (series < 0 || series >= buffer.valueCount) return points;
    points.reserve(buffer.size() + 1);
    points.push_back({rect.left, rect.bottom});
    const int n = static_cast<int>(buffer.size());
    for (int j = 0; j < n; ++j)
        points.push_back(seriesPoint(
            j, buffer.rows[static_cast<std::size_t>(j)].values[static_cast<std::size_t>(series)], scales, rect, axis));
    return points;
}

std::vector<std::vector<ChartPoint>> seriesPolylines(const ResultBuffer& buffer, const std::vector<int>& wanted,
                                                     const ChartScales& scales, PlotRect rect, ValueAxis axis) {
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
    if (axis == ValueAxis::Linear) {
        for (int j = 0; j < n; ++j) {
            const ResultRow& r = buffer.rows[static_cast<std::size_t>(j)];
            const int x = rowScreenX(j, scales, rect);
            for (std::size_t s : columns)
                reducers[s].add({x, valueScreenY(r.values[static_cast<std::size_t>(wanted[s])], scales, rect)}, j);
        }
    } else {
        const LogRows logRows(scales, rect);
        std::vector<int> bands(columns.size(), -1);
        for (int j = 0; j < n; ++j) {
            const ResultRow& r = buffer.rows[static_cast<std::size_t>(j)];
            const int x = rowScreenX(j, scales, rect);
            for (std::size_t c = 0; c < columns.size(); ++c)
                reducers[columns[c]].add(
                    {x, logRows.y(r.values[static_cast<std::size_t>(wanted[columns[c]])], bands[c])}, j);
        }
    }
    for (std::size_t s : columns) reducers[s].flush();
    return lines;
}

std::optional<ThresholdLine> thresholdLine(double threshold, const std::string& column, const ChartScales& scales,
                                           PlotRect rect, ValueAxis axis) {
    if (!isUsableThreshold(threshold)) return std::nullopt;
    int y = 0;
    if (axis == ValueAxis::Linear) {
        if (scales.verticalScale == 0) return std::nullopt;
        y = valueScreenY(threshold, scales, rect);
    } else {
        if (scales.logScale == 0) return std::nullopt;
        const double up = logHeight(threshold, scales);
        // Below the bottom decade, beyond what rounding a power of ten can do.
        if (up < -0.5) return std::nullopt;
        y = screenCoordinate(rect.bottom - std::max(up, 0.0), rect.bottom);
    }
    if (y < rect.top || y > rect.bottom) return std::nullopt;
    constexpr int kTextWidth = 200, kTextHeight = 13;
    ThresholdLine line;
    line.y = y;
    const int right = rect.right - 4;
    line.box = y - 1 - kTextHeight >= rect.top ? LabelBox{right - kTextWidth, y - 1 - kTextHeight, right, y - 1}
                                               : LabelBox{right - kTextWidth, y + 2, right, y + 2 + kTextHeight};
    char text[160];
    std::snprintf(text, sizeof text, msg::kThresholdLineFormat, column.c_str(), formatE2(threshold).c_str());
    line.text = text;
    return line;
}

}  // namespace verdanel
