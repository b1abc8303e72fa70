// The scenario window's "민감도 분석..." and its dialog: the dialog takes the
// scenario as the fields hold it, runs a parameter sweep on its worker
// thread to the chart and tables, exports them, and a shift sweep cancelled
// while it runs stops with its variants marked; nothing reaches the store.
//
// With VERDANEL_SWEEP_SHOTS=DIR (under xvfb-run, QT_QPA_PLATFORM=xcb) the
// dialog is photographed after each sweep with `import -window root`.
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <memory>

#include "core/common/cp949.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/store_connection.hpp"
#include "core/sweep/sweep_messages.hpp"
#include "gui/scenario/scenario_window.hpp"
#include "gui/sweep/sweep_dialog.hpp"
#include "support/modal_helpers.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

namespace fs = std::filesystem;
using namespace verdanel;
using verdanel::gui::ScenarioWindow;
using verdanel::gui::SweepDialog;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TestApplication;
using verdanel::testing::whenModal;

namespace {

QString q(const char* s) { return QString::fromUtf8(s); }

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
    std::unique_ptr<ScenarioWindow> open(ModelKind kind) {
        auto w = std::make_unique<ScenarioWindow>(kind, connection, prompter, app.base());
        w->show();
        const int i = w->chemicalList()->findText("Chlorpyrifos");
        w->chemicalList()->setCurrentIndex(i);
        emit w->chemicalList()->activated(i);
        prompter.shown.clear();
        return w;
    }
};

void choose(QComboBox* list, const char* label) {
    const int i = list->findText(q(label), Qt::MatchStartsWith);
    QVERIFY(i >= 0);
    list->setCurrentIndex(i);
}

// Under Xvfb: the screen as the user sees it.
void photograph(const char* name) {
    const QByteArray dir = qgetenv("VERDANEL_SWEEP_SHOTS");
    if (dir.isEmpty()) return;
    QTest::qWait(400);
    QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                  QString::fromUtf8(dir) + QLatin1Char('/') + QLatin1String(name)});
}

std::string readBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

QStringList column(QTableWidget* table, int c) {
    QStringList texts;
    for (int r = 0; r < table->rowCount(); ++r) texts << (table->item(r, c) ? table->item(r, c)->text() : QString());
    return texts;
}

}  // namespace

