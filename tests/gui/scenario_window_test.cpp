// The scenario definition window: its defaults per model, the spray date
// list, the order of the start checks, and runs reaching (or not reaching)
// the store, read back through the result core.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/material_manager.hpp"
#include "core/common/civil_time.hpp"
#include "core/common/messages.hpp"
#include "core/common/text_format.hpp"
#include "core/results/result_search.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/store_connection.hpp"
#include "core/weather/weather_messages.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/chemicals/material_manager_window.hpp"
#include "gui/scenario/calendar_window.hpp"
#include "gui/scenario/scenario_texts.hpp"
#include "gui/scenario/scenario_window.hpp"
#include "support/modal_helpers.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

namespace fs = std::filesystem;
using namespace verdanel;
using verdanel::gui::CalendarWindow;
using verdanel::gui::ScenarioWindow;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TestApplication;
using verdanel::testing::whenModal;
namespace text = verdanel::gui::scenario_text;

Q_DECLARE_METATYPE(verdanel::ModelKind)

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
QString q(const char* s) { return QString::fromUtf8(s); }

// An application folder with the sample chemicals and weather files, its store open.
struct Session {
    TestApplication app{true};
    ScriptedPrompter prompter;
    StoreConnection connection;

    Session() {
        const fs::path input = app.folder.path() / "input";
        fs::create_directories(input);
        for (const auto& e : fs::directory_iterator(fs::path(VERDANEL_SOURCE_DIR) / "input"))
            if (e.path().extension() == ".txt") fs::copy_file(e.path(), input / e.path().filename());
        connection.open(app.connectionText(), prompter);
    }
    // Shown, so clicks land on laid-out buttons.
    std::unique_ptr<ScenarioWindow> open(ModelKind kind) {
        auto w = std::make_unique<ScenarioWindow>(kind, connection, prompter, app.base());
        w->show();
        prompter.shown.clear();
        return w;
    }
    QStringList shown() const {
        QStringList t;
        for (const auto& r : prompter.shown) t << q(r.text);
        return t;
    }
    QStringList stored(ModelKind kind) {
        QStringList t;
        for (const auto& n : scenarioNames(connection, prompter, kind)) t << q(n);
        return t;
    }
    // The stored rows of a scenario, reduced to their count and the sum of every value.
    std::pair<std::size_t, double> fingerprint(ModelKind kind, const std::string& name) {
        ResultBuffer rows = ResultSearch::search(connection, prompter, kind, name, 1, 1, 12, 31);
        double sum = 0;
        for (const ResultRow& r : rows.rows)
            for (int k = 0; k < rows.valueCount; ++k) sum += r.values[k];
        return {rows.size(), sum};
    }
};

// What the user does by picking an entry of the drop-down list.
void choose(ScenarioWindow& w, const QString& chemical) {
    const int i = w.chemicalList()->findText(chemical);
    w.chemicalList()->setCurrentIndex(i);
    emit w.chemicalList()->activated(i);
}

void addDate(ScenarioWindow& w, QDate date, bool confirm = true) {
    whenModal<CalendarWindow>([date, confirm](CalendarWindow* c) {
        c->setSelectedDate(date);
        QTest::mouseClick(confirm ? c->okButton() : c->cancelButton(), Qt::LeftButton);
    });
    QTest::mouseClick(w.addDateButton(), Qt::LeftButton);
}

// Runs act once the run has started: the bar's first move.
template <class F>
void duringTheRun(ScenarioWindow& w, F act) {
    QObject::connect(w.progressBar(), &QProgressBar::valueChanged, &w, act, Qt::SingleShotConnection);
}

// A ready scenario with only the first proposed spray date: a 91-day run.
void prepareShortRun(ScenarioWindow& w, const QString& name, const QString& chemical = "Chlorpyrifos") {
    w.nameEdit()->setText(name);
    if (!chemical.isEmpty()) choose(w, chemical);
    w.sprayDateList()->setCurrentRow(w.sprayDateList()->count() - 1);
    while (w.sprayDateList()->count() > 1) QTest::mouseClick(w.deleteDateButton(), Qt::LeftButton);
}

