#pragma once
// The sweep dialog's chart: paints the same layout as the command line's
// --plot picture, at the widget's size.
#include <QWidget>
#include <optional>

#include "core/sweep/sweep_run.hpp"

namespace verdanel::gui {

class SweepChartWidget : public QWidget {
    Q_OBJECT

public:
    explicit SweepChartWidget(QWidget* parent = nullptr);
    // The sweep to draw (copied) and its Cwater threshold; none clears the chart.
    void setSweep(const std::optional<SweepOutcome>& sweep, std::optional<double> threshold);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<SweepOutcome> sweep_;
    std::optional<double> threshold_;
};

}  // namespace verdanel::gui