class SweepDialogTest : public QObject {
    Q_OBJECT

private slots:
    void parameterSweepThenCancelledShiftSweepFromTheScenarioWindow() {
        Session s;
        auto w = s.open(ModelKind::Stream);
        w->nameEdit()->setText(q("민감도 예"));
        // The dialog takes the fields as typed now: a 20 m bank proposes 10 to 30.
        w->parameterField(scenarioParameterIndex("bank_width"))->setText("20");
        const std::string csv = s.app.folder.file("sweep.csv");
        const std::string png = s.app.folder.file("sweep.png");
        bool acted = false;
        whenModal<SweepDialog>([&](SweepDialog* d) {
            acted = true;
            d->setSaveChooser([&](QWidget*, const QString&, const QString& name, const QString&) {
                return QString::fromStdString(name.endsWith(".csv") ? csv : png);
            });
            choose(d->variedList(), "하천변 폭");
            QCOMPARE(d->fromField()->text(), QString("10"));
            QCOMPARE(d->toField()->text(), QString("30"));
            d->fromField()->setText("5");
            d->toField()->setText("35");
            d->stepField()->setText("3");
            d->thresholdField()->setText("0.05");
            QSignalSpy finished(d, &SweepDialog::sweepFinished);
            QTest::mouseClick(d->runButton(), Qt::LeftButton);
            QVERIFY(d->isRunning());
            QVERIFY(!d->runButton()->isEnabled());
            QVERIFY(d->cancelButton()->isEnabled());
            QVERIFY(finished.wait(60000));
            QVERIFY(!d->isRunning());
            QCOMPARE(d->progressBar()->value(), 100);
            // 5, 8, ..., 35: the Stream's 7 m field refuses the 5 m bank.
            QCOMPARE(column(d->variantTable(), 0),
                     QStringList({"5", "8", "11", "14", "17", "20", "23", "26", "29", "32", "35"}));
            QCOMPARE(d->variantTable()->item(0, 1)->text(), q(msg::kVariantRefused));
            QCOMPARE(d->variantTable()->item(0, 8)->text(), q(msg::kStreamBankNotWider));
            QCOMPARE(column(d->variantTable(), 1).count(q(msg::kVariantFinished)), 10);
            // Cwater: the peak, nine means and the four threshold endpoints.
            QCOMPARE(d->summaryTable()->rowCount(), 14);
            QCOMPARE(d->summaryTable()->item(0, 0)->text(), q(msg::kEndpointPeak));
            QVERIFY(d->outcome().has_value());
            photograph("sweep-parameter.png");

            QTest::mouseClick(d->findChild<QPushButton*>("sweepCsvButton"), Qt::LeftButton);
            const std::string text = cp949ToUtf8(readBytes(csv));
            QVERIFY(text.rfind(msg::kSweepCsvSection, 0) == 0);
            QVERIFY(text.find("\r\n35,완료,,") != std::string::npos);
            QTest::mouseClick(d->findChild<QPushButton*>("sweepImageButton"), Qt::LeftButton);
            QCOMPARE(QImage(QString::fromStdString(png)).size(), QSize(960, 600));

            // The spray dates shifted by -30..60 days (91 variants), cancelled
            // at once: the window answered clicks while the sweep ran.
            choose(d->variedList(), "살포일 이동");
            QCOMPARE(d->fromField()->text(), QString("-30"));
            QTest::mouseClick(d->runButton(), Qt::LeftButton);
            QTest::qWait(150);
            QTest::mouseClick(d->cancelButton(), Qt::LeftButton);
            QVERIFY(finished.wait(60000));
            QCOMPARE(d->outcome()->status, SweepStatus::Cancelled);
            QCOMPARE(d->variantTable()->rowCount(), 91);
            QVERIFY(column(d->variantTable(), 1).count(q(msg::kVariantCancelled)) > 0);
            QVERIFY(d->runButton()->isEnabled());

            // And once more to the end, for the picture of a shift sweep.
            d->fromField()->setText("-28");
            d->toField()->setText("56");
            d->stepField()->setText("7");
            QTest::mouseClick(d->runButton(), Qt::LeftButton);
            QVERIFY(finished.wait(60000));
            QCOMPARE(d->outcome()->status, SweepStatus::Completed);
            QCOMPARE(d->variantTable()->rowCount(), 13);
            photograph("sweep-shift.png");
            d->reject();
        }, 20000);
        QTest::mouseClick(w->sweepButton(), Qt::LeftButton);
        QVERIFY(acted);
        // A sweep is no start: the result window will not look for the name.
        QVERIFY(w->lastStartedScenarioName().isEmpty());
        // A sweep stores nothing and shows nothing of its own.
        QVERIFY(scenarioNames(s.connection, s.prompter, ModelKind::Stream).empty());
        QVERIFY(s.prompter.shown.empty());
    }

    void pondOffersNoVelocityAndBadRangesAreSaid() {
        Session s;
        auto w = s.open(ModelKind::Pond);
        bool acted = false;
        whenModal<SweepDialog>([&](SweepDialog* d) {
            acted = true;
            QCOMPARE(d->variedList()->findText(q("하천 유속"), Qt::MatchStartsWith), -1);
            QVERIFY(d->variedList()->findText(q("하천 폭"), Qt::MatchStartsWith) >= 0);
            d->toField()->setText("-100");
            QTest::mouseClick(d->runButton(), Qt::LeftButton);
            QVERIFY(!d->isRunning());
            d->reject();
        });
        QTest::mouseClick(w->sweepButton(), Qt::LeftButton);
        QVERIFY(acted);
        QCOMPARE(s.prompter.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(s.prompter.shown[0].text), q(msg::kSweepToBeforeFrom));
    }
};

QTEST_MAIN(SweepDialogTest)
#include "sweep_dialog_test.moc"
