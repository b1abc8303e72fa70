#pragma once
// The result window of one model ("Stream Model", "Ditch Model", "Pond
// Model"): pick a stored scenario and read its parameters, load its rows for
// a range of month and day, read them on two pages and as a chart of chosen
// series in chosen colours, export them as a CSV file or the window's
// picture as a bitmap, delete the scenario, or define and run a new one.
//
// The window keeps the rows of its last successful search (the row buffer);
// the pages and the chart only view them. A search that finds nothing clears
// the pages but keeps the buffer and the chart. Every store access, number
// and text comes from the results core.
//
// While a search loads, the window keeps repainting but refuses to search,
// delete, export or open the definition window, also for clicks that were
// queued until the rows were shown; closing it then abandons the load and
// the window closes as soon as the load has given up.
//
//     ResultWindow window(ModelKind::Stream, connection, prompter, baseFolder, chooser);
//     window.exec();
#include <QDate>
#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/common/model_kind.hpp"
#include "core/scenario/scenario_parameters.hpp"
#include "core/results/result_buffer.hpp"
#include "core/results/result_summary.hpp"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLineEdit;
class QPushButton;

namespace verdanel {
class Prompter;
class StoreConnection;
}  // namespace verdanel

namespace verdanel::gui {

class ChartView;
class ColorPickerButton;
class DetailedResultsPage;
class ExposurePage;
class FinalResultsPage;
class MassBalancePage;
class QtProgressSink;
class TabPagesControl;

class ResultWindow : public QDialog {
    Q_OBJECT

public:
    // A save-file dialog: the chosen path, or "" when the user cancelled.
    // `filter` is in Qt's form ("Name (*.ext);;All Files (*.*)").
    using SaveFileDialog = std::function<QString(QWidget* parent, const QString& caption,
                                                 const QString& defaultName, const QString& filter)>;
    // Shows the model's scenario definition window modally and gives the
    // scenario name it took at its last start ("" when none was started).
    using ScenarioWindowOpener = std::function<QString(ModelKind kind, QWidget* parent)>;

    // The read-only fields, in the column order of Scenario_Info: the
    // chemical, the parameters of the scenario parameter table, the period.
    static constexpr int kFieldCount = kScenarioParameterCount + 3;
    enum Field { Chemical = 0, PeriodStart = kScenarioParameterCount + 1, PeriodEnd = kScenarioParameterCount + 2 };

    // Series k has check box 1110 + k and colour button 1068 + k.
    static constexpr int kFirstSeriesBoxId = 1110;
    static constexpr int kFirstColorButtonId = 1068;

    ResultWindow(ModelKind kind, StoreConnection& connection, Prompter& prompter, const std::string& baseFolder,
                 QWidget* parent = nullptr);
    ~ResultWindow() override;

    // Replace the platform's save dialog and the definition window (tests, other front ends).
    void setSaveFileDialog(SaveFileDialog dialog) { saveFileDialog_ = std::move(dialog); }
    void setScenarioWindowOpener(ScenarioWindowOpener opener) { openScenarioWindow_ = std::move(opener); }

    ModelKind kind() const { return kind_; }
    // The rows of the last successful search; empty before one and after a delete.
    const ResultBuffer& rows() const { return rows_; }
    bool isSearching() const { return searching_; }
    // The range as the window holds it: taken from the pickers by the last
    // search, or set by the last scenario selection.
    QDate startDate() const { return start_; }
    QDate endDate() const { return end_; }
    // The seven texts of the final results page as they stand.
    SummaryTexts summary() const;
    int seriesCount() const { return resultValueCount(kind_); }

