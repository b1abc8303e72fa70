#include "gui/scenario/scenario_window.hpp"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/chemicals/chemical_table.hpp"
#include "core/common/civil_time.hpp"
#include "core/common/messages.hpp"
#include "core/common/prompter.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/weather/weather_messages.hpp"
#include "core/weather/weather_reader.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/common/qt_prompter.hpp"
#include "gui/chemicals/material_manager_window.hpp"
#include "gui/controls/name_combo_box.hpp"
#include "gui/scenario/calendar_window.hpp"
#include "gui/scenario/scenario_texts.hpp"
#include "core/sweep/sweep_messages.hpp"
#include "gui/sweep/sweep_dialog.hpp"

namespace verdanel::gui {

namespace {

using W = ScenarioWindow;

// The order in which a start takes the parameter fields; a field that is not
// a number stops the taking there. Parameters not named here come last.
constexpr std::array kTakingOrder{
    "sprayRate",     "sprayLength",   "sprayWidth",    "waterDepth",
    "waterVelocity", "waterWidth",    "bankWidth",     "canopyCover",
    "leafAreaIndex", "injectedConcentration", "dilutionRatio", "vehicleSpeed",
};

std::array<int, kScenarioParameterCount> takingOrder() {
    std::array<int, kScenarioParameterCount> order{};
    std::size_t next = 0;
    for (const char* key : kTakingOrder)
        if (const int p = scenarioParameterIndex(key); p >= 0) order[next++] = p;
    for (int p = 0; p < kScenarioParameterCount; ++p)
        if (std::find(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(next), p) ==
            order.begin() + static_cast<std::ptrdiff_t>(next))
            order[next++] = p;
    return order;
}

const ScenarioParameter& parameterAt(int p) { return kScenarioParameters[static_cast<std::size_t>(p)]; }

struct PathFieldInfo {
    const char* objectName;
    const char* label;
    const char* emptyMessage;
    std::string WeatherPaths::*path;
};

constexpr std::array<PathFieldInfo, W::kPathCount> kPathFields{{
    {"windDirectionPath", scenario_text::kWindDirectionLabel, scenario_text::kChooseWindDirectionFile,
     &WeatherPaths::windDirection},
    {"windSpeedPath", scenario_text::kWindSpeedLabel, scenario_text::kChooseWindSpeedFile, &WeatherPaths::windSpeed},
    {"temperaturePath", scenario_text::kTemperatureLabel, scenario_text::kChooseTemperatureFile,
     &WeatherPaths::temperature},
    {"rainfallPath", scenario_text::kRainfallLabel, scenario_text::kChooseRainfallFile, &WeatherPaths::rainfall},
    {"humidityPath", scenario_text::kHumidityLabel, scenario_text::kChooseHumidityFile, &WeatherPaths::humidity},
}};

// Paths are taken humidity first, wind direction last; empty ones are
// reported wind speed first.
constexpr std::array<W::PathField, W::kPathCount> kPathTakingOrder{
    W::HumidityPath, W::RainfallPath, W::TemperaturePath, W::WindSpeedPath, W::WindDirectionPath};
constexpr std::array<W::PathField, W::kPathCount> kPathCheckOrder{
    W::WindSpeedPath, W::TemperaturePath, W::RainfallPath, W::HumidityPath, W::WindDirectionPath};

// Spray dates are proposed weekly at this hour, and added at it.
constexpr int kSprayHour = 10;
constexpr int kDefaultSprayDates = 14;

QString numberText(float value) { return QString::number(static_cast<double>(value), 'g', 6); }

QString defaultFileDialog(QWidget* parent, const QString& startFolder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), startFolder, filter);
}

}  // namespace

QString scenarioWindowTitle(ModelKind kind) {
    switch (kind) {
        case ModelKind::Stream: return QStringLiteral("Stream Model");
        case ModelKind::Ditch: return QStringLiteral("Ditch Model");
        case ModelKind::Pond: return QStringLiteral("Pond Model");
    }
    return QString();
}

