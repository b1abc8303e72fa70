#pragma once
// "민감도 분석": a sweep of the scenario as the scenario window holds it.
// The user chooses what to vary (a parameter of the table by its label, or
// the spray dates shifted by whole days), from, to and step, and a Cwater
// threshold; the sweep runs on a worker thread with a progress bar and a
// cancel button while the window stays responsive, then shows the chart
// (the command line's --plot drawing), a table of the variants and the
// distribution of Cwater's endpoints, with CSV and picture export. A sweep
// stores nothing.
//
//     SweepDialog dialog(scenario, weather, prompter, this);
//     dialog.exec();
#include <QDialog>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "core/engines/scenario.hpp"
#include "core/sweep/sweep_run.hpp"
#include "core/weather/weather_set.hpp"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;
class QTimer;

namespace verdanel {
class Prompter;
}

namespace verdanel::gui {

class SweepChartWidget;

class SweepDialog : public QDialog {
    Q_OBJECT

public:
    // The save dialog of the export buttons: the chosen path, or "" when cancelled.
    using SaveChooser = std::function<QString(QWidget* parent, const QString& title, const QString& fileName,
                                              const QString& filter)>;

    // `weather` is the window's tables before the files are read again (a
    // run starts from them too).
    SweepDialog(const ScenarioDefinition& scenario, const WeatherSet& weather, Prompter& prompter,
                QWidget* parent = nullptr);
    ~SweepDialog() override;

    void setSaveChooser(SaveChooser chooser) { chooseSave_ = std::move(chooser); }

    QComboBox* variedList() const { return varied_; }
    QLineEdit* fromField() const { return from_; }
    QLineEdit* toField() const { return to_; }
    QLineEdit* stepField() const { return step_; }
    QLineEdit* thresholdField() const { return threshold_; }
    QPushButton* runButton() const { return run_; }
    QPushButton* cancelButton() const { return cancel_; }
    QProgressBar* progressBar() const { return progress_; }
    QTableWidget* variantTable() const { return variants_; }
    QTableWidget* summaryTable() const { return summary_; }
    SweepChartWidget* chart() const { return chart_; }
    bool isRunning() const { return thread_ != nullptr; }
    const std::optional<SweepOutcome>& outcome() const { return outcome_; }

public slots:
    // "실행": reads the fields and the weather, starts the sweep on a worker thread.
    void startSweep();
    // "취소": the running variants stop within their current simulated hour.
    void cancelSweep();
    void exportCsv();
    void exportImage();
    void reject() override;

signals:
    // The sweep has ended (completed or cancelled) and its results are shown.
    void sweepFinished();

private:
    void buildControls();
    void proposeRange();
    void sweepEnded();
    void showOutcome();
    void setInputsEnabled(bool enabled);

    ScenarioDefinition scenario_;
    WeatherSet weather_;
    Prompter& prompter_;
    SaveChooser chooseSave_;

    QThread* thread_ = nullptr;
    QTimer* poll_ = nullptr;
    std::atomic<int> percent_{0};
    std::atomic<bool> cancelRequested_{false};
    std::unique_ptr<SweepOutcome> running_;
    double startedAt_ = 0;
    double seconds_ = 0;
    std::optional<SweepOutcome> outcome_;
    std::optional<double> shownThreshold_;

    QComboBox* varied_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QLineEdit* step_ = nullptr;
    QLineEdit* threshold_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* csv_ = nullptr;
    QPushButton* image_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    SweepChartWidget* chart_ = nullptr;
    QTableWidget* variants_ = nullptr;
    QTableWidget* summary_ = nullptr;
};

}  // namespace verdanel::gui
