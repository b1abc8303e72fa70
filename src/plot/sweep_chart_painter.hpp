#pragma once
// Paints a sweep chart layout (core/sweep/sweep_chart_layout.hpp): white
// paper, grey decade grid, the three series in colours of their own with
// their points, their 90th percentiles as dashed lines, the threshold as a
// dash-dotted line, the legend above the plot and the axis titles.
#include <QColor>
#include <QImage>
#include <QSize>
#include <optional>

#include "core/sweep/sweep_chart_layout.hpp"

class QPainter;

namespace verdanel {

// The colours of the peak, the 4-day and the 21-day means.
QColor sweepSeriesColor(std::size_t series);
QColor sweepThresholdColor();

// Paints `layout` (computed for `size`) with the painter in its own coordinates.
void paintSweepChart(QPainter& painter, const SweepChartLayout& layout, QSize size);

// The whole picture of a sweep; needs a QGuiApplication (text).
QImage sweepChartImage(const SweepOutcome& sweep, std::optional<double> threshold, QSize size);

}  // namespace verdanel
