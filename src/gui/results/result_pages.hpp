#pragma once
// The two pages of a result window's tabs.
//
// Final results: the seven summary texts of the search (maximum, time to the
// maximum and residence of the water; maximum and time to it for the air and
// the soil of the first sprayed strip) beside a short list of the water
// concentration. Detailed results: every value of every row.
//
// Both lists view the window's row buffer through a ResultTableModel; the
// pages never copy it.
#include <QTableView>
#include <QWidget>
#include <array>

#include "core/common/model_kind.hpp"
#include "core/results/result_summary.hpp"

class QLineEdit;

namespace verdanel::gui {

class ResultTableModel;

class FinalResultsPage : public QWidget {
    Q_OBJECT

public:
    enum SummaryField {
        WaterMaximum,
        WaterTimeToMaximum,
        WaterResidence,
        AirMaximum,
        AirTimeToMaximum,
        SoilMaximum,
        SoilTimeToMaximum,
        kSummaryFieldCount
    };

    explicit FinalResultsPage(ModelKind kind, QWidget* parent = nullptr);

    // Shows the rows of a search (not owned) in the list.
    void showRows(const ResultBuffer* rows);
    void setSummary(const SummaryTexts& texts);
    // No rows, the seven texts empty.
    void clear();
    // The seven texts as they stand.
    SummaryTexts summary() const;

    QLineEdit* field(SummaryField f) const { return fields_[f]; }
    QTableView* table() const { return table_; }
    ResultTableModel* model() const { return model_; }

private:
    std::array<QLineEdit*, kSummaryFieldCount> fields_{};
    QTableView* table_ = nullptr;
    ResultTableModel* model_ = nullptr;
};

class DetailedResultsPage : public QTableView {
    Q_OBJECT

public:
    explicit DetailedResultsPage(ModelKind kind, QWidget* parent = nullptr);

    void showRows(const ResultBuffer* rows);
    void clear();
    ResultTableModel* resultModel() const { return model_; }

private:
    ResultTableModel* model_ = nullptr;
};

}  // namespace verdanel::gui
