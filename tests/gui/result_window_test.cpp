// The result window over a store prepared by real runs: listing and choosing
// scenarios, searches and their pages, the chart's scales and colours, the
// delete with its compaction, the definition window's round trip, both
// exports, the Ditch series mapping and the chooser's wiring.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <filesystem>
#include <memory>
#include <sstream>

#include "core/app/store_compaction.hpp"
#include "core/store/store_space.hpp"
#include "core/chemicals/chemical_table.hpp"
#include "core/common/messages.hpp"
#include "core/common/number_text.hpp"
#include "core/common/platform.hpp"
#include "core/common/utf8_path.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/results/bmp_writer.hpp"
#include "core/results/result_csv.hpp"
#include "core/results/result_messages.hpp"
#include "core/results/result_search.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "core/weather/weather_reader.hpp"
#include "gui/app/model_chooser_window.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/app/startup.hpp"
#include "gui/controls/color_picker_button.hpp"
#include "gui/controls/color_popup.hpp"
#include "gui/controls/tab_pages_control.hpp"
#include "gui/results/chart_view.hpp"
#include "gui/results/result_pages.hpp"
#include "gui/results/result_table_models.hpp"
#include "gui/results/result_window.hpp"
#include "gui/results/window_picture.hpp"
#include "support/modal_helpers.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

namespace fs = std::filesystem;
using namespace verdanel;
using verdanel::gui::ResultWindow;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TestApplication;

Q_DECLARE_METATYPE(verdanel::ModelKind)

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
QString q(const char* s) { return QString::fromUtf8(s); }

// One spray date: a 91-day run.
RunStatus runOnce(StoreConnection& connection, Prompter& prompter, ModelKind kind, const std::string& name,
                  CivilTime spray) {
    ScenarioDefinition s;
    s.name = name;
    s.kind = kind;
    s.chemical = loadChemical(connection, prompter, "Chlorpyrifos").value();
    s.parameters = defaultParameters(kind);
    s.sprayDates = {spray};
    s.weather = defaultWeatherPaths(VERDANEL_SOURCE_DIR);
    WeatherSet weather;
    SilentProgress progress;
    RunOptions options;
    options.announceCompletion = false;
    return runScenario(connection, prompter, progress, s, weather, options).status;
}

// Stream "Alpha" (from 1 June 2023) and "beta", Ditch "Ditch one", run once for all tests.
std::unique_ptr<TestApplication> preparedStore;

// A fresh copy of the prepared store, open, and windows over it.
struct Session {
    TestApplication app;
    ScriptedPrompter prompter;
    StoreConnection connection;

    Session() {
        // Removed first: MinGW's libstdc++ takes any two files for the same one
        // when asked to overwrite (Windows gives no inode numbers to compare).
        fs::remove(app.storePath());
        fs::copy_file(preparedStore->storePath(), app.storePath());
        connection.open(app.connectionText(), prompter);
    }
    std::unique_ptr<ResultWindow> open(ModelKind kind) {
        auto w = std::make_unique<ResultWindow>(kind, connection, prompter, app.base());
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) qWarning("window not exposed");
        prompter.shown.clear();
        return w;
    }
    QStringList shown() const {
        QStringList t;
        for (const auto& r : prompter.shown) t << q(r.text);
        return t;
    }
    int count(const std::string& table, const QString& name) {
        StoreAccessor a(connection, prompter);
        a.query("SELECT COUNT(*) FROM " + table + " WHERE Scenario_Name = ?", {name.toStdString()}).rows();
        return std::stoi(a.cell(0, 0));
    }
};

void choose(ResultWindow& w, const QString& name) { w.scenarioList()->setCurrentIndex(w.scenarioList()->findText(name)); }

void searchRange(ResultWindow& w, QDate from, QDate to) {
    w.startPicker()->setDate(from);
    w.endPicker()->setDate(to);
    QTest::mouseClick(w.searchButton(), Qt::LeftButton);
}

QStringList fieldTexts(const ResultWindow& w) {
    QStringList t;
    for (int f = 0; f < ResultWindow::kFieldCount; ++f) t << w.field(ResultWindow::Field(f))->text();
    return t;
}

QImage chartImage(ResultWindow& w) { return w.chart()->grab().toImage(); }

