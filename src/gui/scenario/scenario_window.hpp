#pragma once
// The scenario definition window of one model ("Stream Model", "Ditch Model",
// "Pond Model"): the scenario's name, chemical, weather files, spray dates
// and twelve parameters, and the start of its run.
//
// The window only collects and checks what the user typed; the run itself,
// with its refusals, replace question and completion message, is the core's
// runScenario. The run stays on the interface thread and moves the progress
// bar; the inputs are disabled meanwhile. Closing the window during a run
// abandons the run (the store keeps what it had before); the window goes
// away once the run has returned and then says the run was cancelled.
//
//     ScenarioWindow window(ModelKind::Stream, connection, prompter, base, this);
//     window.exec();
//     select(window.lastStartedScenarioName());
#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/chemicals/chemical_record.hpp"
#include "core/common/model_kind.hpp"
#include "core/engines/scenario.hpp"
#include "core/weather/weather_set.hpp"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace verdanel {
class Prompter;
class StoreConnection;
}  // namespace verdanel

namespace verdanel::gui {

class QtProgressSink;

class ScenarioWindow : public QDialog {
    Q_OBJECT

public:
    // The open-file dialog of the "..." buttons: gives the chosen file's full
    // path, or "" when the user cancelled.
    using FileChooser =
        std::function<QString(QWidget* parent, const QString& startFolder, const QString& filter)>;
    // Shows the material manager modally, the selected chemical's name given
    // ("" when none); returns when it has closed.
    using MaterialManagerOpener = std::function<void(const QString& selectedChemical)>;

    // The parameter fields in the column order of Scenario_Info.
    enum PathField { WindDirectionPath, WindSpeedPath, TemperaturePath, RainfallPath, HumidityPath, kPathCount };

    ScenarioWindow(ModelKind kind, StoreConnection& connection, Prompter& prompter, const std::string& baseFolder,
                   QWidget* parent = nullptr);
    ~ScenarioWindow() override;

    ModelKind kind() const { return kind_; }
    // The scenario name the window took at its last start ("" before any).
    QString lastStartedScenarioName() const { return QString::fromStdString(name_); }
    bool isRunning() const { return running_; }

    // Replaces the platform's file dialog (tests, other front ends).
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    // Replaces the material manager window.
    void setMaterialManagerOpener(MaterialManagerOpener opener) { openMaterialManager_ = std::move(opener); }

    QLineEdit* nameEdit() const { return nameField_; }
    QComboBox* chemicalList() const { return chemicals_; }
    // The record a run would use (its name and properties).
    const ChemicalRecord& chosenChemical() const { return chemical_; }
    QPushButton* materialManagerButton() const { return manager_; }
    QCheckBox* printResultsBox() const { return printBox_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* sweepButton() const { return sweep_; }
    QProgressBar* progressBar() const { return progress_; }
    QLineEdit* pathField(PathField field) const { return paths_[field]; }
    QPushButton* chooseButton(PathField field) const { return choose_[field]; }
    QListWidget* sprayDateList() const { return dates_; }
    QPushButton* addDateButton() const { return add_; }
    QPushButton* deleteDateButton() const { return delete_; }
    // The field of the scenario parameter table's entry p.
    QLineEdit* parameterField(int p) const { return parameters_[static_cast<std::size_t>(p)]; }

public slots:
    // "시뮬레이션 시작": takes the fields, checks them, runs the model.
    void startSimulation();
    // "민감도 분석...": a sweep of the scenario as the fields hold it now.
    void openSweep();
    // "추가...": a day from the calendar window, at 10:00.
    void addSprayDate();
    // "삭제": removes the selected entry; the next one (or the new last) is selected.
    void deleteSprayDate();
    // "물질정보 관리...": the material manager, then the chemical list again.
    void openMaterialManager();
    // During a run the window stays until the run has given up; it then closes.
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void showDefaults();
    void loadChemicalList();
    void chooseChemical(const QString& name);
    void choosePath(PathField field);
    // Copies the fields into the window's values. The first field (in the
    // taking order) that is not a number gets its message and the focus,
    // and nothing is copied (false).
    bool takeValues();
    // The scenario the fields describe, after the start's checks (the name
    // only when `needsName`); none when a check stopped it with its message.
    std::optional<ScenarioDefinition> scenarioFromFields(bool needsName);
    void setInputsEnabled(bool enabled);
    void tell(const char* text);

    ModelKind kind_;
    StoreConnection& connection_;
    Prompter& prompter_;
    QString baseFolder_;
    FileChooser chooseFile_;
    MaterialManagerOpener openMaterialManager_;

    // What the fields held at the last taking.
    std::string name_;
    std::string chemicalName_;
    ScenarioParameters values_;
    WeatherPaths weatherPaths_;
    bool printResults_ = true;
    // The record of the chemical last chosen in the list.
    ChemicalRecord chemical_{};
    // Lives as long as the window; each run reads the files into it again.
    WeatherSet weather_{};

    bool running_ = false;
    QtProgressSink* sink_ = nullptr;
    bool closeAfterRun_ = false;
    int closeResult_ = 0;

    QLineEdit* nameField_ = nullptr;
    QComboBox* chemicals_ = nullptr;
    QPushButton* manager_ = nullptr;
    QCheckBox* printBox_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* sweep_ = nullptr;
    QProgressBar* progress_ = nullptr;
    std::array<QLineEdit*, kPathCount> paths_{};
    std::array<QPushButton*, kPathCount> choose_{};
    QListWidget* dates_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    std::array<QLineEdit*, kScenarioParameterCount> parameters_{};
};

// The title of a model's window: "Stream Model", "Ditch Model", "Pond Model".
QString scenarioWindowTitle(ModelKind kind);

}  // namespace verdanel::gui
