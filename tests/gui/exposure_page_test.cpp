// The result window's "노출 평가" page and the chart's two options, driven as
// a user would over a store with one real Stream run.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/chemicals/chemical_table.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/results/exposure_endpoints.hpp"
#include "core/results/exposure_messages.hpp"
#include "core/store/store_connection.hpp"
#include "core/weather/weather_reader.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/controls/tab_pages_control.hpp"
#include "gui/results/chart_view.hpp"
#include "gui/results/exposure_page.hpp"
#include "gui/results/result_window.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::gui::ExposurePage;
using verdanel::gui::ResultWindow;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// The page's values as the core gives them for `column` and `threshold`.
QStringList coreValues(const ResultWindow& w, int column, std::optional<double> threshold) {
    QStringList values;
    for (const EndpointLine& l : endpointLines(columnEndpoints(w.rows(), column, 2023, threshold), ModelKind::Stream))
        values << q(l.value);
    return values;
}

QStringList shownValues(const ExposurePage& page) {
    QStringList values;
    for (int line = 0; line < 16; ++line) values << page.shownValue(line);
    return values;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class ExposurePageTest : public QObject {
    Q_OBJECT

    testing::TestApplication app{true};
    testing::ScriptedPrompter prompter;
    StoreConnection connection;
    std::unique_ptr<ResultWindow> window;

private slots:
    void initTestCase() {
        gui::useHangulFont(*qApp);
        QVERIFY(connection.open(app.connectionText(), prompter));
        ScenarioDefinition s;
        s.name = "Alpha";
        s.chemical = loadChemical(connection, prompter, "Chlorpyrifos").value();
        s.parameters = defaultParameters(ModelKind::Stream);
        s.sprayDates = {{2023, 6, 1, 10, 0, 0}, {2023, 6, 8, 10, 0, 0}};
        s.weather = defaultWeatherPaths(VERDANEL_SOURCE_DIR);
        WeatherSet weather;
        SilentProgress progress;
        RunOptions options;
        options.announceCompletion = false;
        QCOMPARE(runScenario(connection, prompter, progress, s, weather, options).status, RunStatus::Completed);

        window = std::make_unique<ResultWindow>(ModelKind::Stream, connection, prompter, app.base());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->scenarioList()->setCurrentIndex(window->scenarioList()->findText("Alpha"));
        QTest::mouseClick(window->searchButton(), Qt::LeftButton);
        QCOMPARE(window->rows().size(), std::size_t{98 * 1440});
        prompter.shown.clear();
    }
    void cleanupTestCase() { window.reset(); }

    void pageFollowsTheColumnAndTheThresholdAsTyped() {
        ResultWindow& w = *window;
        ExposurePage& page = *w.exposurePage();
        QCOMPARE(w.tabs()->count(), 4);  // "노출 평가" is the third, "물질 수지" the fourth
        w.tabs()->selectPage(2);
        QVERIFY(page.isVisible());
        QCOMPARE(page.columnHeader(), QString("Cwater"));
        QCOMPARE(page.unitLabel()->text(), QString("ppb"));
        QCOMPARE(shownValues(page), coreValues(w, 13, std::nullopt));
        QVERIFY(shownValues(page).mid(11).join("").isEmpty());  // no threshold: its lines are empty
        QVERIFY(!w.chart()->thresholdLine());

        // Typed one key at a time: "0", "0.", "0.0" and "0.00" are no threshold
        // yet; nothing is said about them.
        QTest::keyClicks(page.thresholdField(), "0.005");
        QCOMPARE(shownValues(page), coreValues(w, 13, 0.005));
        QVERIFY(coreValues(w, 13, 0.005)[13].toInt() > 1);  // several events
        QCOMPARE(w.chart()->threshold(), std::optional<double>(0.005));
        QVERIFY(w.chart()->thresholdLine());
        QTest::keyClicks(page.thresholdField(), "x");
        QVERIFY(shownValues(page).mid(11).join("").isEmpty());
        QVERIFY(!w.chart()->thresholdLine());
        QTest::keyClick(page.thresholdField(), Qt::Key_Backspace);

        page.columnChoice()->setCurrentIndex(page.columnChoice()->findText("Cair(S1)"));
        QCOMPARE(page.unitLabel()->text(), QString::fromUtf8("㎍/㎥"));
        QCOMPARE(shownValues(page), coreValues(w, 0, 0.005));
        QCOMPARE(q(w.chart()->thresholdLine()->text).left(9), QString("Cair(S1) "));
        QVERIFY(prompter.shown.empty());

        // Its export: the core's bytes, under a name of its own.
        QStringList asked;
        const QString path = QString::fromStdString(app.folder.file("endpoints.csv"));
        w.setSaveFileDialog([&](QWidget*, const QString& caption, const QString& name, const QString&) {
            asked = {caption, name};
            return path;
        });
        QTest::mouseClick(page.exportButton(), Qt::LeftButton);
        QCOMPARE(asked, (QStringList{QString::fromUtf8(msg::kExposureCsvSaveTitle),
                                     QString::fromUtf8("Cair(S1) 06-01 ~ 09-06 노출평가.csv")}));
        QCOMPARE(readAll(path), QByteArray::fromStdString(endpointsCsv(columnEndpoints(w.rows(), 0, 2023, 0.005),
                                                                       ModelKind::Stream, "Alpha", "06-01 ~ 09-06")));
        page.columnChoice()->setCurrentIndex(page.columnChoice()->findText("Cwater"));
        page.thresholdField()->clear();
    }

    void withBothOptionsOffTheChartIsAsBefore() {
        ResultWindow& w = *window;
        const QImage before = w.chart()->grab().toImage();
        const QPoint box(8, w.logScaleBox()->height() / 2);  // on the box itself
        QTest::mouseClick(w.logScaleBox(), Qt::LeftButton, {}, box);
        QVERIFY(w.chart()->isLogarithmic());
        const QImage logarithmic = w.chart()->grab().toImage();
        QVERIFY(logarithmic != before);
        QTest::keyClicks(w.exposurePage()->thresholdField(), "0.05");
        QVERIFY(w.chart()->grab().toImage() != logarithmic);
        // The threshold line in its own colour across the plot.
        const PlotRect plot = w.chart()->plotRect();
        const int y = w.chart()->thresholdLine()->y;
        const QImage both = w.chart()->grab().toImage();
        int cyan = 0;
        for (int x = plot.left + 1; x < plot.right - 1; ++x)
            cyan += both.pixel(x, y) == gui::ChartView::thresholdColor().rgb();
        QVERIFY(cyan > (plot.right - plot.left) / 3);

        QTest::mouseClick(w.logScaleBox(), Qt::LeftButton, {}, box);
        w.exposurePage()->thresholdField()->clear();
        QCOMPARE(w.chart()->grab().toImage(), before);
        QVERIFY(prompter.shown.empty());
    }
};

QTEST_MAIN(ExposurePageTest)
#include "exposure_page_test.moc"
