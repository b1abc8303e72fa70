#include "gui/results/result_table_models.hpp"

#include <algorithm>

#include <QHeaderView>
#include <QTableView>

namespace verdanel::gui {

namespace {
Qt::Alignment alignmentOf(const ResultColumn& column) {
    return column.align == ColumnAlign::Right ? (Qt::AlignRight | Qt::AlignVCenter) : Qt::Alignment(Qt::AlignCenter);
}
}  // namespace

ResultTableModel::ResultTableModel(std::vector<ResultColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

void ResultTableModel::setBuffer(const ResultBuffer* buffer) {
    beginResetModel();
    buffer_ = buffer;
    endResetModel();
}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || buffer_ == nullptr) return 0;
    return static_cast<int>(buffer_->size());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || buffer_ == nullptr || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    const ResultColumn& column = columns_[static_cast<std::size_t>(index.column())];
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(cellText(buffer_->rows[static_cast<std::size_t>(index.row())], column));
        case Qt::TextAlignmentRole: return QVariant::fromValue(alignmentOf(column));
        default: return QVariant();
    }
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return QVariant();
    const ResultColumn& column = columns_[static_cast<std::size_t>(section)];
    switch (role) {
        case Qt::DisplayRole: return QString::fromLatin1(column.header);
        // A header stands over its column's texts, as in a report list.
        case Qt::TextAlignmentRole: return QVariant::fromValue(alignmentOf(column));
        default: return QVariant();
    }
}

Qt::ItemFlags ResultTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void setUpResultTable(QTableView* view, ResultTableModel* model) {
    view->setModel(model);
    view->setShowGrid(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->setCornerButtonEnabled(false);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // One height for every row: the view never measures the rows one by one.
    QHeaderView* rows = view->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(view->fontMetrics().height() + 6);

    QHeaderView* header = view->horizontalHeader();
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setMinimumSectionSize(0);
    const std::vector<ResultColumn>& columns = model->columns();
    // The designed widths suit a small bitmap font; with today's fonts a value
    // column is widened just enough that "-0.000000e+000" is never cut short.
    const int valueWidth = view->fontMetrics().horizontalAdvance(QStringLiteral("-0.000000e+000")) + 12;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        int width = columns[c].width;
        if (width > 0 && columns[c].field == ColumnField::Value) width = std::max(width, valueWidth);
        header->resizeSection(static_cast<int>(c), width);
    }
}

}  // namespace verdanel::gui
