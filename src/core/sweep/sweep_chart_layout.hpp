#pragma once
// Where everything of a sweep's chart goes, as plain numbers: Cwater's peak
// and its highest 4- and 21-day means against the variant, on a
// logarithmic value axis in whole decades (the result chart's log axis:
// values at or below 0 on the bottom edge), the threshold as a line of its
// own, the 90th percentile of each series over the variants marked by a
// dashed line, and the axis titles with their units. The command line's
// picture and the dialog's chart paint this.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/results/chart_layout.hpp"
#include "core/sweep/sweep_run.hpp"

namespace verdanel {

// The room around the plot, in pixels: value labels and the value axis title
// on the left, variant labels and the variant axis title below, the legend
// above, the 90th percentiles' values on the right.
inline constexpr int kSweepChartLeft = 96;
inline constexpr int kSweepChartTop = 44;
inline constexpr int kSweepChartRight = 150;
inline constexpr int kSweepChartBottom = 58;

struct SweepChartTick {
    int x = 0;         // the variant's place on the axis
    std::string text;  // the variant value
};

struct SweepChartSeries {
    std::string name;                 // "최대 농도", "최대 4일 평균", "최대 21일 평균"
    std::vector<ChartPoint> points;   // finished variants in the order of their values
    double p90 = 0;                   // 90th percentile over the finished variants
    int p90Y = 0;                     // where its dashed line lies
    int p90LabelY = 0;                // the middle of its label right of the plot (kept apart from the others)
    std::string p90Text;              // "P90 1.23e-002"
};

struct SweepChartLayout {
    std::string message;  // not empty: nothing to draw, say this instead
    PlotRect plot;
    ChartScales scales;                // the value axis (its logarithmic part)
    // One label per decade, the bottom edge's decade included.
    std::vector<ValueLabel> valueLabels;
    std::vector<SweepChartTick> variantTicks;
    std::string valueTitle;            // "Cwater (ppb, 로그 눈금)"
    std::string variantTitle;          // "하천변 폭 (meter)", "살포일 이동 (일)"
    std::array<SweepChartSeries, 3> series;
    std::optional<ThresholdLine> threshold;
};

// The layout for a picture of width x height pixels. `threshold` is the
// user's Cwater threshold (none, or a finite value above 0).
SweepChartLayout sweepChartLayout(const SweepOutcome& sweep, std::optional<double> threshold, int width, int height);

}  // namespace verdanel
