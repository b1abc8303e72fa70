#pragma once
// The result window's "노출 평가" page: the exposure endpoints of one value
// column of the window's rows. A choice of column (Cwater at first), a
// threshold field in the column's unit, and two tables: the peak with its
// time and the threshold's endpoints, and the highest means over the
// averaging windows. They follow the rows, the column and the threshold as
// they change; a threshold field that is empty or not a number above 0 leaves
// the threshold lines empty without a word (the field turns red while it
// holds text that is not a threshold). A button writes the page's endpoints
// to a CSV file of their own.
//
// All numbers and texts come from the core's exposure endpoints.
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "core/common/model_kind.hpp"
#include "core/results/exposure_endpoints.hpp"
#include "core/results/result_buffer.hpp"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace verdanel {
class Prompter;
}

namespace verdanel::gui {

class ExposurePage : public QWidget {
    Q_OBJECT

public:
    // Asks where to save: caption and default file name in, the chosen path
    // out, "" when the user cancelled (or saving is not possible now).
    using AskSavePath = std::function<QString(const QString& caption, const QString& defaultName)>;

    ExposurePage(ModelKind kind, Prompter& prompter, AskSavePath askSavePath, QWidget* parent = nullptr);

    // The rows of a search (not owned), the year of their first row, and
    // what the export names them by: the scenario and the range "MM-DD ~ MM-DD".
    void showRows(const ResultBuffer* rows, int year, const QString& scenario, int startMonth, int startDay,
                  int endMonth, int endDay);
    // No rows: the tables show their names only.
    void clear();

    // The chosen value column (index into a row's values) and the threshold as it stands.
    int valueIndex() const;
    std::optional<double> threshold() const;
    QString columnHeader() const;
    // The endpoints the tables show now.
    const ColumnEndpoints& endpoints() const { return endpoints_; }
    // The value text of line `line` of endpointLines as shown.
    QString shownValue(int line) const;

    QComboBox* columnChoice() const { return column_; }
    QLineEdit* thresholdField() const { return threshold_; }
    QLabel* unitLabel() const { return unit_; }
    QPushButton* exportButton() const { return export_; }
    QTableWidget* peakTable() const { return peakTable_; }
    QTableWidget* meansTable() const { return meansTable_; }

public slots:
    // The page's export button: asks for a file and writes the endpoints.
    void exportCsv();

signals:
    // The threshold or the column changed: the chart's threshold line follows.
    void thresholdChanged(std::optional<double> threshold, const QString& column);

private:
    void recompute();
    void showEndpoints();
    // The table and row that show line `line` of endpointLines.
    std::pair<QTableWidget*, int> placeOf(int line) const;

    ModelKind kind_;
    Prompter& prompter_;
    AskSavePath askSavePath_;
    const ResultBuffer* rows_ = nullptr;
    std::vector<std::size_t> runStarts_;
    QString scenario_;
    int range_[4] = {0, 0, 0, 0};
    ColumnEndpoints endpoints_;

    QComboBox* column_ = nullptr;
    QLineEdit* threshold_ = nullptr;
    QLabel* unit_ = nullptr;
    QPushButton* export_ = nullptr;
    QTableWidget* peakTable_ = nullptr;
    QTableWidget* meansTable_ = nullptr;
};

}  // namespace verdanel::gui