// The inputs a run turns off (the velocity field aside: a pond's is always off).
QList<QWidget*> inputs(ScenarioWindow& w) {
    QList<QWidget*> all{w.printResultsBox(), w.chemicalList(), w.materialManagerButton(), w.nameEdit(),
                        w.startButton(), w.addDateButton(), w.deleteDateButton()};
    for (int f = 0; f < ScenarioWindow::kPathCount; ++f) all << w.chooseButton(ScenarioWindow::PathField(f));
    for (int p = 0; p < scenarioParameterIndex("waterVelocity"); ++p) all << w.parameterField(p);
    return all;
}

void addKinds() {
    QTest::addColumn<ModelKind>("kind");
    QTest::newRow("stream") << ModelKind::Stream;
    QTest::newRow("ditch") << ModelKind::Ditch;
    QTest::newRow("pond") << ModelKind::Pond;
}

}  // namespace

class ScenarioWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { verdanel::gui::useHangulFont(*qApp); }

    void opensWithTheModelsDefaults_data() {
        QTest::addColumn<ModelKind>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("parameters");
        const QStringList shared{"11", "7.5", "100", "15", "2", "0.8"};  // speed to canopy cover
        QTest::newRow("stream") << ModelKind::Stream << "Stream Model"
                                << QStringList{"200", "7"} + shared + QStringList{"14", "3", "0.25", "0.5"};
        QTest::newRow("ditch") << ModelKind::Ditch << "Ditch Model"
                               << QStringList{"600", "4"} + shared + QStringList{"4", "1", "0.1", "0.15"};
        QTest::newRow("pond") << ModelKind::Pond << "Pond Model"
                              << QStringList{"40", "4"} + shared + QStringList{"4", "1", "0.1", "0"};
    }
    void opensWithTheModelsDefaults() {
        QFETCH(ModelKind, kind);
        QFETCH(QString, title);
        QFETCH(QStringList, parameters);
        Session s;
        auto w = s.open(kind);
        QCOMPARE(w->windowTitle(), title);
        QStringList shownParameters;
        for (int p = 0; p < kScenarioParameterCount; ++p)
            shownParameters << w->parameterField(p)->text();
        QCOMPARE(shownParameters, parameters);
        QCOMPARE(w->parameterField(scenarioParameterIndex("waterVelocity"))->isEnabled(), kind != ModelKind::Pond);
        QVERIFY(w->nameEdit()->text().isEmpty());
        QVERIFY(w->printResultsBox()->isChecked());
        QCOMPARE(w->progressBar()->minimum(), 1);
        QCOMPARE(w->progressBar()->maximum(), 100);

        const QString input = q(s.app.base()) + "/input/";
        const QStringList files{"winddir.txt", "wind.txt", "temp.txt", "rain.txt", "Humi.txt"};
        for (int f = 0; f < ScenarioWindow::kPathCount; ++f) {
            QCOMPARE(w->pathField(ScenarioWindow::PathField(f))->text(), input + files[f]);
            QVERIFY(w->pathField(ScenarioWindow::PathField(f))->isReadOnly());
        }

        // Usable chemicals only, none selected; the sample without a Henry constant is left out.
        QCOMPARE(w->chemicalList()->currentIndex(), -1);
        QVERIFY(w->chemicalList()->findText("Chlorpyrifos") >= 0);
        QCOMPARE(w->chemicalList()->findText("Chlorantraniliprole"), -1);

        // Weekly at 10:00 from 1 June of last year to 31 August.
        const int year = localNow().year - 1;
        QListWidget* dates = w->sprayDateList();
        QCOMPARE(dates->count(), 14);
        QCOMPARE(dates->item(0)->text(), QString("%1-06-01 10:00").arg(year));
        QCOMPARE(dates->item(1)->text(), QString("%1-06-08 10:00").arg(year));
        QCOMPARE(dates->item(13)->text(), QString("%1-08-31 10:00").arg(year));
        QVERIFY(s.shown().isEmpty());
    }

    void sprayDateListKeepsOrderDuplicatesAndSelection() {
        Session s;
        auto w = s.open(ModelKind::Stream);
        QListWidget* dates = w->sprayDateList();
        const QString first = dates->item(0)->text();
        const QDate firstDay = QDate::fromString(first.left(10), Qt::ISODate);

        addDate(*w, firstDay);
        addDate(*w, firstDay.addDays(-3));
        addDate(*w, firstDay.addDays(1), false);
        QCOMPARE(dates->count(), 16);
        QCOMPARE(dates->item(0)->text(), firstDay.addDays(-3).toString(Qt::ISODate) + " 10:00");
        QCOMPARE(dates->item(1)->text(), first);
        QCOMPARE(dates->item(2)->text(), first);

        // Without a selection nothing goes; from the top the next entry moves up into the selection.
        dates->clearSelection();
        QTest::mouseClick(w->deleteDateButton(), Qt::LeftButton);
        QCOMPARE(dates->count(), 16);
        dates->setCurrentRow(0);
        while (dates->count() > 3) {
            QTest::mouseClick(w->deleteDateButton(), Qt::LeftButton);
            QCOMPARE(dates->currentRow(), 0);
            QVERIFY(dates->currentItem()->isSelected());
        }
        const QString middle = dates->item(1)->text();
        dates->setCurrentRow(2);
        QTest::mouseClick(w->deleteDateButton(), Qt::LeftButton);
        QCOMPARE(dates->count(), 2);
        QCOMPARE(dates->selectedItems().value(0)->text(), middle);
        QTest::mouseClick(w->deleteDateButton(), Qt::LeftButton);
        QTest::mouseClick(w->deleteDateButton(), Qt::LeftButton);
        QCOMPARE(dates->count(), 0);
        QVERIFY(dates->selectedItems().isEmpty());
        QCOMPARE(dates->currentRow(), -1);
    }

    void startChecksStopAtTheFirstProblem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("emptied");  // path fields and "dates"
        QTest::addColumn<QString>("notANumber");   // parameter field given a text
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("no name, no wind direction") << "" << QStringList{"windDirectionPath"} << ""
                                                    << QStringList{q(text::kEnterScenarioName)};
        QTest::newRow("every path empty")
            << "a"
            << QStringList{"windDirectionPath", "windSpeedPath", "temperaturePath", "rainfallPath", "humidityPath"}
            << "" << QStringList{q(text::kChooseWindSpeedFile)};
        QTest::newRow("rain and later paths")
            << "a" << QStringList{"windDirectionPath", "rainfallPath", "humidityPath"} << ""
            << QStringList{q(text::kChooseRainfallFile)};
        QTest::newRow("wind direction only") << "a" << QStringList{"windDirectionPath"} << ""
                                             << QStringList{q(text::kChooseWindDirectionFile)};
        QTest::newRow("no spray date") << "a" << QStringList{"dates"} << "" << QStringList{q(text::kEnterSprayDate)};
        // The start stops at the bad field; nothing after it is checked.
        QTest::newRow("not a number") << "" << QStringList{"windDirectionPath"} << "sprayRate"
                                      << QStringList{q(text::kEnterNumber)};
    }
    void startChecksStopAtTheFirstProblem() {
        QFETCH(QString, name);
        QFETCH(QStringList, emptied);
        QFETCH(QString, notANumber);
        QFETCH(QStringList, messages);
        Session s;
        auto w = s.open(ModelKind::Ditch);
        choose(*w, "Diazinon");
        w->nameEdit()->setText(name);
        for (const QString& field : emptied) {
            if (field == "dates") w->sprayDateList()->clear();
            else w->findChild<QLineEdit*>(field)->clear();
        }
        QLineEdit* bad = notANumber.isEmpty() ? nullptr : w->findChild<QLineEdit*>(notANumber);
        if (bad) bad->setText("7.5 L");
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), messages);
        if (bad) QCOMPARE(w->focusWidget(), bad);
        QCOMPARE(w->lastStartedScenarioName(), bad ? QString() : name);
        QVERIFY(s.stored(ModelKind::Ditch).isEmpty());
        QVERIFY(w->startButton()->isEnabled());
    }

    // After a stored run the user renames the scenario, changes a value and
    // mistypes another: the start stops at "숫자를 입력하십시오." with the
    // focus on the mistyped field. It asks nothing (a queued OK would
    // otherwise replace the earlier run), stores nothing and keeps none of
    // the new values; once corrected, the run takes every field as typed.
    void typoInANumberFieldStopsTheStart_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::newRow("first taken, with its unit") << int(scenarioParameterIndex("sprayRate")) << "9 L/min";
        QTest::newRow("emptied") << int(scenarioParameterIndex("waterDepth")) << "";
        QTest::newRow("decimal comma") << int(scenarioParameterIndex("canopyCover")) << "0,9";
        QTest::newRow("letter for a digit") << int(scenarioParameterIndex("dilutionRatio")) << "l00";
        QTest::newRow("blank") << int(scenarioParameterIndex("leafAreaIndex")) << "  ";
        QTest::newRow("last taken, two points") << int(scenarioParameterIndex("vehicleSpeed")) << "1.2.5";
    }
    void typoInANumberFieldStopsTheStart() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        Session s;
        auto w = s.open(ModelKind::Stream);
        auto storedParameters = [&](const std::string& name) {
            return queryScenario(s.connection, s.prompter, ModelKind::Stream, name).info.parameters;
        };
        prepareShortRun(*w, "earlier");
        w->printResultsBox()->setChecked(false);
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        const auto rowsBefore = s.fingerprint(ModelKind::Stream, "earlier");
        const auto parametersBefore = storedParameters("earlier");
        s.prompter.shown.clear();

        w->nameEdit()->setText("later");
        w->parameterField(scenarioParameterIndex("sprayLength"))->setText("300");
        QLineEdit* bad = w->parameterField(field);
        bad->setText(typed);
        s.prompter.setNextAnswer(true);
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), QStringList{q(text::kEnterNumber)});
        QCOMPARE(w->focusWidget(), bad);
        QCOMPARE(s.prompter.answers.size(), std::size_t(1));  // not asked
        QCOMPARE(s.stored(ModelKind::Stream), QStringList{"earlier"});
        QCOMPARE(s.fingerprint(ModelKind::Stream, "earlier"), rowsBefore);
        QVERIFY(storedParameters("earlier") == parametersBefore);
        QCOMPARE(w->lastStartedScenarioName(), QString("earlier"));
        for (QWidget* input : inputs(*w)) QVERIFY2(input->isEnabled(), qPrintable(input->objectName()));

        s.prompter.answers.clear();
        s.prompter.shown.clear();
        bad->setText("0.5");
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), QStringList{q(fillMessage(msg::kRunCompleteFormat, "later"))});
        QCOMPARE(s.stored(ModelKind::Stream), (QStringList{"earlier", "later"}));
        const auto later = storedParameters("later");
        QCOMPARE(later[static_cast<std::size_t>(scenarioParameterIndex("sprayLength"))], 300.0);
        QCOMPARE(later[std::size_t(field)], 0.5);
        QCOMPARE(w->lastStartedScenarioName(), QString("later"));
        QVERIFY(storedParameters("earlier") == parametersBefore);
    }

    void refusedInputsStoreNothing_data() {
        QTest::addColumn<QString>("chemical");
        QTest::addColumn<QString>("canopyCover");
        QTest::addColumn<QString>("message");
        QTest::newRow("canopy cover 0") << "Diazinon" << "0" << q(fillMessage(msg::kFractionRangeFormat, scenarioParameterNamed("canopyCover")->label));
        QTest::newRow("no chemical") << "" << "0.8" << q(msg::kNoChemicalChosen);
    }
    void refusedInputsStoreNothing() {
        QFETCH(QString, chemical);
        QFETCH(QString, canopyCover);
        QFETCH(QString, message);
        Session s;
        auto w = s.open(ModelKind::Stream);
        prepareShortRun(*w, "refused", chemical);
        w->parameterField(scenarioParameterIndex("canopyCover"))->setText(canopyCover);
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), QStringList{message});
        QVERIFY(s.stored(ModelKind::Stream).isEmpty());
        // The box is on, but a refused run leaves the window open for a correction.
        QVERIFY(w->isVisible());
        for (QWidget* input : inputs(*w)) QVERIFY2(input->isEnabled(), qPrintable(input->objectName()));
    }

    void shortRunReachesTheStore_data() { addKinds(); }
    void shortRunReachesTheStore() {
        QFETCH(ModelKind, kind);
        Session s;
        auto w = s.open(kind);
        prepareShortRun(*w, "short run");
        w->printResultsBox()->setChecked(false);
        w->parameterField(scenarioParameterIndex("vehicleSpeed"))->setText("12.5");
        const QString firstDate = w->sprayDateList()->item(0)->text();

        // Seen from inside the run: the inputs are off, the date list is not.
        bool inputsOff = true, listOn = false, velocityOff = false;
        duringTheRun(*w, [&] {
            for (QWidget* input : inputs(*w)) inputsOff = inputsOff && !input->isEnabled();
            listOn = w->sprayDateList()->isEnabled();
            velocityOff = !w->parameterField(scenarioParameterIndex("waterVelocity"))->isEnabled();
        });
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QVERIFY(inputsOff);
        QVERIFY(listOn);
        QVERIFY(velocityOff);

        QCOMPARE(s.shown(), QStringList{q(fillMessage(msg::kRunCompleteFormat, "short run"))});
        QCOMPARE(s.stored(kind), QStringList{"short run"});
        QCOMPARE(w->lastStartedScenarioName(), QString("short run"));
        const ScenarioQueryOutcome stored = queryScenario(s.connection, s.prompter, kind, "short run");
        QVERIFY(stored.status == ScenarioLookup::Found);
        QCOMPARE(q(stored.info.chemical), QString("Chlorpyrifos"));
        QCOMPARE(stored.info.parameters[static_cast<std::size_t>(scenarioParameterIndex("vehicleSpeed"))], 12.5);
        QCOMPARE(stored.info.parameters[static_cast<std::size_t>(scenarioParameterIndex("sprayLength"))], double(defaultParameters(kind).sprayLength));
        QCOMPARE(stored.info.parameters[static_cast<std::size_t>(scenarioParameterIndex("waterVelocity"))],
                 kind == ModelKind::Pond ? 0.0 : double(defaultParameters(kind).waterVelocity));
        const CivilTime start = *parseSprayDate(firstDate.toStdString());
        QCOMPARE(q(stored.info.startDate), q(formatDate(start)));
        QCOMPARE(q(stored.info.endDate), q(formatDate(addDays(start, 90))));
        QCOMPARE(s.fingerprint(kind, "short run").first, std::size_t(91 * 1440));

        QVERIFY(w->isVisible());
        for (QWidget* input : inputs(*w)) QVERIFY2(input->isEnabled(), qPrintable(input->objectName()));
        QCOMPARE(w->parameterField(scenarioParameterIndex("waterVelocity"))->isEnabled(), kind != ModelKind::Pond);
    }

    void printResultsBoxClosesTheWindowAfterARun() {
        Session s;
        auto w = s.open(ModelKind::Pond);
        prepareShortRun(*w, "closes");
        w->hide();
        whenModal<ScenarioWindow>([](ScenarioWindow* open) { QTest::mouseClick(open->startButton(), Qt::LeftButton); });
        QCOMPARE(w->exec(), int(QDialog::Accepted));
        QVERIFY(s.shown().isEmpty());
        QCOMPARE(s.stored(ModelKind::Pond), QStringList{"closes"});
        QCOMPARE(w->lastStartedScenarioName(), QString("closes"));
    }

    void cancellingTheReplaceQuestionKeepsTheStoredRun() {
        Session s;
        auto w = s.open(ModelKind::Stream);
        prepareShortRun(*w, "kept");
        w->printResultsBox()->setChecked(false);
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        const auto before = s.fingerprint(ModelKind::Stream, "kept");
        auto storedSprayRate = [&] {
            const ScenarioQueryOutcome stored = queryScenario(s.connection, s.prompter, ModelKind::Stream, "kept");
            return stored.info.parameters[static_cast<std::size_t>(scenarioParameterIndex("sprayRate"))];
        };
        QCOMPARE(before.first, std::size_t(91 * 1440));

        w->printResultsBox()->setChecked(true);
        w->parameterField(scenarioParameterIndex("sprayRate"))->setText("9");
        s.prompter.shown.clear();
        QTest::mouseClick(w->startButton(), Qt::LeftButton);  // no answer queued: Cancel
        QCOMPARE(s.shown(), (QStringList{q(msg::kReplaceQuestion), q(msg::kRunCancelled)}));
        QCOMPARE(s.fingerprint(ModelKind::Stream, "kept"), before);
        QCOMPARE(storedSprayRate(), 7.5);
        QVERIFY(w->isVisible());

        s.prompter.setNextAnswer(true);
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(storedSprayRate(), 9.0);
        QVERIFY(s.fingerprint(ModelKind::Stream, "kept") != before);
    }

    // Closed while the run replaces a stored one, or in the waiting messages
    // just before it starts: the run gives up (or never starts), the store
    // keeps the earlier run, the window goes once the run has returned and
    // the user is told the run was cancelled.
    void closingDuringARunAbandonsIt_data() {
        QTest::addColumn<bool>("beforeTheRun");
        QTest::newRow("while it runs") << false;
        QTest::newRow("before it starts") << true;
    }
    void closingDuringARunAbandonsIt() {
        QFETCH(bool, beforeTheRun);
        Session s;
        auto w = s.open(ModelKind::Ditch);
        prepareShortRun(*w, "earlier");
        w->printResultsBox()->setChecked(false);
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        const auto before = s.fingerprint(ModelKind::Ditch, "earlier");
        s.prompter.shown.clear();

        addDate(*w, QDate(localNow().year - 1, 7, 1));
        s.prompter.setNextAnswer(true);
        bool closedWhileRunning = false;
        auto closeIt = [&] {
            closedWhileRunning = w->isRunning();
            w->close();
        };
        if (!beforeTheRun) duringTheRun(*w, closeIt);
        w->hide();
        whenModal<ScenarioWindow>([&](ScenarioWindow* open) {
            // A Ditch window handles the waiting messages once before its run.
            if (beforeTheRun) QTimer::singleShot(0, open, closeIt);
            QTest::mouseClick(open->startButton(), Qt::LeftButton);
        });
        QCOMPARE(w->exec(), int(QDialog::Rejected));
        QVERIFY(closedWhileRunning);
        const QStringList expected = beforeTheRun ? QStringList{q(msg::kRunCancelled)}
                                                  : QStringList{q(msg::kReplaceQuestion), q(msg::kRunCancelled)};
        QCOMPARE(s.shown(), expected);
        QCOMPARE(q(s.prompter.shown.back().caption), q(msg::kProgramTitle));
        QCOMPARE(s.fingerprint(ModelKind::Ditch, "earlier"), before);
        QVERIFY(!w->isRunning());
    }

    void chosenWeatherFileIsTheOneRead() {
        Session s;
        auto w = s.open(ModelKind::Stream);
        QStringList asked;
        QString answer;
        w->setFileChooser([&](QWidget*, const QString& folder, const QString& filter) {
            asked << folder << filter;
            return answer;
        });
        const QString kept = w->pathField(ScenarioWindow::WindSpeedPath)->text();
        QTest::mouseClick(w->chooseButton(ScenarioWindow::WindSpeedPath), Qt::LeftButton);  // cancelled
        QCOMPARE(w->pathField(ScenarioWindow::WindSpeedPath)->text(), kept);
        QCOMPARE(asked, (QStringList{q(s.app.base()), q(msg::kWeatherFileFilter)}));

        answer = q(s.app.base()) + "/input/missing.txt";
        QTest::mouseClick(w->chooseButton(ScenarioWindow::HumidityPath), Qt::LeftButton);
        QCOMPARE(w->pathField(ScenarioWindow::HumidityPath)->text(), answer);
        QCOMPARE(w->pathField(ScenarioWindow::WindSpeedPath)->text(), kept);
        prepareShortRun(*w, "missing humidity");
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), QStringList{q(fillMessage(msg::kWeatherFileNotFound, answer.toStdString()))});
        QVERIFY(s.stored(ModelKind::Stream).isEmpty());
    }

    // After the manager the list is recomputed and the entry beginning with
    // the earlier selection is selected.
    void materialManagerRefreshesTheChemicalList() {
        Session s;
        auto w = s.open(ModelKind::Stream);
        choose(*w, "Diazinon");
        QString given;
        w->setMaterialManagerOpener([&](const QString& selected) {
            given = selected;
            ScriptedPrompter quiet;
            quiet.answers = {true, true};
            PropertyTexts texts = *showChemical(s.connection, quiet, "Diazinon");
            addChemical(s.connection, quiet, "Diazinon EC");
            applyChemicalEdits(s.connection, quiet, "Diazinon EC", texts);
            texts[chem_col::kHenryConstant - 1].clear();
            applyChemicalEdits(s.connection, quiet, "Diazinon", texts);
        });
        QTest::mouseClick(w->materialManagerButton(), Qt::LeftButton);
        QCOMPARE(given, QString("Diazinon"));
        QCOMPARE(w->chemicalList()->findText("Diazinon"), -1);
        QCOMPARE(w->chemicalList()->currentText(), QString("Diazinon EC"));
        QVERIFY(s.shown().isEmpty());
        // A run would use the chemical it names, as the store holds it now.
        QCOMPARE(w->chosenChemical()[chem_col::kName], std::string("Diazinon EC"));
        QVERIFY(!w->chosenChemical()[chem_col::kHenryConstant].empty());

        // The same name letter for letter comes before one that only starts
        // like it: "chlorpyrifos" stays itself beside "Chlorpyrifos".
        w->setMaterialManagerOpener([&](const QString&) {
            ScriptedPrompter quiet;
            quiet.answers = {true};
            const PropertyTexts texts = *showChemical(s.connection, quiet, "Chlorpyrifos");
            addChemical(s.connection, quiet, "chlorpyrifos");
            applyChemicalEdits(s.connection, quiet, "chlorpyrifos", texts);
        });
        QTest::mouseClick(w->materialManagerButton(), Qt::LeftButton);
        choose(*w, "chlorpyrifos");
        w->setMaterialManagerOpener([](const QString&) {});
        QTest::mouseClick(w->materialManagerButton(), Qt::LeftButton);
        QCOMPARE(w->chemicalList()->currentText(), QString("chlorpyrifos"));
    }

    void materialManagerOpensOverTheWindow() {
        Session s;
        auto w = s.open(ModelKind::Pond);
        QWidget* parent = nullptr;
        whenModal<verdanel::gui::MaterialManagerWindow>([&](verdanel::gui::MaterialManagerWindow* m) {
            parent = m->parentWidget();
            m->reject();
        });
        QTest::mouseClick(w->materialManagerButton(), Qt::LeftButton);
        QCOMPARE(parent, static_cast<QWidget*>(w.get()));
        QVERIFY(w->chemicalList()->count() > 0);
    }
};

QTEST_MAIN(ScenarioWindowTest)
#include "scenario_window_test.moc"