    QComboBox* scenarioList() const { return scenarios_; }
    QPushButton* deleteButton() const { return delete_; }
    QLineEdit* field(Field f) const { return fields_[f]; }
    // The field of the table's parameter p.
    QLineEdit* parameterField(int p) const { return fields_[static_cast<std::size_t>(1 + p)]; }
    QPushButton* modelingButton() const { return modeling_; }
    QPushButton* closeButton() const { return close_; }
    QDateEdit* startPicker() const { return startPicker_; }
    QDateEdit* endPicker() const { return endPicker_; }
    QPushButton* searchButton() const { return search_; }
    QPushButton* csvButton() const { return csv_; }
    QPushButton* imageButton() const { return image_; }
    QPushButton* applyButton() const { return apply_; }
    TabPagesControl* tabs() const { return tabs_; }
    FinalResultsPage* finalPage() const { return finalPage_; }
    DetailedResultsPage* detailPage() const { return detailPage_; }
    ExposurePage* exposurePage() const { return exposurePage_; }
    MassBalancePage* massBalancePage() const { return massBalancePage_; }
    // "로그 눈금": the chart's logarithmic value axis.
    QCheckBox* logScaleBox() const { return logScale_; }
    QCheckBox* seriesBox(int k) const;
    ColorPickerButton* colorButton(int k) const;
    ChartView* chart() const { return chart_; }
    // The frame the chart's plot covers.
    QFrame* chartFrame() const { return chartFrame_; }

public slots:
    // The list's selection: fills the fields and the pickers from the store.
    void loadSelectedScenario();
    // "search": loads the selected scenario's rows between the pickers' dates.
    void search();
    // "apply": scales the chart to the checked series.
    void applyChart();
    // "삭제": asks, then removes the selected scenario with its rows and
    // compacts the store; Cancel changes nothing.
    void deleteSelectedScenario();
    // "모델링": the definition window; afterwards the scenario it ran is selected and searched.
    void openScenarioWindow();
    // "export to data file...".
    void exportCsv();
    // "export to image file...".
    void exportImage();
    // Closing during a search abandons the load first.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QWidget* buildScenarioGroup();
    QWidget* buildQueryGroup();
    QWidget* buildSeriesGroup();
    // The model's scenario names, nothing selected; gives the names.
    std::vector<std::string> fillScenarioList();
    void emptyFields();
    void clearPages();
    void uncheckAllSeries();
    void placeChart();
    void inform(const QString& text);
    // Shown while a search loads: the commands that would touch the rows are off.
    void setCommandsEnabled(bool enabled);

    ModelKind kind_;
    StoreConnection& connection_;
    Prompter& prompter_;
    std::string baseFolder_;
    SaveFileDialog saveFileDialog_;
    ScenarioWindowOpener openScenarioWindow_;

    ResultBuffer rows_;
    QDate start_;
    QDate end_;
    bool searching_ = false;
    bool closeAfterSearch_ = false;
    int closeResult_ = 0;
    QtProgressSink* progress_ = nullptr;

    QComboBox* scenarios_ = nullptr;
    QPushButton* delete_ = nullptr;
    std::array<QLineEdit*, kFieldCount> fields_{};
    QPushButton* modeling_ = nullptr;
    QPushButton* close_ = nullptr;
    QDateEdit* startPicker_ = nullptr;
    QDateEdit* endPicker_ = nullptr;
    QPushButton* search_ = nullptr;
    QPushButton* csv_ = nullptr;
    QPushButton* image_ = nullptr;
    QPushButton* apply_ = nullptr;
    TabPagesControl* tabs_ = nullptr;
    FinalResultsPage* finalPage_ = nullptr;
    DetailedResultsPage* detailPage_ = nullptr;
    ExposurePage* exposurePage_ = nullptr;
    MassBalancePage* massBalancePage_ = nullptr;
    QCheckBox* logScale_ = nullptr;
    std::array<QCheckBox*, kMaxResultValues> seriesBoxes_{};
    std::array<ColorPickerButton*, kMaxResultValues> colorButtons_{};
    QFrame* chartFrame_ = nullptr;
    ChartView* chart_ = nullptr;
};

}  // namespace verdanel::gui
