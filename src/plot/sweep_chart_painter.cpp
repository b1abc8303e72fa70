#include "plot/sweep_chart_painter.hpp"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include "core/sweep/sweep_messages.hpp"

namespace verdanel {

namespace {

QRect toRect(const LabelBox& b) { return QRect(b.left, b.top, b.right - b.left, b.bottom - b.top); }

QString text(const std::string& s) { return QString::fromStdString(s); }

// A face with Hangul where there is one (the desktop's Korean fonts), else
// the sans serif the system offers; fontconfig fills in missing glyphs.
QFont chartFont(int pixelSize, bool bold = false) {
    QFont font(QStringLiteral("NanumGothic"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

}  // namespace

QColor sweepSeriesColor(std::size_t series) {
    static const QColor colors[] = {QColor(200, 30, 30), QColor(30, 90, 200), QColor(20, 140, 60)};
    return colors[series % 3];
}

QColor sweepThresholdColor() { return QColor(230, 130, 0); }

void paintSweepChart(QPainter& p, const SweepChartLayout& layout, QSize size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const PlotRect& r = layout.plot;
    const QRect plot(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
    p.setFont(chartFont(12));
    if (!layout.message.empty()) {
        p.setPen(Qt::black);
        p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text(layout.message));
        p.restore();
        return;
    }

    // Decade grid and value labels.
    p.setFont(chartFont(11));
    for (const ValueLabel& label : layout.valueLabels) {
        p.setPen(QPen(QColor(215, 215, 215), 1));
        p.drawLine(r.left, label.y, r.right, label.y);
        p.setPen(Qt::black);
        QRect box = toRect(label.box).adjusted(-16, -2, 0, 2);
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, text(label.text));
    }
    // Variant ticks and labels.
    for (const SweepChartTick& tick : layout.variantTicks) {
        p.setPen(QPen(QColor(235, 235, 235), 1));
        p.drawLine(tick.x, r.top, tick.x, r.bottom);
        p.setPen(Qt::black);
        p.drawLine(tick.x, r.bottom, tick.x, r.bottom + 4);
        p.drawText(QRect(tick.x - 40, r.bottom + 6, 80, 16), Qt::AlignHCenter | Qt::AlignTop, text(tick.text));
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);

    // Axis titles.
    p.setFont(chartFont(13, true));
    p.drawText(QRect(r.left, r.bottom + 26, r.right - r.left, 22), Qt::AlignCenter, text(layout.variantTitle));
    p.save();
    p.translate(18, (r.top + r.bottom) / 2);
    p.rotate(-90);
    p.drawText(QRect(-(r.bottom - r.top) / 2, -10, r.bottom - r.top, 22), Qt::AlignCenter, text(layout.valueTitle));
    p.restore();

    p.setClipRect(plot.adjusted(0, -4, 1, 5));
    // The threshold under the series.
    p.setFont(chartFont(11));
    if (layout.threshold) {
        p.setPen(QPen(sweepThresholdColor(), 2, Qt::DashDotLine));
        p.drawLine(r.left, layout.threshold->y, r.right, layout.threshold->y);
        p.setPen(sweepThresholdColor().darker(130));
        p.drawText(toRect(layout.threshold->box), Qt::AlignRight | Qt::AlignVCenter, text(layout.threshold->text));
    }
    // Each series: its 90th percentile dashed, its line and its points.
    for (std::size_t s = 0; s < layout.series.size(); ++s) {
        const SweepChartSeries& series = layout.series[s];
        const QColor color = sweepSeriesColor(s);
        p.setPen(QPen(color.lighter(140), 1, Qt::DashLine));
        p.drawLine(r.left, series.p90Y, r.right, series.p90Y);
        QPolygon line;
        for (const ChartPoint& point : series.points) line << QPoint(point.x, point.y);
        p.setPen(QPen(color, 2));
        p.drawPolyline(line);
        p.setBrush(color);
        for (const QPoint& point : line) p.drawEllipse(point, 3, 3);
        p.setBrush(Qt::NoBrush);
    }
    p.setClipping(false);
    // The percentiles' values right of the plot, each with a short dash from its line.
    p.setFont(chartFont(11));
    for (std::size_t s = 0; s < layout.series.size(); ++s) {
        const SweepChartSeries& series = layout.series[s];
        p.setPen(QPen(sweepSeriesColor(s), 1, Qt::DashLine));
        p.drawLine(r.right, series.p90Y, r.right + 8, series.p90LabelY);
        p.setPen(sweepSeriesColor(s));
        p.drawText(QRect(r.right + 10, series.p90LabelY - 7, kSweepChartRight - 12, 14), Qt::AlignLeft | Qt::AlignVCenter,
                   text(series.p90Text));
    }

    // Legend above the plot.
    p.setFont(chartFont(12));
    const QFontMetrics metrics(p.font());
    int x = r.left;
    auto entry = [&](const QColor& color, Qt::PenStyle style, const std::string& name) {
        p.setPen(QPen(color, 2, style));
        p.drawLine(x, 22, x + 26, 22);
        p.setPen(Qt::black);
        p.drawText(QPoint(x + 32, 27), text(name));
        x += 32 + metrics.horizontalAdvance(text(name)) + 22;
    };
    for (std::size_t s = 0; s < layout.series.size(); ++s) entry(sweepSeriesColor(s), Qt::SolidLine, layout.series[s].name);
    entry(QColor(120, 120, 120), Qt::DashLine, std::string(msg::kSweepChartP90) + " (P90)");
    if (layout.threshold) entry(sweepThresholdColor(), Qt::DashDotLine, layout.threshold->text);
    p.restore();
}

QImage sweepChartImage(const SweepOutcome& sweep, std::optional<double> threshold, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    paintSweepChart(painter, sweepChartLayout(sweep, threshold, size.width(), size.height()), size);
    return image;
}

}  // namespace verdanel
