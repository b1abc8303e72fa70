#pragma once
// The result window's "물질 수지" page: where the sprayed chemical went over
// the searched period. A stacked area chart of the shares of the applied mass
// over time (held in air, plants, soil and water; degraded, taken up, leached,
// carried downstream, carried away) with its legend, and a table of the final
// hour's masses and shares, a line per band, with the applied mass and the
// closure on a line above the chart. The rows, the shares and every text come from the
// core (mass_balance_series.hpp); the page only paints them.
#include <QColor>
#include <QWidget>
#include <vector>

#include "core/results/mass_balance_series.hpp"

class QLabel;
class QTableWidget;

namespace verdanel::gui {

// The stacked shares, bands from the bottom up, with a legend on the right.
class MassBalanceChart : public QWidget {
    Q_OBJECT

public:
    explicit MassBalanceChart(QWidget* parent = nullptr);
    void setRows(const MassBalanceRows* rows, std::vector<BandTops> tops);
    static QColor bandColor(int band);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const MassBalanceRows* rows_ = nullptr;
    std::vector<BandTops> tops_;
};

class MassBalancePage : public QWidget {
    Q_OBJECT

public:
    explicit MassBalancePage(QWidget* parent = nullptr);

    // The mass-balance rows of a search (kept by the page).
    void showRows(MassBalanceRows rows);
    // No rows: an empty chart and table.
    void clear();

    const MassBalanceRows& rows() const { return rows_; }
    MassBalanceChart* chart() const { return chart_; }
    QTableWidget* table() const { return table_; }
    QLabel* note() const { return note_; }
    // Applied and closure, which the table (a line per band of the chart) leaves out.
    QLabel* totals() const { return totals_; }

private:
    MassBalanceRows rows_;
    MassBalanceChart* chart_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* totals_ = nullptr;
};

}  // namespace verdanel::gui
