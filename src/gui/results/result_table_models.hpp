#pragma once
// The lists of the result pages as table models over the result window's row
// buffer: one table row per result row, one table column per ResultColumn.
// A cell's text is made only when a view asks for it, so a search of a
// quarter of a million rows costs no item objects at all.
//
//     auto* model = new ResultTableModel(detailColumns(kind), this);
//     setUpResultTable(view, model);
//     model->setBuffer(&rows);   // after a search that found rows
//     model->clear();            // the page is empty again; the rows stay
#include <QAbstractTableModel>
#include <vector>

#include "core/results/result_buffer.hpp"
#include "core/results/result_columns.hpp"

class QTableView;

namespace verdanel::gui {

class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ResultTableModel(std::vector<ResultColumn> columns, QObject* parent = nullptr);

    // Shows the rows of `buffer`, which is not owned: call again, or clear(),
    // before it is replaced or released.
    void setBuffer(const ResultBuffer* buffer);
    // Shows no rows; the buffer itself is left alone.
    void clear() { setBuffer(nullptr); }
    const ResultBuffer* buffer() const { return buffer_; }
    const std::vector<ResultColumn>& columns() const { return columns_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<ResultColumn> columns_;
    const ResultBuffer* buffer_ = nullptr;
};

// Sets a view up as a result list: grid lines, whole rows selected, no row
// numbers, nothing editable, rows of one fixed height, and the columns at
// their widths. A column of width 0 is out of sight at first but not hidden:
// the user can drag it open at its header's edge.
void setUpResultTable(QTableView* view, ResultTableModel* model);

}  // namespace verdanel::gui
