#include "gui/results/mass_balance_page.hpp"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/common/text_format.hpp"
#include "core/results/mass_balance_messages.hpp"

namespace verdanel::gui {

namespace {

// Band colours, bottom up: the compartments in their own hues, then where the rest went.
const QColor kBandColors[] = {
    QColor(135, 206, 235),  // air
    QColor(60, 170, 60),    // plants
    QColor(160, 110, 60),   // soil
    QColor(30, 110, 220),   // water
    QColor(150, 150, 150),  // degraded
    QColor(20, 100, 40),    // uptake
    QColor(240, 160, 40),   // leached
    QColor(20, 40, 120),    // outflow
    QColor(200, 170, 230),  // carried away
};
static_assert(std::size(kBandColors) == kBalanceBands.size());

constexpr int kLegendSwatch = 10;

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

MassBalanceChart::MassBalanceChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("massBalanceChart"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QColor MassBalanceChart::bandColor(int band) { return kBandColors[band]; }

QSize MassBalanceChart::minimumSizeHint() const {
    const int line = fontMetrics().height();
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("0000")) * 12,
                 static_cast<int>(kBalanceBands.size()) * line + 8);
}

void MassBalanceChart::setRows(const MassBalanceRows* rows, std::vector<BandTops> tops) {
    rows_ = rows;
    tops_ = std::move(tops);
    update();
}

void MassBalanceChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height();

    // The legend on the right, one line per band, the top band first as it lies in the chart.
    int legendWidth = 0;
    for (int b : kBalanceBands)
        legendWidth = std::max(legendWidth, fm.horizontalAdvance(text(msg::kMassBalanceLabels[static_cast<std::size_t>(b)])));
    legendWidth += kLegendSwatch + 10;
    const int bands = static_cast<int>(kBalanceBands.size());
    const int legendLeft = width() - legendWidth;
    for (int i = 0; i < bands; ++i) {
        const int band = bands - 1 - i;
        const int y = 2 + i * line;
        p.fillRect(QRect(legendLeft, y + (line - kLegendSwatch) / 2, kLegendSwatch, kLegendSwatch), kBandColors[band]);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(legendLeft + kLegendSwatch + 4, y, legendWidth, line), Qt::AlignLeft | Qt::AlignVCenter,
                   text(msg::kMassBalanceLabels[static_cast<std::size_t>(kBalanceBands[static_cast<std::size_t>(band)])]));
    }

    // The plot: shares 0 to 100 % up, the rows' hours across.
    const int left = fm.horizontalAdvance(QStringLiteral("100%")) + 6;
    const QRect plot(left, line / 2, std::max(10, legendLeft - left - 12), std::max(10, height() - line / 2 - line - 4));
    p.fillRect(plot, Qt::white);
    p.setPen(palette().color(QPalette::WindowText));
    for (int pct : {0, 50, 100}) {
        const int y = plot.bottom() - static_cast<int>(plot.height() * pct / 100.0);
        p.drawText(QRect(0, y - line / 2, left - 4, line), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("%1%").arg(pct));
    }
    const std::size_t n = tops_.size();
    if (rows_ && n == rows_->rows.size() && n > 0) {
        auto x = [&](std::size_t i) {
            return n == 1 ? plot.left() + plot.width() / 2.0
                          : plot.left() + plot.width() * static_cast<double>(i) / static_cast<double>(n - 1);
        };
        auto y = [&](double share) { return plot.bottom() + 1 - plot.height() * std::clamp(share, 0.0, 1.0); };
        p.setRenderHint(QPainter::Antialiasing, false);
        for (int b = bands - 1; b >= 0; --b) {
            // Each band is filled from the axis up to its top; the ones below paint over it.
            QPainterPath path;
            path.moveTo(x(0), y(0));
            for (std::size_t i = 0; i < n; ++i) path.lineTo(x(i), y(tops_[i][static_cast<std::size_t>(b)]));
            path.lineTo(x(n - 1), y(0));
            path.closeSubpath();
            p.fillPath(path, kBandColors[b]);
        }
        // The first, middle and last hours below the axis.
        p.setPen(palette().color(QPalette::WindowText));
        const std::size_t marks[] = {0, (n - 1) / 2, n - 1};
        for (std::size_t k = 0; k < 3; ++k) {
            const QString label = QString::fromStdString(balanceTimeText(rows_->rows[marks[k]]));
            const int w = fm.horizontalAdvance(label);
            int lx = static_cast<int>(x(marks[k])) - w / 2;
            lx = std::clamp(lx, plot.left(), std::max(plot.left(), plot.right() - w));
            p.drawText(QRect(lx, plot.bottom() + 3, w + 2, line), Qt::AlignLeft | Qt::AlignTop, label);
        }
    }
    p.setPen(QColor(128, 128, 128));
    p.drawRect(plot.adjusted(0, 0, 0, 0));
}

