// The result window's "물질 수지" page over a store with a real run of each
// model: after a search it shows the core's table of the searched period's
// last hour and the chart's shares; a run stored without balance rows gets
// the page's note instead; a delete clears it.
//
// With VERDANEL_SCREENSHOT_DIR set (and a real X server, QT_QPA_PLATFORM=xcb
// under xvfb-run), each model's window is shown on the page and the screen
// is saved there as balance-<model>.png with `import -window root`.
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>

#include "core/chemicals/chemical_table.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/results/mass_balance_messages.hpp"
#include "core/results/mass_balance_series.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "core/weather/weather_reader.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/controls/tab_pages_control.hpp"
#include "gui/results/mass_balance_page.hpp"
#include "gui/results/result_window.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::gui::MassBalancePage;
using verdanel::gui::ResultWindow;

Q_DECLARE_METATYPE(verdanel::ModelKind)

class MassBalancePageTest : public QObject {
    Q_OBJECT

    testing::TestApplication app{true};
    testing::ScriptedPrompter prompter;
    StoreConnection connection;

    void run(ModelKind kind, const std::string& name) {
        ScenarioDefinition s;
        s.name = name;
        s.kind = kind;
        s.chemical = loadChemical(connection, prompter, "Chlorpyrifos").value();
        s.parameters = defaultParameters(kind);
        s.sprayDates = {{2023, 6, 1, 10, 0, 0}, {2023, 6, 8, 10, 0, 0}};
        s.weather = defaultWeatherPaths(VERDANEL_SOURCE_DIR);
        WeatherSet weather;
        SilentProgress progress;
        RunOptions options;
        options.announceCompletion = false;
        QCOMPARE(runScenario(connection, prompter, progress, s, weather, options).status, RunStatus::Completed);
    }

    std::unique_ptr<ResultWindow> searched(ModelKind kind, const QString& name) {
        auto w = std::make_unique<ResultWindow>(kind, connection, prompter, app.base());
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
        w->scenarioList()->setCurrentIndex(w->scenarioList()->findText(name));
        QTest::mouseClick(w->searchButton(), Qt::LeftButton);
        return w;
    }

private slots:
    void initTestCase() {
        gui::useHangulFont(*qApp);
        QVERIFY(connection.open(app.connectionText(), prompter));
        run(ModelKind::Stream, "Alpha");
        run(ModelKind::Ditch, "Alpha");
        run(ModelKind::Pond, "Alpha");
        run(ModelKind::Pond, "earlier");
        // A run stored before balances were kept: its output rows without balance rows.
        QVERIFY(StoreAccessor(connection, prompter).execute("DELETE FROM mass_balance_pond WHERE Scenario_Name = ?",
                                                            {std::string("earlier")}));
        prompter.shown.clear();
    }