ScenarioWindow::ScenarioWindow(ModelKind kind, StoreConnection& connection, Prompter& prompter,
                               const std::string& baseFolder, QWidget* parent)
    : QDialog(parent),
      kind_(kind),
      connection_(connection),
      prompter_(prompter),
      baseFolder_(QString::fromStdString(baseFolder)),
      chooseFile_(defaultFileDialog),
      values_(defaultParameters(kind)),
      weatherPaths_(defaultWeatherPaths(baseFolder)) {
    setObjectName(QStringLiteral("scenarioWindow"));
    setWindowTitle(scenarioWindowTitle(kind));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    buildControls();
    showDefaults();
    loadChemicalList();
}

ScenarioWindow::~ScenarioWindow() = default;

void ScenarioWindow::buildControls() {
    using namespace scenario_text;
    auto label = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };
    auto button = [this](const char* text, const char* name) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };

    // Scenario: name and chemical.
    auto* scenarioBox = new QGroupBox(QString::fromUtf8(kScenarioGroup), this);
    scenarioBox->setObjectName(QStringLiteral("scenarioGroup"));
    nameField_ = new QLineEdit(this);
    nameField_->setObjectName(QStringLiteral("scenarioName"));
    chemicals_ = new NameComboBox(this);
    chemicals_->setObjectName(QStringLiteral("chemicalList"));
    chemicals_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    chemicals_->setMinimumContentsLength(20);
    manager_ = button(kMaterialManagerButton, "materialManagerButton");
    auto* scenarioGrid = new QGridLayout(scenarioBox);
    scenarioGrid->addWidget(label(kScenarioNameLabel), 0, 0);
    scenarioGrid->addWidget(nameField_, 0, 1, 1, 2);
    scenarioGrid->addWidget(label(kChemicalLabel), 1, 0);
    scenarioGrid->addWidget(chemicals_, 1, 1);
    scenarioGrid->addWidget(manager_, 1, 2);
    scenarioGrid->setColumnStretch(1, 1);

    // Weather files: read-only paths, changed only through their "..." button.
    auto* weatherBox = new QGroupBox(QString::fromUtf8(kWeatherGroup), this);
    weatherBox->setObjectName(QStringLiteral("weatherGroup"));
    auto* weatherGrid = new QGridLayout(weatherBox);
    for (int f = 0; f < kPathCount; ++f) {
        const PathFieldInfo& info = kPathFields[f];
        paths_[f] = new QLineEdit(this);
        paths_[f]->setObjectName(QString::fromLatin1(info.objectName));
        paths_[f]->setReadOnly(true);
        paths_[f]->setMinimumWidth(300);
        choose_[f] = button(kChooseFileButton, (std::string(info.objectName) + "Button").c_str());
        choose_[f]->setFixedWidth(choose_[f]->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
        weatherGrid->addWidget(label(info.label), f, 0);
        weatherGrid->addWidget(paths_[f], f, 1);
        weatherGrid->addWidget(choose_[f], f, 2);
        const auto field = static_cast<PathField>(f);
        connect(choose_[f], &QPushButton::clicked, this, [this, field] { choosePath(field); });
    }
    weatherGrid->setColumnStretch(1, 1);

    // Spray dates: a sorted list with its two buttons beside it.
    auto* datesBox = new QGroupBox(QString::fromUtf8(kSprayDateGroup), this);
    datesBox->setObjectName(QStringLiteral("sprayDateGroup"));
    dates_ = new QListWidget(this);
    dates_->setObjectName(QStringLiteral("sprayDateList"));
    dates_->setSortingEnabled(true);
    dates_->setSelectionMode(QAbstractItemView::SingleSelection);
    add_ = button(kAddSprayDate, "addSprayDateButton");
    delete_ = button(kDeleteSprayDate, "deleteSprayDateButton");
    auto* dateButtons = new QVBoxLayout;
    dateButtons->addWidget(add_);
    dateButtons->addWidget(delete_);
    dateButtons->addStretch(1);
    auto* datesRow = new QHBoxLayout(datesBox);
    datesRow->addWidget(dates_, 1);
    datesRow->addLayout(dateButtons);

    // Parameters: label, field, unit.
    auto* parameterBox = new QGroupBox(QString::fromUtf8(kParameterGroup), this);
    parameterBox->setObjectName(QStringLiteral("parameterGroup"));
    auto* parameterGrid = new QGridLayout(parameterBox);
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("0.000000e+00")) + 12;
    for (int p = 0; p < kScenarioParameterCount; ++p) {
        const ScenarioParameter& info = parameterAt(p);
        QLineEdit* field = new QLineEdit(this);
        parameters_[static_cast<std::size_t>(p)] = field;
        field->setObjectName(QString::fromLatin1(info.key));
        field->setAlignment(Qt::AlignRight);
        field->setFixedWidth(fieldWidth);
        parameterGrid->addWidget(label(info.label), p, 0);
        parameterGrid->addWidget(field, p, 1);
        parameterGrid->addWidget(label(info.unit), p, 2);
    }
    parameterGrid->setColumnMinimumWidth(2, fontMetrics().horizontalAdvance(QStringLiteral("km/hour")) + 4);
    parameterGrid->setRowStretch(kScenarioParameterCount, 1);
    // A sweep varies these parameters (or the dates); in the tab order it
    // comes after them and before the run's own controls.
    sweep_ = button(msg::kSweepButton, "sweepButton");
    parameterGrid->addWidget(sweep_, kScenarioParameterCount + 1, 0, 1, 3, Qt::AlignRight);

    // The run: print-results box, progress and start.
    printBox_ = new QCheckBox(QString::fromUtf8(kPrintResults), this);
    printBox_->setObjectName(QStringLiteral("printResultsBox"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("runProgress"));
    progress_->setTextVisible(false);
    start_ = button(kStartButton, "startButton");
    start_->setMinimumWidth(start_->sizeHint().width() + 16);

    auto* left = new QVBoxLayout;
    left->addWidget(weatherBox);
    left->addWidget(datesBox, 1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(left, 1);
    middle->addWidget(parameterBox);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(printBox_);
    runRow->addSpacing(12);
    runRow->addWidget(progress_, 1);
    runRow->addWidget(start_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scenarioBox);
    layout->addLayout(middle, 1);
    layout->addLayout(runRow);

    connect(start_, &QPushButton::clicked, this, &ScenarioWindow::startSimulation);
    connect(sweep_, &QPushButton::clicked, this, &ScenarioWindow::openSweep);
    connect(add_, &QPushButton::clicked, this, &ScenarioWindow::addSprayDate);
    connect(delete_, &QPushButton::clicked, this, &ScenarioWindow::deleteSprayDate);
    connect(manager_, &QPushButton::clicked, this, &ScenarioWindow::openMaterialManager);
    // Only a choice of the user loads a chemical's record, not a selection
    // the window makes itself.
    connect(chemicals_, &QComboBox::activated, this,
            [this](int index) { chooseChemical(chemicals_->itemText(index)); });
}

void ScenarioWindow::showDefaults() {
    nameField_->setText(QString::fromStdString(name_));
    for (int p = 0; p < kScenarioParameterCount; ++p) {
        parameterField(p)->setText(numberText(parameterValue(values_, parameterAt(p))));
        // A parameter the model fixes (a pond's water velocity) is never editable.
        if (parameterFixedFor(kind_, parameterAt(p))) parameterField(p)->setEnabled(false);
    }
    for (int f = 0; f < kPathCount; ++f)
        paths_[f]->setText(QString::fromStdString(weatherPaths_.*kPathFields[f].path));
    printBox_->setChecked(printResults_);
    progress_->setRange(1, 100);
    progress_->reset();

    // Weekly from 1 June of last year.
    const CivilTime first{localNow().year - 1, 6, 1, kSprayHour, 0, 0};
    for (int week = 0; week < kDefaultSprayDates; ++week)
        dates_->addItem(QString::fromStdString(formatSprayDate(addDays(first, 7 * week))));
}

void ScenarioWindow::loadChemicalList() {
    chemicals_->clear();
    for (const std::string& name : usableChemicalNames(connection_, prompter_))
        chemicals_->addItem(QString::fromStdString(name));
    chemicals_->setCurrentIndex(-1);
}

void ScenarioWindow::chooseChemical(const QString& name) {
    if (auto record = loadChemical(connection_, prompter_, name.toStdString())) chemical_ = *record;
}

void ScenarioWindow::choosePath(PathField field) {
    if (!chooseFile_) return;
    const QString chosen = chooseFile_(this, baseFolder_, QString::fromUtf8(msg::kWeatherFileFilter));
    if (!chosen.isEmpty()) paths_[field]->setText(chosen);
}

void ScenarioWindow::addSprayDate() {
    CalendarWindow calendar(this);
    // Open at the selected entry's month, or today's when none is selected.
    if (QListWidgetItem* item = dates_->currentItem(); item && item->isSelected()) {
        if (auto t = parseSprayDate(item->text().toStdString()))
            calendar.setSelectedDate(QDate(t->year, t->month, t->day));
    }
    if (calendar.exec() != QDialog::Accepted) return;
    const QDate d = calendar.selectedDate();
    const CivilTime day{d.year(), d.month(), d.day(), kSprayHour, 0, 0};
    dates_->addItem(QString::fromStdString(formatSprayDate(day)));
}

void ScenarioWindow::deleteSprayDate() {
    const QList<QListWidgetItem*> selected = dates_->selectedItems();
    if (selected.isEmpty()) return;
    const int row = dates_->row(selected.first());
    delete dates_->takeItem(row);
    if (dates_->count() == 0) {
        dates_->setCurrentRow(-1);
        dates_->clearSelection();
        return;
    }
    dates_->setCurrentRow(std::min(row, dates_->count() - 1));
}

void ScenarioWindow::openMaterialManager() {
    const QString selected = chemicals_->currentText();
    if (openMaterialManager_) {
        openMaterialManager_(selected);
    } else {
        MaterialManagerWindow manager(connection_, prompter_, selected, this);
        manager.exec();
    }
    loadChemicalList();
    // The same name, letter for letter, comes before one that only starts
    // like it: "chlorpyrifos" must not turn into "Chlorpyrifos".
    if (selected.isEmpty()) return;
    int index = chemicals_->findText(selected, Qt::MatchExactly | Qt::MatchCaseSensitive);
    for (int i = 0; index < 0 && i < chemicals_->count(); ++i) {
        if (chemicals_->itemText(i).startsWith(selected, Qt::CaseInsensitive)) index = i;
    }
    if (index >= 0) chemicals_->setCurrentIndex(index);
    // The manager may have edited the chosen chemical, or the selection may
    // now name another one: the run must use the properties of the chemical
    // it names, as the store holds them now.
    chemical_ = ChemicalRecord{};
    if (index >= 0) chooseChemical(chemicals_->itemText(index));
}

void ScenarioWindow::tell(const char* text) { prompter_.inform(text, msg::kProgramTitle, PromptIcon::Warning); }

bool ScenarioWindow::takeValues() {
    // Every number is read before anything is kept: a field that is not a
    // number leaves all the window's values as they were, so a typo can
    // never start a run on a mix of earlier and new values.
    ScenarioParameters taken = values_;
    for (int p : takingOrder()) {
        bool number = false;
        const double value = parameterField(p)->text().toDouble(&number);
        if (!number) {
            tell(scenario_text::kEnterNumber);
            parameterField(p)->setFocus();
            parameterField(p)->selectAll();
            return false;
        }
        parameterValue(taken, parameterAt(p)) = static_cast<float>(value);
    }
    values_ = taken;
    chemicalName_ = chemicals_->currentText().toStdString();
    for (PathField f : kPathTakingOrder) weatherPaths_.*kPathFields[f].path = paths_[f]->text().toStdString();
    name_ = nameField_->text().toStdString();
    printResults_ = printBox_->isChecked();
    return true;
}

void ScenarioWindow::setInputsEnabled(bool enabled) {
    // The date list stays usable during a run; it takes the focus so that
    // none lands on a read-only path field.
    if (!enabled) dates_->setFocus();
    const std::array<QWidget*, 8> controls{printBox_, chemicals_, manager_, nameField_, start_, sweep_, add_, delete_};
    for (QWidget* w : controls) w->setEnabled(enabled);
    for (QPushButton* b : choose_) b->setEnabled(enabled);
    for (int p = 0; p < kScenarioParameterCount; ++p) {
        if (parameterFixedFor(kind_, parameterAt(p))) continue;
        parameterField(p)->setEnabled(enabled);
    }
}

std::optional<ScenarioDefinition> ScenarioWindow::scenarioFromFields(bool needsName) {
    // A field that is not a number stops the start at its message.
    if (!takeValues()) return std::nullopt;
    if (needsName && name_.empty()) {
        tell(scenario_text::kEnterScenarioName);
        return std::nullopt;
    }
    for (PathField f : kPathCheckOrder) {
        if (paths_[f]->text().isEmpty()) {
            tell(kPathFields[f].emptyMessage);
            return std::nullopt;
        }
    }
    if (dates_->count() == 0) {
        tell(scenario_text::kEnterSprayDate);
        return std::nullopt;
    }

    ScenarioDefinition scenario;
    scenario.name = name_;
    scenario.kind = kind_;
    scenario.chemical = chemical_;
    scenario.chemical[chem_col::kName] = chemicalName_;
    scenario.parameters = values_;
    scenario.weather = weatherPaths_;
    for (int i = 0; i < dates_->count(); ++i) {
        if (auto t = parseSprayDate(dates_->item(i)->text().toStdString())) scenario.sprayDates.push_back(*t);
    }
    return scenario;
}

void ScenarioWindow::openSweep() {
    if (running_) return;
    // A sweep is no start: the result window must not look for its name afterwards.
    const std::string started = name_;
    const std::optional<ScenarioDefinition> scenario = scenarioFromFields(false);
    name_ = started;
    if (!scenario) return;
    SweepDialog dialog(*scenario, weather_, prompter_, this);
    dialog.exec();
}

void ScenarioWindow::startSimulation() {
    if (running_) return;
    const std::optional<ScenarioDefinition> taken = scenarioFromFields(true);
    if (!taken) return;
    const ScenarioDefinition& scenario = *taken;

    running_ = true;
    closeAfterRun_ = false;
    setInputsEnabled(false);
    QtProgressSink sink(progress_);
    sink_ = &sink;
    if (kind_ != ModelKind::Stream) QCoreApplication::processEvents();
    RunOptions options;
    options.announceCompletion = !printResults_;
    // Closed while the waiting messages were handled: nothing is run (not
    // even the replace question is asked).
    RunOutcome outcome;
    outcome.status = RunStatus::Abandoned;
    if (!closeAfterRun_) outcome = runScenario(connection_, prompter_, sink, scenario, weather_, options);
    sink_ = nullptr;
    running_ = false;
    setInputsEnabled(true);

    if (closeAfterRun_) {
        QDialog::done(closeResult_);
        // The store is as it was before the start; the user is told so, as
        // when the replace question is cancelled.
        if (outcome.status == RunStatus::Abandoned)
            prompter_.inform(msg::kRunCancelled, msg::kProgramTitle, PromptIcon::Information);
        return;
    }
    // Only a finished run closes the window; after a refusal or a kept
    // earlier run the user stays to change the inputs.
    if (printResults_ && outcome.status == RunStatus::Completed && takeValues()) accept();
}

void ScenarioWindow::done(int result) {
    if (running_) {
        // The run is on the stack below this call: it is told to give up,
        // and the window closes when it has returned.
        closeAfterRun_ = true;
        closeResult_ = result;
        if (sink_) sink_->abandon();
        return;
    }
    QDialog::done(result);
}

void ScenarioWindow::closeEvent(QCloseEvent* event) {
    if (running_) {
        done(QDialog::Rejected);
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace verdanel::gui
