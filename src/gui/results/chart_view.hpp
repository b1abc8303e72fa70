#pragma once
// The concentration chart of a result window. It lies over the window's chart
// frame, with room around it for the value labels on the left and the date
// labels below, and paints what the core chart layout computes: the black
// plot with its dotted grey outline, the labels and grid lines, and one line
// per checked series in its colour.
//
// The scales change only in apply(); whether a series is checked and its
// colour are read each time the chart is painted. So a series checked after
// the last apply shows at the next repaint with the old scale.
//
// Qt keeps the window's last painted pixels and shows them again when the
// window is uncovered or moved; a widget is painted anew only when it asks
// for it. So every change of what the chart shows (rows, scales, colours,
// checked series) asks for a repaint at once; the owner does the same when
// a check box of its checked source changes (checkedSourceChanged()).
//
// Two options go beyond the written chart: a logarithmic value axis and a
// threshold drawn as a line of its own colour, which the scales reach up to.
// Both are off until set; then the chart is the written one.
//
//     auto* chart = new ChartView(this);
//     chart->setFrameGeometry(frameRect);        // the frame, in window coordinates
//     chart->setCheckedSource([this](int k) { return seriesBox(k)->isChecked(); });
//     chart->setBuffer(&rows_);                  // after a search that found rows
//     if (QString text = chart->apply(); !text.isEmpty()) prompter.inform(...);
#include <QColor>
#include <QFont>
#include <QMargins>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "core/results/chart_layout.hpp"
#include "core/results/result_buffer.hpp"

class QPainter;

namespace verdanel::gui {

class ChartView : public QWidget {
    Q_OBJECT

public:
    explicit ChartView(QWidget* parent = nullptr);

    // Room the labels need around the frame: value labels reach 57 pixels
    // left of it and 5 above its top, date labels 15 below its bottom and
    // 35 right of its right edge.
    static QMargins labelMargins();

    // Places the view over `frame` (parent coordinates) with the label room
    // around it. The plot rectangle is the frame with its right and bottom
    // edges less one.
    void setFrameGeometry(const QRect& frame);
    // In this view's coordinates; follows the view's size.
    PlotRect plotRect() const;

    // The rows to draw; not owned. Call again (or clear()) before the buffer
    // is replaced or released. The scales stay until the next apply().
    void setBuffer(const ResultBuffer* buffer);
    const ResultBuffer* buffer() const { return buffer_; }

    // A series' check box state, held here; repaints.
    void setSeriesChecked(int series, bool checked);
    // Reads check boxes directly instead; takes precedence over the states
    // set above. Called at every paint and apply.
    void setCheckedSource(std::function<bool(int)> source);
    // A state the checked source reads has changed: repaints.
    void checkedSourceChanged() { update(); }
    bool isSeriesChecked(int series) const;

    // Pure red until set; repaints, so the new colour shows at once.
    void setSeriesColor(int series, const QColor& color);
    QColor seriesColor(int series) const;

    // "apply": new scales from the checked series and a repaint. Returns the
    // message to show instead when there are no rows or nothing is checked;
    // the scales then stay as they were.
    QString apply();
    // After a delete: no rows, vertical maximum 0, the empty plot.
    void clear();
    const ChartScales& scales() const { return scales_; }

    // "로그 눈금": the value axis in decades (scales of the last apply); repaints.
    void setLogarithmic(bool on);
    bool isLogarithmic() const { return axis_ == ValueAxis::Logarithmic; }
    ValueAxis axis() const { return axis_; }
    // The threshold of column `column` (its header), none to remove the line.
    // When the chart has scales, they are set again for the series of the last
    // apply, so that the line lies inside the plot; repaints.
    void setThreshold(std::optional<double> threshold, const QString& column);
    std::optional<double> threshold() const { return threshold_; }
    // Where the line is drawn as last painted: none when there is no line.
    std::optional<ThresholdLine> thresholdLine() const;
    static QColor thresholdColor();

    // Paints the chart with `painter` in this view's coordinates.
    void paintChart(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ResultBuffer* buffer_ = nullptr;
    ChartScales scales_;
    // The checked series of the last apply that set the scales; empty when none did.
    std::vector<bool> applied_;
    ValueAxis axis_ = ValueAxis::Linear;
    std::optional<double> threshold_;
    std::string thresholdColumn_;
    std::array<bool, kMaxResultValues> checked_{};
    std::function<bool(int)> checkedSource_;
    std::array<QColor, kMaxResultValues> colors_;
    QFont font_;
};

}  // namespace verdanel::gui