    void pageShowsTheLastHourAndTheSharesOfTheSearch_data() {
        QTest::addColumn<ModelKind>("kind");
        QTest::newRow("stream") << ModelKind::Stream;
        QTest::newRow("ditch") << ModelKind::Ditch;
        QTest::newRow("pond") << ModelKind::Pond;
    }
    void pageShowsTheLastHourAndTheSharesOfTheSearch() {
        QFETCH(ModelKind, kind);
        auto w = searched(kind, "Alpha");
        QVERIFY(w);
        QVERIFY(!w->rows().empty());
        QCOMPARE(w->tabs()->count(), 4);
        // Only the selected page shows: the others lie hidden under it.
        for (int i = 1; i < 4; ++i) QVERIFY2(!w->tabs()->page(i)->isVisible(), qPrintable(QString::number(i)));
        QCOMPARE(w->tabs()->tabBar()->tabText(3), QString::fromUtf8(msg::kMassBalanceTab));
        w->tabs()->selectPage(3);
        MassBalancePage& page = *w->massBalancePage();
        QVERIFY(page.isVisible());

        // The searched period's hours, as the core searches them.
        const MassBalanceRows expected = searchMassBalance(connection, kind, "Alpha", w->startDate().month(),
                                                           w->startDate().day(), w->endDate().month(), w->endDate().day());
        QCOMPARE(page.rows().rows.size(), w->rows().size() / 60);
        QCOMPARE(page.rows().rows.size(), expected.rows.size());
        // A line per band of the chart; applied and closure above the chart.
        const std::vector<BalanceLine> lines = balanceLines(expected.rows.back().balance);
        QCOMPARE(page.table()->rowCount(), static_cast<int>(kBalanceBands.size()));
        for (int r = 0; r < page.table()->rowCount(); ++r) {
            const BalanceLine& l = lines[static_cast<std::size_t>(kBalanceBands[static_cast<std::size_t>(r)])];
            QCOMPARE(page.table()->item(r, 0)->text(), QString::fromUtf8(l.label));
            QCOMPARE(page.table()->item(r, 1)->text(), QString::fromStdString(l.mass));
            QCOMPARE(page.table()->item(r, 2)->text(), QString::fromStdString(l.percent));
            // Every line in sight without scrolling.
            QVERIFY(page.table()->visualItemRect(page.table()->item(r, 2)).bottom() <
                    page.table()->viewport()->height());
        }
        for (int e : {kBalanceApplied, kBalanceClosure})
            QVERIFY(page.totals()->text().contains(QString::fromStdString(lines[static_cast<std::size_t>(e)].mass)));
        QVERIFY(page.note()->text().contains(QString::fromStdString(balanceTimeText(expected.rows.back()))));
        QVERIFY(prompter.shown.empty());

        // Painted: across the middle of the plot the bands cover it from the first spray on.
        const QImage picture = page.chart()->grab().toImage();
        int coloured = 0;
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, picture.height() / 2);
            for (int b = 0; b < static_cast<int>(kBalanceBands.size()); ++b)
                if (c == gui::MassBalanceChart::bandColor(b)) ++coloured;
        }
        QVERIFY2(coloured > picture.width() / 3, qPrintable(QString::number(coloured)));

        if (const QByteArray dir = qgetenv("VERDANEL_SCREENSHOT_DIR"); !dir.isEmpty()) {
            w->move(0, 0);
            QTest::qWait(300);
            const QString file = QString::fromUtf8(dir) + "/balance-" + modelTypeText(kind) + ".png";
            QCOMPARE(QProcess::execute("import", {"-window", "root", file}), 0);
        }
    }

    void aRunWithoutBalanceRowsGetsTheNoteAndADeleteClearsThePage() {
        auto w = searched(ModelKind::Pond, "earlier");
        QVERIFY(w);
        QVERIFY(!w->rows().empty());
        MassBalancePage& page = *w->massBalancePage();
        QVERIFY(page.rows().empty());
        QCOMPARE(page.note()->text(), QString::fromUtf8(msg::kNoMassBalanceRows));
        QVERIFY(page.table()->item(0, 1)->text().isEmpty());
        QVERIFY(page.totals()->text().isEmpty());
        QVERIFY(prompter.shown.empty());

        w->scenarioList()->setCurrentIndex(w->scenarioList()->findText("Alpha"));
        QTest::mouseClick(w->searchButton(), Qt::LeftButton);
        QVERIFY(!page.rows().empty());
        prompter.setNextAnswer(true);
        QTest::mouseClick(w->deleteButton(), Qt::LeftButton);
        QVERIFY(page.rows().empty());
        QVERIFY(page.table()->item(0, 1)->text().isEmpty());
        StoreAccessor a(connection, prompter);
        QCOMPARE(a.query("SELECT count(*) FROM mass_balance_pond WHERE Scenario_Name = 'Alpha'").rows(), 1);
        QCOMPARE(a.cell(0, 0), std::string("0"));
    }
};

QTEST_MAIN(MassBalancePageTest)
#include "mass_balance_page_test.moc"
