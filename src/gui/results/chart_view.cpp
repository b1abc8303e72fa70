#include "gui/results/chart_view.hpp"

#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPolygon>

namespace verdanel::gui {

namespace {

QRect toRect(const LabelBox& b) { return QRect(b.left, b.top, b.right - b.left, b.bottom - b.top); }

// One-pixel pens; a line covers both its end points.
QPen linePen(const QColor& color, Qt::PenStyle style) {
    QPen pen(color, 1, style, Qt::SquareCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    return pen;
}

}  // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    colors_.fill(QColor(255, 0, 0));
    // The labels may lie over check boxes and buttons of the window.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The labels' font: 8 pixels high, normal weight; "MS Sans Serif" where it
    // is installed, else the sans serif face the system offers.
    font_ = QFont(QStringLiteral("MS Sans Serif"));
    font_.setStyleHint(QFont::SansSerif);
    font_.setPixelSize(8);
    font_.setWeight(QFont::Normal);
}

QMargins ChartView::labelMargins() { return QMargins(57, 5, 35, 15); }

void ChartView::setFrameGeometry(const QRect& frame) { setGeometry(frame.marginsAdded(labelMargins())); }

PlotRect ChartView::plotRect() const {
    const QMargins m = labelMargins();
    return PlotRect{m.left(), m.top(), width() - m.right() - 1, height() - m.bottom() - 1};
}

void ChartView::setBuffer(const ResultBuffer* buffer) {
    buffer_ = buffer;
    update();
}

void ChartView::setSeriesChecked(int series, bool checked) {
    if (series < 0 || series >= kMaxResultValues) return;
    checked_[static_cast<std::size_t>(series)] = checked;
    update();
}

void ChartView::setCheckedSource(std::function<bool(int)> source) { checkedSource_ = std::move(source); }

bool ChartView::isSeriesChecked(int series) const {
    if (series < 0 || series >= kMaxResultValues) return false;
    if (checkedSource_) return checkedSource_(series);
    return checked_[static_cast<std::size_t>(series)];
}

void ChartView::setSeriesColor(int series, const QColor& color) {
    if (series < 0 || series >= kMaxResultValues) return;
    colors_[static_cast<std::size_t>(series)] = color;
    update();
}

QColor ChartView::seriesColor(int series) const {
    if (series < 0 || series >= kMaxResultValues) return QColor();
    return colors_[static_cast<std::size_t>(series)];
}

QString ChartView::apply() {
    std::vector<bool> checked(kMaxResultValues);
    for (int k = 0; k < kMaxResultValues; ++k) checked[static_cast<std::size_t>(k)] = isSeriesChecked(k);
    const ApplyOutcome outcome = applyScales(buffer_, checked, plotRect(), threshold_);
    if (!outcome.scales) return QString::fromStdString(outcome.message);
    scales_ = *outcome.scales;
    applied_ = checked;
    update();
    return QString();
}

void ChartView::clear() {
    buffer_ = nullptr;
    scales_ = ChartScales{};
    applied_.clear();
    update();
}

void ChartView::setLogarithmic(bool on) {
    axis_ = on ? ValueAxis::Logarithmic : ValueAxis::Linear;
    update();
}

void ChartView::setThreshold(std::optional<double> threshold, const QString& column) {
    threshold_ = threshold;
    thresholdColumn_ = column.toStdString();
    if (!applied_.empty())
        if (const ApplyOutcome outcome = applyScales(buffer_, applied_, plotRect(), threshold_); outcome.scales)
            scales_ = *outcome.scales;
    update();
}

std::optional<ThresholdLine> ChartView::thresholdLine() const {
    if (!threshold_ || buffer_ == nullptr || buffer_->empty()) return std::nullopt;
    return verdanel::thresholdLine(*threshold_, thresholdColumn_, scales_, plotRect(), axis_);
}

// Cyan: none of the series starts in it, and it stands out on the black plot.
QColor ChartView::thresholdColor() { return QColor(0, 220, 255); }

void ChartView::paintChart(QPainter& painter) const {
    const PlotRect r = plotRect();
    if (r.right - r.left < 2 || r.bottom - r.top < 2) return;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(font_);
    const QPen gridPen = linePen(QColor(192, 192, 192), Qt::DotLine);
    const QPen textPen(Qt::black);

    // The plot: black inside a dotted grey outline whose gaps show what lies
    // beneath. Its right edge is column R - 1, its bottom edge row B - 1.
    painter.fillRect(QRect(r.left + 1, r.top + 1, r.right - r.left - 2, r.bottom - r.top - 2), Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(gridPen);
    painter.drawRect(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));

    // Dates below the plot, each with its vertical grid line.
    if (buffer_ != nullptr && !buffer_->empty()) {
        for (const DateLabel& label : dateLabels(buffer_, scales_, r)) {
            painter.setPen(textPen);
            painter.drawText(toRect(label.box), Qt::AlignCenter | Qt::TextSingleLine,
                             QString::fromStdString(label.text));
            painter.setPen(gridPen);
            painter.drawLine(QPoint(label.gridX, r.bottom), QPoint(label.gridX, r.top));
        }
    }

    // Values left of the plot, each with its horizontal grid line.
    for (const ValueLabel& label : valueLabels(scales_, r, axis_)) {
        painter.setPen(textPen);
        painter.drawText(toRect(label.box), Qt::AlignCenter | Qt::TextSingleLine, QString::fromStdString(label.text));
        painter.setPen(gridPen);
        painter.drawLine(QPoint(r.left, label.y), QPoint(r.right, label.y));
    }

    // The checked series in series order, later ones over earlier ones.
    if (buffer_ != nullptr && !buffer_->empty()) {
        std::vector<int> series;
        for (int k = 0; k < buffer_->valueCount; ++k)
            if (isSeriesChecked(k)) series.push_back(k);
        const auto lines = seriesPolylines(*buffer_, series, scales_, r, axis_);
        QPolygon polygon;
        for (std::size_t s = 0; s < series.size(); ++s) {
            const std::vector<ChartPoint>& line = lines[s];
            if (line.size() < 2) continue;
            polygon.resize(static_cast<qsizetype>(line.size()));
            for (std::size_t i = 0; i < line.size(); ++i)
                polygon[static_cast<qsizetype>(i)] = QPoint(line[i].x, line[i].y);
            painter.setPen(linePen(seriesColor(series[s]), Qt::SolidLine));
            painter.drawPolyline(polygon);
        }
    }

    // The threshold over the series, dashed, with its label.
    if (const std::optional<ThresholdLine> line = thresholdLine()) {
        painter.setPen(linePen(thresholdColor(), Qt::DashLine));
        painter.drawLine(QPoint(r.left + 1, line->y), QPoint(r.right - 2, line->y));
        painter.setPen(thresholdColor());
        // Its label names the column in Hangul, which needs more than the 8 pixels of the value labels.
        QFont labelFont = font_;
        labelFont.setPixelSize(11);
        painter.setFont(labelFont);
        painter.drawText(toRect(line->box), Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::fromStdString(line->text));
    }
    painter.restore();
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintChart(painter);
}

}  // namespace verdanel::gui
