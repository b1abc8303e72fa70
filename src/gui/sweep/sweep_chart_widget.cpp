#include "gui/sweep/sweep_chart_widget.hpp"

#include <QPainter>

#include "plot/sweep_chart_painter.hpp"

namespace verdanel::gui {

SweepChartWidget::SweepChartWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("sweepChart"));
    setMinimumSize(640, 380);
}

void SweepChartWidget::setSweep(const std::optional<SweepOutcome>& sweep, std::optional<double> threshold) {
    sweep_ = sweep;
    threshold_ = threshold;
    update();
}

void SweepChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!sweep_) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    paintSweepChart(painter, sweepChartLayout(*sweep_, threshold_, width(), height()), size());
}

}  // namespace verdanel::gui