// The chart as the screen shows it: what the window last painted there, not
// a fresh rendering. (Qt shows those pixels again whenever the window is
// uncovered or moved.)
QImage chartOnScreen(ResultWindow& w) {
    QCoreApplication::processEvents();  // the repaints asked for so far
    const QRect place = w.chart()->geometry();
    return w.screen()->grabWindow(w.winId(), place.x(), place.y(), place.width(), place.height()).toImage();
}

// The first plot row, top down, holding a pixel of the colour; -1 for none.
int topmostRow(const QImage& image, const PlotRect& r, QRgb colour) {
    for (int y = r.top + 1; y < r.bottom; ++y)
        for (int x = r.left + 1; x < r.right; ++x)
            if (image.pixel(x, y) == colour) return y;
    return -1;
}

double greatest(const ResultBuffer& rows, int k) {
    double m = 0;
    for (const ResultRow& r : rows.rows) m = std::max(m, r.values[static_cast<std::size_t>(k)]);
    return m;
}

QList<int> checkedSeries(const ResultWindow& w) {
    QList<int> k;
    for (int i = 0; i < w.seriesCount(); ++i)
        if (w.seriesBox(i)->isChecked()) k << i;
    return k;
}

// The text of every busy message window that appears.
class BusyWatcher : public QObject {
public:
    BusyWatcher() { qApp->installEventFilter(this); }
    ~BusyWatcher() override { qApp->removeEventFilter(this); }
    QStringList texts;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && o->objectName() == QLatin1String("busyMessageWindow"))
            if (auto* label = o->findChild<QLabel*>(QStringLiteral("busyMessageText"))) texts << label->text();
        return false;
    }
};

std::uint32_t le32(const QByteArray& b, int at) { return qFromLittleEndian<std::uint32_t>(b.constData() + at); }

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using SaveDialog = ResultWindow::SaveFileDialog;

}  // namespace

class ResultWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        verdanel::gui::useHangulFont(*qApp);
        preparedStore = std::make_unique<TestApplication>(true);
        ScriptedPrompter prompter;
        StoreConnection connection;
        QVERIFY(connection.open(preparedStore->connectionText(), prompter));
        const CivilTime firstJune{2023, 6, 1, 10, 0, 0};
        QCOMPARE(runOnce(connection, prompter, ModelKind::Stream, "beta", {2023, 7, 1, 10, 0, 0}), RunStatus::Completed);
        QCOMPARE(runOnce(connection, prompter, ModelKind::Stream, "Alpha", firstJune), RunStatus::Completed);
        QCOMPARE(runOnce(connection, prompter, ModelKind::Ditch, "Ditch one", firstJune), RunStatus::Completed);
    }
    void cleanupTestCase() { preparedStore.reset(); }

    void opensWithItsModelsListAndControls_data() {
        QTest::addColumn<ModelKind>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("captions");  // series k: caption, or "" when hidden
        const QStringList ditchPond{"", "Cair(water)", "Cair(spray)", "", "Csoil(spray)", "", "", "Cwater"};
        QTest::newRow("stream") << ModelKind::Stream << "Stream Model" << QStringList{"Alpha", "beta"}
                                << QStringList{"Cair(spray)", "Cair(adj)", "Cair(water)", "", "", "Csoil(spray)",
                                               "Csoil(adj)", "", "", "", "", "", "", "Cwater"};
        QTest::newRow("ditch") << ModelKind::Ditch << "Ditch Model" << QStringList{"Ditch one"} << ditchPond;
        QTest::newRow("pond") << ModelKind::Pond << "Pond Model" << QStringList{} << ditchPond;
    }
    void opensWithItsModelsListAndControls() {
        QFETCH(ModelKind, kind);
        QFETCH(QString, title);
        QFETCH(QStringList, names);
        QFETCH(QStringList, captions);
        Session s;
        auto w = s.open(kind);
        QCOMPARE(w->windowTitle(), title);
        QStringList listed;
        for (int i = 0; i < w->scenarioList()->count(); ++i) listed << w->scenarioList()->itemText(i);
        QCOMPARE(listed, names);
        QCOMPARE(w->scenarioList()->currentIndex(), -1);
        QCOMPARE(fieldTexts(*w).join(""), QString());
        QCOMPARE(w->startPicker()->date(), QDate::currentDate());
        QCOMPARE(w->endPicker()->date(), QDate::currentDate());
        QVERIFY(!w->applyButton()->isEnabled());
        QCOMPARE(w->tabs()->currentIndex(), 0);
        QVERIFY(w->finalPage()->isVisible() && !w->detailPage()->isVisible());

        QStringList shownCaptions;
        for (int k = 0; k < w->seriesCount(); ++k) {
            QCOMPARE(w->colorButton(k)->color(), QColor(255, 0, 0));
            QCOMPARE(w->colorButton(k)->controlId(), 1068 + k);
            QCOMPARE(w->seriesBox(k)->isVisible(), w->colorButton(k)->isVisible());
            shownCaptions << (w->seriesBox(k)->isVisible() ? w->seriesBox(k)->text() : QString());
        }
        QCOMPARE(shownCaptions, captions);

        QCOMPARE(w->deleteButton()->toolTip(), q(msg::kDeleteTooltip));
        QCOMPARE(w->parameterField(scenarioParameterIndex("sprayRate"))->toolTip(), QString("unit: L/m"));
        QVERIFY(w->parameterField(scenarioParameterIndex("dilutionRatio"))->toolTip().isEmpty());
        // The plot is the frame, its right and bottom edges less one.
        const QPoint origin = w->chart()->mapTo(w.get(), QPoint());
        const PlotRect plot = w->chart()->plotRect();
        QCOMPARE(QRect(origin + QPoint(plot.left, plot.top), origin + QPoint(plot.right, plot.bottom)),
                 QRect(w->chartFrame()->mapTo(w.get(), QPoint()), w->chartFrame()->size()));
    }

    void choosingAScenarioFillsFieldsAndPickers() {
        Session s;
        auto w = s.open(ModelKind::Stream);
        choose(*w, "Alpha");
        QCOMPARE(fieldTexts(*w), (QStringList{"Chlorpyrifos", "200", "7", "11", "7.5", "100", "15", "2", "0.8", "14",
                                              "3", "0.25", "0.5", "2023-06-01", "2023-08-30"}));
        QCOMPARE(w->startPicker()->date(), QDate(2023, 6, 1));
        QCOMPARE(w->endPicker()->date(), QDate(2023, 8, 30));

        // Removed behind the window's back: the fields are emptied.
        QVERIFY(deleteScenario(s.connection, s.prompter, ModelKind::Stream, "beta"));
        choose(*w, "beta");
        QCOMPARE(fieldTexts(*w).join(""), QString());
        QVERIFY(s.shown().isEmpty());
    }

    void searchFillsThePagesAndAnEmptySearchClearsThemOnly() {
        Session s;
        auto w = s.open(ModelKind::Stream);
        QTest::mouseClick(w->searchButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), QStringList{q(msg::kSelectScenario)});
        s.prompter.shown.clear();

        BusyWatcher busy;
        choose(*w, "Alpha");
        searchRange(*w, QDate(2031, 6, 1), QDate(2031, 6, 3));  // the year takes no part
        QVERIFY(s.shown().isEmpty());
        QCOMPARE(busy.texts, QStringList{q(msg::kSearching)});
        const ResultBuffer expected = ResultSearch::search(s.connection, s.prompter, ModelKind::Stream, "Alpha", 6, 1, 6, 3);
        QVERIFY(expected.size() > 2 * 1440);
        QCOMPARE(w->rows().size(), expected.size());

        // Both lists show every row; cells in the core's texts; hidden columns can be dragged open.
        auto* detail = w->detailPage()->resultModel();
        auto* brief = w->finalPage()->model();
        const int last = int(expected.size()) - 1;
        const ResultRow& row = expected.rows.back();
        QCOMPARE(detail->rowCount(), last + 1);
        QCOMPARE(brief->rowCount(), last + 1);
        QCOMPARE(detail->index(last, 1).data().toString(), QString("03"));
        QCOMPARE(detail->index(last, 17).data().toString(), q(formatE(row.values[13])));
        QCOMPARE(detail->index(last, 9).data().toString(), q(formatE(row.values[5])));
        QCOMPARE(brief->index(last, 4).data().toString(), q(formatE(row.values[13])));
        QHeaderView* header = w->detailPage()->horizontalHeader();
        QCOMPARE(header->sectionSize(7), 0);
        QVERIFY(!header->isSectionHidden(7));
        QCOMPARE(w->finalPage()->table()->horizontalHeader()->sectionSize(4), 140);

        const SummaryTexts texts = summarize(expected, 2031);
        QVERIFY(texts.waterMaximum != "-");
        QCOMPARE(w->summary(), texts);
        QCOMPARE(w->finalPage()->field(gui::FinalResultsPage::WaterResidence)->text(), q(texts.waterResidence));
        QCOMPARE(checkedSeries(*w), QList<int>{13});
        QVERIFY(w->applyButton()->isEnabled());
        QCOMPARE(w->chart()->scales().verticalMaximum, greatest(expected, 13) * 1.2);

        // A range without rows (January; a start after the end would be a
        // range across New Year): nothing found; the pages are cleared, rows and chart stay.
        const QImage chart = chartImage(*w);
        searchRange(*w, QDate(2023, 1, 5), QDate(2023, 1, 6));
        QCOMPARE(s.shown(), QStringList{q(msg::kNoDataFound)});
        QCOMPARE(detail->rowCount(), 0);
        QCOMPARE(brief->rowCount(), 0);
        QCOMPARE(w->summary(), SummaryTexts{});
        QCOMPARE(w->rows().size(), expected.size());
        QCOMPARE(chartImage(*w), chart);
    }

    void applyScalesToTheCheckedSeriesAndColoursShowAtTheNextRepaint() {
        Session s;
        auto w = s.open(ModelKind::Stream);
        w->applyChart();
        QCOMPARE(s.shown(), QStringList{q(msg::kNoModellingData)});
        choose(*w, "Alpha");
        searchRange(*w, QDate(2023, 6, 1), QDate(2023, 6, 2));
        s.prompter.shown.clear();

        w->seriesBox(13)->setChecked(false);
        QTest::mouseClick(w->applyButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), QStringList{q(msg::kSelectSeries)});

        // Csoil(spray1) alone: its highest point lies at 1/1.2 of the plot's height.
        w->seriesBox(5)->setChecked(true);
        QTest::mouseClick(w->applyButton(), Qt::LeftButton);
        QCOMPARE(w->chart()->scales().verticalMaximum, greatest(w->rows(), 5) * 1.2);
        const PlotRect r = w->chart()->plotRect();
        const int peak = r.bottom - int((r.bottom - r.top) / 1.2);
        QVERIFY(std::abs(topmostRow(chartImage(*w), r, qRgb(255, 0, 0)) - peak) <= 1);

        // Blue (palette row 1, column 5) for Csoil(spray1): the screen shows
        // it at once, with no red left.
        QVERIFY(std::abs(topmostRow(chartOnScreen(*w), r, qRgb(255, 0, 0)) - peak) <= 1);
        gui::ColorPopup* popup = w->colorButton(5)->popup();
        QTimer::singleShot(0, popup, [popup] {
            const QPoint centre = popup->cell(gui::ColorPopup::kBaseId + 13)->geometry().center();
            QTest::mousePress(popup, Qt::LeftButton, {}, centre);
            QTest::mouseRelease(popup, Qt::LeftButton, {}, centre);
        });
        QTest::mouseClick(w->colorButton(5), Qt::LeftButton);
        QCOMPARE(w->chart()->seriesColor(5), QColor(0, 0, 255));
        const QImage blue = chartOnScreen(*w);
        QCOMPARE(topmostRow(blue, r, qRgb(255, 0, 0)), -1);
        QVERIFY(std::abs(topmostRow(blue, r, qRgb(0, 0, 255)) - peak) <= 1);
        QCOMPARE(chartImage(*w).convertToFormat(blue.format()), blue);

        // Water checked again, not applied: on the screen at once, in red.
        w->seriesBox(13)->setChecked(true);
        const QImage both = chartOnScreen(*w);
        QVERIFY(topmostRow(both, r, qRgb(255, 0, 0)) >= 0);
        QCOMPARE(chartImage(*w).convertToFormat(both.format()), both);
        w->seriesBox(13)->setChecked(false);
        QCOMPARE(topmostRow(chartOnScreen(*w), r, qRgb(255, 0, 0)), -1);
    }

    void deleteRemovesTheScenarioEverywhereAndCompacts_data() {
        QTest::addColumn<ModelKind>("kind");
        QTest::addColumn<QString>("name");
        QTest::newRow("stream") << ModelKind::Stream << "Alpha";
        QTest::newRow("ditch") << ModelKind::Ditch << "Ditch one";
    }
    void deleteRemovesTheScenarioEverywhereAndCompacts() {
        QFETCH(ModelKind, kind);
        QFETCH(QString, name);
        Session s;
        const std::string output = std::string("model_output_") + modelTypeText(kind);
        const std::string balance = std::string("mass_balance_") + modelTypeText(kind);
        // The run stored its mass balance; a row of another shape goes with it too.
        const int balanceRows = s.count(balance, name);
        StoreAccessor(s.connection, s.prompter)
            .execute("INSERT INTO " + balance + " (Scenario_Name) VALUES (?)", {name.toStdString()});
        QVERIFY(s.count(output, name) > 0 && balanceRows > 0 && s.count(balance, name) == balanceRows + 1);
        const std::uint64_t before = platform::fileIdentity(pathFromUtf8(s.app.storePath()));
        QVERIFY(before != 0);
        const auto sizeBefore = fs::file_size(pathFromUtf8(s.app.storePath()));

        auto w = s.open(kind);
        QTest::mouseClick(w->deleteButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), QStringList{q(msg::kSelectScenarioToDelete)});
        s.prompter.shown.clear();
        choose(*w, name);
        searchRange(*w, QDate(2023, 6, 1), QDate(2023, 6, 2));
        const std::size_t rowsShown = w->rows().size();
        const QStringList fieldsShown = fieldTexts(*w);

        // Asked first, before any busy window: Cancel changes nothing.
        BusyWatcher busy;
        QTest::mouseClick(w->deleteButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), QStringList{q(msg::kDeleteScenarioQuestion)});
        QCOMPARE(q(s.prompter.shown.front().caption), QString("Verdanel"));
        QVERIFY(s.prompter.shown.front().question);
        QVERIFY(busy.texts.isEmpty());
        for (const std::string& table : {std::string("Scenario_Info"), output, balance}) QVERIFY(s.count(table, name) > 0);
        QCOMPARE(w->scenarioList()->currentText(), name);
        QCOMPARE(fieldTexts(*w), fieldsShown);
        QCOMPARE(w->rows().size(), rowsShown);
        QCOMPARE(checkedSeries(*w), QList<int>{w->rows().waterIndex()});
        QVERIFY(w->chart()->scales().verticalMaximum > 0);
        QCOMPARE(platform::fileIdentity(pathFromUtf8(s.app.storePath())), before);

        s.prompter.shown.clear();
        s.prompter.setNextAnswer(true);
        QTest::mouseClick(w->deleteButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), QStringList{q(msg::kDeleteScenarioQuestion)});
        QCOMPARE(busy.texts, QStringList{q(msg::kDeletingScenario)});
        s.prompter.shown.clear();

        for (const std::string& table : {std::string("Scenario_Info"), output, balance}) QCOMPARE(s.count(table, name), 0);
        if (kind == ModelKind::Stream) QCOMPARE(s.count("Scenario_Info", "beta"), 1);
        QCOMPARE(w->scenarioList()->findText(name), -1);
        QCOMPARE(w->scenarioList()->currentIndex(), -1);
        QCOMPARE(fieldTexts(*w).join(""), QString());
        QCOMPARE(w->detailPage()->resultModel()->rowCount(), 0);
        QVERIFY(w->rows().empty());
        QVERIFY(checkedSeries(*w).isEmpty());
        QCOMPARE(w->chart()->scales().verticalMaximum, 0.0);

        // The delete gave its pages back in place: the file shrank, nothing
        // lies free, no rewrite was needed, the connection is open.
        QCOMPARE(platform::fileIdentity(pathFromUtf8(s.app.storePath())), before);
        QVERIFY(fs::file_size(pathFromUtf8(s.app.storePath())) < sizeBefore);
        QCOMPARE(readStoreSpace(s.connection).freePages, std::int64_t(0));
        QVERIFY(!fs::exists(compactionTempPath(s.app.storePath())));
        QVERIFY(s.connection.isOpen());

        // "apply" stays on and finds nothing to draw.
        QTest::mouseClick(w->applyButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), QStringList{q(msg::kNoModellingData)});
    }

    void definitionWindowRoundTripSelectsAndSearchesTheNewRun() {
        Session s;
        auto w = s.open(ModelKind::Stream);
        w->setScenarioWindowOpener([&](ModelKind kind, QWidget* parent) {
            if (kind != ModelKind::Stream || parent != w.get()) return QString();
            runOnce(s.connection, s.prompter, kind, "Gamma run", {2023, 5, 1, 10, 0, 0});
            return QString("GAMMA");  // the start of the name, in other letters
        });
        QTest::mouseClick(w->modelingButton(), Qt::LeftButton);
        QCOMPARE(w->scenarioList()->currentText(), QString("Gamma run"));
        QCOMPARE(w->field(ResultWindow::PeriodStart)->text(), QString("2023-05-01"));
        // Its whole period loaded, only Cwater drawn.
        QCOMPARE(w->rows().rows.front().month, 5);
        QCOMPARE(w->rows().rows.back().month, 7);
        QCOMPARE(checkedSeries(*w), QList<int>{13});
        QVERIFY(s.shown().isEmpty());

        // A name that is not stored: no selection, empty fields, and the search says so.
        w->setScenarioWindowOpener([](ModelKind, QWidget*) { return QString("nothing like it"); });
        QTest::mouseClick(w->modelingButton(), Qt::LeftButton);
        QCOMPARE(w->scenarioList()->currentIndex(), -1);
        QCOMPARE(fieldTexts(*w).join(""), QString());
        QCOMPARE(s.shown(), QStringList{q(msg::kSelectScenario)});
    }

    void csvExportIsTheCoreWritersOutput() {
        Session s;
        auto w = s.open(ModelKind::Stream);
        QStringList asked;
        QString answer;
        w->setSaveFileDialog([&](QWidget*, const QString& caption, const QString& name, const QString& filter) {
            asked = {caption, name, filter};
            return answer;
        });
        choose(*w, "Alpha");
        searchRange(*w, QDate(2023, 6, 1), QDate(2023, 6, 3));
        QTest::mouseClick(w->csvButton(), Qt::LeftButton);  // cancelled: nothing written
        QCOMPARE(asked, (QStringList{q(msg::kCsvSaveTitle), "06-01 ~ 06-03.csv",
                                     "Comma Seperated Files (*.csv);;All Files (*.*)"}));

        answer = q(s.app.folder.file("out.csv"));
        QTest::mouseClick(w->csvButton(), Qt::LeftButton);
        std::ostringstream expected;
        writeResultsCsv(expected, w->rows(), summarize(w->rows(), 2023));
        QCOMPARE(readAll(answer), QByteArray::fromStdString(expected.str()));

        // After an empty search (January holds no rows): no summary, but the rows still held.
        searchRange(*w, QDate(2023, 1, 9), QDate(2023, 1, 10));
        QTest::mouseClick(w->csvButton(), Qt::LeftButton);
        QCOMPARE(asked.value(1), QString("01-09 ~ 01-10.csv"));
        std::ostringstream kept;
        writeResultsCsv(kept, w->rows(), SummaryTexts{});
        QCOMPARE(readAll(answer), QByteArray::fromStdString(kept.str()));

        s.prompter.shown.clear();
        answer = q(s.app.folder.str());  // a folder cannot be opened as a file
        QTest::mouseClick(w->csvButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), QStringList{q(msg::kCsvCannotOpen)});
        QCOMPARE(q(s.prompter.shown.front().caption), q(msg::kErrorCaption));
    }

    void bitmapExportIsTheWindowsPicture() {
        // 3 bytes a pixel, rows padded to 4: 101 pixels take 304 bytes.
        QCOMPARE(bmpStride24(101), std::size_t(304));
        const std::vector<std::uint8_t> pixels(303 * 2, 0x7f);
        QCOMPARE(encodeBmp24(101, 2, pixels.data(), 303).size(), std::size_t(54 + 2 * 304));

        Session s;
        auto w = s.open(ModelKind::Stream);
        QStringList asked;
        QString answer = q(s.app.folder.file("window.bmp"));
        w->setSaveFileDialog([&](QWidget*, const QString&, const QString& name, const QString& filter) {
            asked = {name, filter};
            return answer;
        });
        choose(*w, "Alpha");
        searchRange(*w, QDate(2023, 6, 1), QDate(2023, 6, 2));
        QTest::mouseClick(w->imageButton(), Qt::LeftButton);
        QCOMPARE(asked, (QStringList{"*.bmp", "Bitmap Files (*.bmp);;All Files (*.*)"}));
        QVERIFY(s.shown().isEmpty());

        const QByteArray file = readAll(answer);
        const QSize size = gui::windowPicture(w.get()).size();
        QVERIFY(size.width() >= w->width() && size.height() >= w->height());
        const int stride = int(bmpStride24(size.width()));
        QCOMPARE(file.left(2), QByteArray("BM"));
        QCOMPARE(le32(file, 2), std::uint32_t(file.size()));
        QCOMPARE(int(le32(file, 2)), 54 + stride * size.height());
        QCOMPARE(le32(file, 10), 54u);
        QCOMPARE(int(le32(file, 18)), size.width());
        QCOMPARE(int(le32(file, 22)), size.height());
        QCOMPARE(int(file.at(28)), 24);
        // The plot's middle is black in the file (rows bottom up).
        const QPoint frameInset = size == w->size() ? QPoint() : w->geometry().topLeft() - w->frameGeometry().topLeft();
        const QPoint centre = w->chartFrame()->geometry().center() + frameInset;
        QCOMPARE(file.mid(54 + stride * (size.height() - 1 - centre.y()) + 3 * centre.x(), 3), QByteArray(3, '\0'));

        // A file that cannot be made: nothing is shown.
        answer = q(s.app.folder.file("missing/folder/window.bmp"));
        QTest::mouseClick(w->imageButton(), Qt::LeftButton);
        QVERIFY(s.shown().isEmpty());
        QVERIFY(!QFile::exists(answer));
    }

    void ditchSprayCaptionsDrawTheSecondStrip() {
        Session s;
        auto w = s.open(ModelKind::Ditch);
        choose(*w, "Ditch one");
        searchRange(*w, QDate(2023, 6, 1), QDate(2023, 6, 3));
        const ResultBuffer& rows = w->rows();
        QCOMPARE(checkedSeries(*w), QList<int>{7});
        // The strips differ, so the scale tells which value a box draws.
        QVERIFY(greatest(rows, 2) != greatest(rows, 0) && greatest(rows, 4) != greatest(rows, 3));
        for (auto [caption, value] : {std::pair{"Cair(spray)", 2}, std::pair{"Csoil(spray)", 4}}) {
            QCheckBox* box = w->findChild<QCheckBox*>(QString("seriesBox%1").arg(1110 + value));
            QCOMPARE(box->text(), QString(caption));
            uncheckAll(*w);
            box->setChecked(true);
            QTest::mouseClick(w->applyButton(), Qt::LeftButton);
            QCOMPARE(w->chart()->scales().verticalMaximum, greatest(rows, value) * 1.2);
        }
        QVERIFY(s.shown().isEmpty());
    }

    void whileASearchLoadsTheRowsAreNotTouched() {
        Session s;
        auto w = s.open(ModelKind::Stream);
        int dialogs = 0;
        w->setSaveFileDialog([&](QWidget*, const QString&, const QString&, const QString&) {
            ++dialogs;
            return QString();
        });
        choose(*w, "Alpha");
        bool refused = false;
        QTimer::singleShot(0, w.get(), [&] {
            refused = w->isSearching() && !w->searchButton()->isEnabled() && !w->deleteButton()->isEnabled();
            w->deleteSelectedScenario();
            w->exportCsv();
            w->exportImage();
        });
        searchRange(*w, QDate(2023, 6, 1), QDate(2023, 6, 4));
        QVERIFY(refused);
        QCOMPARE(dialogs, 0);
        QCOMPARE(s.count("Scenario_Info", "Alpha"), 1);
        QVERIFY(w->rows().size() > 3 * 1440);
        QVERIFY(w->searchButton()->isEnabled());

        // A click on "삭제" that reaches the window only while the rows are
        // being shown (queued behind the search) is dropped, even with an OK
        // waiting for a question.
        QAbstractItemModel* detail = w->detailPage()->resultModel();
        bool queued = false;
        QObject::connect(detail, &QAbstractItemModel::modelReset, w.get(), [&] {
            if (queued || !w->isSearching() || detail->rowCount() == 0) return;
            queued = true;
            QPushButton* target = w->deleteButton();
            const QPointF at(target->rect().center());
            for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
                QCoreApplication::postEvent(target, new QMouseEvent(type, at, target->mapToGlobal(at), Qt::LeftButton,
                                                                    held, Qt::NoModifier));
            }
        });
        s.prompter.setNextAnswer(true);
        searchRange(*w, QDate(2023, 6, 2), QDate(2023, 6, 3));
        QCoreApplication::processEvents();
        QVERIFY(queued);
        QVERIFY(s.shown().isEmpty());
        QCOMPARE(s.count("Scenario_Info", "Alpha"), 1);
        QCOMPARE(w->rows().size(), std::size_t(2 * 1440));
        QVERIFY(w->deleteButton()->isEnabled());
        s.prompter.answers.clear();

        // Closed meanwhile: the load gives up and the window goes once it has returned.
        QTimer::singleShot(0, w.get(), [&] { w->close(); });
        searchRange(*w, QDate(2023, 6, 1), QDate(2023, 8, 30));
        QVERIFY(!w->isVisible());
        QVERIFY(w->rows().empty());
        QVERIFY(s.shown().isEmpty());
    }

    void chooserOpensAFreshWindowForEveryPress() {
        Session s;
        QStringList seen;
        auto inspect = [&](ResultWindow* r) {
            seen << QString("%1:%2").arg(r->windowTitle()).arg(r->scenarioList()->currentIndex());
            choose(*r, r->scenarioList()->itemText(0));  // a fresh window must not have this
            QTest::mouseClick(r->closeButton(), Qt::LeftButton);
        };
        verdanel::testing::whenModal<gui::ModelChooserWindow>([&](gui::ModelChooserWindow* chooser) {
            for (ModelKind kind : {ModelKind::Stream, ModelKind::Stream, ModelKind::Ditch}) {
                verdanel::testing::whenModal<ResultWindow>(inspect);
                QTest::mouseClick(chooser->modelButton(kind), Qt::LeftButton);
            }
            chooser->reject();
        });
        gui::runModelChooser(s.connection, s.app.base(), s.prompter);
        QCOMPARE(seen, (QStringList{"Stream Model:-1", "Stream Model:-1", "Ditch Model:-1"}));
    }

    // A spray on 20 November runs into February: choosing the scenario sets
    // the pickers to 11-20 ~ 02-18 and the search shows the whole period in
    // time order, with the core's summary of it.
    void aScenarioAcrossNewYearShowsItsWholePeriod() {
        Session s;
        QCOMPARE(runOnce(s.connection, s.prompter, ModelKind::Ditch, "Winter", CivilTime{2023, 11, 20, 10, 0, 0}),
                 RunStatus::Completed);
        auto w = s.open(ModelKind::Ditch);
        choose(*w, "Winter");
        QCOMPARE(w->startPicker()->date(), QDate(2023, 11, 20));
        QCOMPARE(w->endPicker()->date(), QDate(2024, 2, 18));
        QTest::mouseClick(w->searchButton(), Qt::LeftButton);
        QCOMPARE(s.shown(), QStringList{});
        QCOMPARE(w->rows().size(), std::size_t{91 * 1440});
        auto stamp = [&](std::size_t i) {
            const ResultRow& r = w->rows().rows[i];
            return QString::asprintf("%02d-%02d %02d:%02d", r.month, r.day, r.hour, r.minute);
        };
        QCOMPARE(stamp(0), QString("11-20 00:00"));
        QCOMPARE(stamp(42 * 1440 - 1), QString("12-31 23:59"));
        QCOMPARE(stamp(42 * 1440), QString("01-01 00:00"));
        QCOMPARE(stamp(91 * 1440 - 1), QString("02-18 23:59"));
        const ResultBuffer expected =
            ResultSearch::search(s.connection, s.prompter, ModelKind::Ditch, "Winter", 11, 20, 2, 18);
        QCOMPARE(w->summary(), summarize(expected, 2023));
        QVERIFY(w->summary().waterMaximum != "-");
        auto* detail = w->detailPage()->resultModel();
        QCOMPARE(detail->rowCount(), 91 * 1440);
        QCOMPARE(detail->index(42 * 1440, 0).data().toString(), QString("01"));
    }

private:
    static void uncheckAll(ResultWindow& w) {
        for (int k : checkedSeries(w)) w.seriesBox(k)->setChecked(false);
    }
};

QTEST_MAIN(ResultWindowTest)
#include "result_window_test.moc"
