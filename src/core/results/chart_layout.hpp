#pragma once
// Where everything of the concentration chart goes, as plain numbers: the
// scales set by "apply", the date labels under the plot with their vertical
// grid lines, the value labels left of it with their horizontal grid lines,
// and the screen polyline of each series. The window only paints these.
//
// The arithmetic is the chart's own: scales kept in single precision,
// coordinates computed in single precision and truncated towards zero, and
// labels thinned by their boxes overlapping rather than by a tick interval.
//
// Two options go beyond that chart: a logarithmic value axis (whole
// decades, values at or below 0 on the bottom edge) and a threshold, which
// the scales reach up to and which is drawn as a line of its own. With the
// linear axis and no threshold everything is exactly as without them.
#include <optional>
#include <string>
#include <vector>

#include "core/results/result_buffer.hpp"

namespace verdanel {

// The plot rectangle L, T, R, B in the painting surface's pixels; R and B are
// the frame's right and bottom edges less one, so R - L and B - T are the
// frame's width and height less one.
struct PlotRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

enum class ValueAxis { Linear, Logarithmic };

// Set by "apply" only; a repaint never changes them.
struct ChartScales {
    double verticalMaximum = 0;  // 1.2 x the greatest checked value; 0 before any apply and after a delete
    float horizontalStep = 0;    // (R - L) / n
    float verticalScale = 0;     // (B - T) / vertical maximum; 0 when the maximum is 0
    // The logarithmic axis of the same apply: 10^logBottom on the bottom
    // edge, 10^logTop on the top edge. logTop is the decade above the
    // greatest checked value; logBottom the decade of the least checked
    // value above 0, but at most kLogDecades below logTop.
    int logBottom = 0;
    int logTop = 0;
    float logScale = 0;  // (B - T) / (logTop - logBottom); 0 when no checked value is above 0
};

// The decades a logarithmic axis shows at most below its top (the threshold's
// decade is shown even when it lies further down).
inline constexpr int kLogDecades = 8;

struct ApplyOutcome {
    std::string message;                // the text to show when the scales were not set, else empty
    std::optional<ChartScales> scales;  // the new scales; absent exactly when message is not empty
};

// "apply": the greatest value of the checked series over all rows (never below
// 0) times 1.2, and the two steps from it. checked[k] is series k's check box;
// entries past the end count as unchecked. A missing or empty buffer gives
// "검색된 모델링 데이터가 없습니다.", no checked series "항목을 선택하여 주세요.".
// A threshold (finite, above 0) counts as one more value, so that its line
// lies inside the plot on either axis.
ApplyOutcome applyScales(const ResultBuffer* buffer, const std::vector<bool>& checked, PlotRect rect,
                         std::optional<double> threshold = std::nullopt);

// A label box; right and bottom are exclusive, as the text is centred in it.
struct LabelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A date label that is drawn, with the vertical grid line at gridX from the
// bottom edge up to the top edge.
struct DateLabel {
    int row = 0;       // the result row it names
    float x = 0;       // row x = row x horizontal step + L
    int gridX = 0;     // x truncated
    LabelBox box;      // x - 35 .. x + 35 (each truncated), B + 5 .. B + 15
    std::string text;  // "%02d-%02d %02d:%02d": month, day, hour, minute
};

// The date labels that survive the overlap rule, in row order: walking the
// rows left to right, a row's label is drawn when its box starts right of the
// right edge of the last drawn one (0 at first). None when there are no rows.
std::vector<DateLabel> dateLabels(const ResultBuffer* buffer, const ChartScales& scales, PlotRect rect);

// A value label that is drawn, with the horizontal grid line at y from L to R.
struct ValueLabel {
    int step = 0;      // u = 1 .. 10, tenths of the vertical maximum
    int y = 0;         // B - ((B - T) x u) x 0.1, truncated
    LabelBox box;      // L - 57 .. L - 2, y - 5 .. y + 5
    std::string text;  // "%1.2e" of u x vertical maximum x 0.1
};

// The value labels that survive the overlap rule, bottom to top: a label is
// drawn when its box ends above the top of the last drawn one. None when the
// vertical maximum is 0.
//
// On the logarithmic axis there is one label per decade above the bottom
// edge (step = the decade, "%1.2e" of its power of ten) at
// B - (decade - logBottom) x log scale, with the same boxes and the same
// rule; none when the log scale is 0.
std::vector<ValueLabel> valueLabels(const ChartScales& scales, PlotRect rect, ValueAxis axis = ValueAxis::Linear);

struct ChartPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(ChartPoint, ChartPoint) = default;
};

// Screen coordinates of one row of a series: x = row x step + L and
// y = B - scale x value, each kept in single precision and truncated. A y
// beyond any screen is held at +-1,000,000; a value that is not a number
// lies on the bottom edge. On the logarithmic axis
// y = B - (log10(value) - logBottom) x log scale, and a value at or below 0
// or below 10^logBottom lies on the bottom edge.
ChartPoint seriesPoint(int row, double value, const ChartScales& scales, PlotRect rect,
                       ValueAxis axis = ValueAxis::Linear);

// The series as the chart defines it: (L, B) followed by one point per row.
std::vector<ChartPoint> seriesPoints(const ResultBuffer& buffer, int series, const ChartScales& scales, PlotRect rect,
                                     ValueAxis axis = ValueAxis::Linear);

// The same line with the points that cannot show removed: of the points in
// one pixel column only the first, the lowest, the highest and the last are
// kept, in their order, and a point equal to the one before it is dropped.
// Drawn with a 1-pixel pen it covers exactly the pixels of the full line,
// with at most four points per column.
//
// All series of `wanted` are produced in one pass over the rows; the result
// has one line per entry of `wanted`, in that order.
std::vector<std::vector<ChartPoint>> seriesPolylines(const ResultBuffer& buffer, const std::vector<int>& wanted,
                                                     const ChartScales& scales, PlotRect rect,
                                                     ValueAxis axis = ValueAxis::Linear);

// The threshold's horizontal line from L to R at the y its value has on the
// axis, and its label "<column> 기준 <%1.2e>" right-aligned in a box just
// above the line (below it when the line is near the top). None when the
// threshold is not a finite value above 0, the axis has no scale, or the line
// falls outside the plot.
struct ThresholdLine {
    int y = 0;
    LabelBox box;
    std::string text;
};
std::optional<ThresholdLine> thresholdLine(double threshold, const std::string& column, const ChartScales& scales,
                                           PlotRect rect, ValueAxis axis = ValueAxis::Linear);

}  // namespace verdanel