MassBalancePage::MassBalancePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("massBalancePage"));
    chart_ = new MassBalanceChart(this);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("massBalanceNote"));
    note_->setWordWrap(true);
    totals_ = new QLabel(this);
    totals_->setObjectName(QStringLiteral("massBalanceTotals"));

    constexpr int rows = static_cast<int>(kBalanceBands.size());
    table_ = new QTableWidget(rows, 3, this);
    table_->setObjectName(QStringLiteral("massBalanceTable"));
    table_->setHorizontalHeaderLabels(
        {text(msg::kBalanceEntryHeader), text(msg::kBalanceMassHeader), text(msg::kBalanceFractionHeader)});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    table_->setCornerButtonEnabled(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 1);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QFontMetrics metrics = table_->fontMetrics();
    int labelWidth = metrics.horizontalAdvance(text(msg::kBalanceEntryHeader));
    for (const char* label : msg::kMassBalanceLabels) labelWidth = std::max(labelWidth, metrics.horizontalAdvance(text(label)));
    table_->setColumnWidth(0, labelWidth + 14);
    table_->setColumnWidth(1, metrics.horizontalAdvance(QStringLiteral("-0.000000e+000")) + 14);
    table_->setColumnWidth(2, metrics.horizontalAdvance(text(msg::kBalanceFractionHeader)) + 14);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(c == 0 ? (Qt::AlignLeft | Qt::AlignVCenter) : (Qt::AlignRight | Qt::AlignVCenter));
            table_->setItem(r, c, item);
        }
    int tableWidth = 2 * table_->frameWidth() + 2;
    for (int c = 0; c < 3; ++c) tableWidth += table_->columnWidth(c);
    table_->setFixedWidth(tableWidth);

    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    left->addWidget(note_);
    left->addWidget(totals_);
    left->addWidget(chart_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(10);
    layout->addLayout(left, 1);
    layout->addWidget(table_);
    clear();
}

void MassBalancePage::showRows(MassBalanceRows rows) {
    rows_ = std::move(rows);
    if (rows_.empty()) {
        const std::string why = rows_.error;
        clear();
        note_->setText(why.empty() ? text(msg::kNoMassBalanceRows)
                                   : QString::fromStdString(fillMessage(msg::kMassBalanceReadFailedFormat, why)));
        return;
    }
    chart_->setRows(&rows_, stackedShares(rows_));
    const MassBalanceRecord& last = rows_.rows.back();
    note_->setText(QString::fromUtf8(msg::kBalanceChartTitle) + QStringLiteral(" — ") +
                   QString::fromStdString(fillMessage(msg::kBalanceFinalHourFormat, balanceTimeText(last))));
    const std::vector<BalanceLine> lines = balanceLines(last.balance);
    const BalanceLine& applied = lines[kBalanceApplied];
    const BalanceLine& closure = lines[kBalanceClosure];
    totals_->setText(QString::fromStdString(fillMessage(
        msg::kBalanceTotalsFormat, {applied.label, applied.mass, closure.label, closure.mass, closure.percent})));
    for (std::size_t r = 0; r < kBalanceBands.size(); ++r) {
        const BalanceLine& l = lines[static_cast<std::size_t>(kBalanceBands[r])];
        const int row = static_cast<int>(r);
        table_->item(row, 0)->setText(text(l.label));
        table_->item(row, 1)->setText(QString::fromStdString(l.mass));
        table_->item(row, 2)->setText(QString::fromStdString(l.percent));
    }
}

void MassBalancePage::clear() {
    rows_ = MassBalanceRows{};
    chart_->setRows(nullptr, {});
    note_->setText(QString());
    totals_->setText(QString());
    for (std::size_t r = 0; r < kBalanceBands.size(); ++r) {
        const int row = static_cast<int>(r);
        table_->item(row, 0)->setText(text(msg::kMassBalanceLabels[static_cast<std::size_t>(kBalanceBands[r])]));
        table_->item(row, 1)->setText(QString());
        table_->item(row, 2)->setText(QString());
    }
}

}  // namespace verdanel::gui
