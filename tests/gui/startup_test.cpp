// Start-up: the messages and exit codes when the store cannot be opened, the
// single running copy, and the chooser it runs compacting the store on Quit.
#include <sqlite3.h>

#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "core/app/store_compaction.hpp"
#include "core/common/messages.hpp"
#include "core/store/store_connection.hpp"
#include "gui/app/model_chooser_window.hpp"
#include "gui/app/startup.hpp"
#include "support/modal_helpers.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

namespace fs = std::filesystem;
using verdanel::Prompter;
using verdanel::StoreConnection;
using verdanel::gui::runStartup;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TempFolder;
using verdanel::testing::TestApplication;

namespace {
struct RunnerLog {
    int calls = 0;
    bool storeOpen = false;
    std::string storePath;
    std::string base;
};

verdanel::gui::ChooserRunner recordingRunner(RunnerLog& log, int exitCode = 0) {
    return [&log, exitCode](StoreConnection& connection, const std::string& base, Prompter&) {
        ++log.calls;
        log.storeOpen = connection.isOpen();
        log.storePath = connection.path();
        log.base = base;
        return exitCode;
    };
}

// Grows the store with a table that is dropped again: the file keeps its
// size until it is compacted.
bool bloat(const std::string& storePath) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(storePath.c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db,
                           "CREATE TABLE filler(b BLOB);"
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000)"
                           " INSERT INTO filler SELECT randomblob(1000) FROM n;"
                           "DROP TABLE filler;",
                           nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}
}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void storeThatCannotBeOpenedEndsTheProgram_data() {
        QTest::addColumn<QString>("removed");
        QTest::newRow("no CONNECTION.INI") << "INI/CONNECTION.INI";
        QTest::newRow("no store file") << "Database/Verdanel.mdb";
    }
    void storeThatCannotBeOpenedEndsTheProgram() {
        QFETCH(QString, removed);
        TestApplication app;
        TempFolder locks;
        fs::remove(app.folder.path() / removed.toStdString());
        ScriptedPrompter prompter;
        RunnerLog log;
        const int code = runStartup(prompter, app.base(), recordingRunner(log), locks.str());

        QVERIFY(code != 0);
        QCOMPARE(log.calls, 0);
        // The store's own message first, then the program's.
        QCOMPARE(prompter.shown.size(), std::size_t(2));
        QVERIFY(prompter.shown[0].text != verdanel::msg::kConnectionFailed);
        QCOMPARE(prompter.shown[1].text, std::string(verdanel::msg::kConnectionFailed));
        for (const auto& shown : prompter.shown) QCOMPARE(shown.caption, std::string(verdanel::msg::kProgramTitle));
        if (removed.startsWith("Database")) QVERIFY2(!fs::exists(app.storePath()), "a store file was made");
    }

    void openStoreRunsTheChooser() {
        TestApplication app;
        TempFolder locks;
        ScriptedPrompter prompter;
        RunnerLog log;
        QCOMPARE(runStartup(prompter, app.base(), recordingRunner(log, 7), locks.str()), 7);
        QCOMPARE(log.calls, 1);
        QVERIFY(log.storeOpen);
        QCOMPARE(fs::path(log.storePath), fs::path(app.storePath()));
        QCOMPARE(log.base, app.base());
        QVERIFY(prompter.shown.empty());
    }

    // A second copy started while the first one's window is open is refused
    // before it does anything else; once the first has ended, a copy starts.
    void secondCopyRefusedWhileTheFirstRuns() {
        TestApplication app;
        TempFolder locks;
        ScriptedPrompter first;
        ScriptedPrompter second;
        RunnerLog secondLog;
        int secondCode = -1;
        auto firstRunner = [&](StoreConnection&, const std::string&, Prompter&) {
            // The second copy's folder has no store: any attempt to open one would show messages.
            secondCode = runStartup(second, app.base() + "/nowhere", recordingRunner(secondLog), locks.str());
            return 0;
        };
        QCOMPARE(runStartup(first, app.base(), firstRunner, locks.str()), 0);
        QCOMPARE(secondCode, verdanel::gui::kExitAlreadyRunning);
        QCOMPARE(secondLog.calls, 0);
        QCOMPARE(second.texts(), std::vector<std::string>{verdanel::msg::kAlreadyRunning});
        QCOMPARE(second.shown[0].caption, std::string(verdanel::msg::kProgramTitle));
        QVERIFY(first.shown.empty());

        ScriptedPrompter third;
        RunnerLog thirdLog;
        QCOMPARE(runStartup(third, app.base(), recordingRunner(thirdLog), locks.str()), 0);
        QCOMPARE(thirdLog.calls, 1);
    }

    // The program's own chooser: Quit compacts the store it opened, Escape does not.
    void chooserCompactsTheStoreOnQuitOnly_data() {
        QTest::addColumn<bool>("quit");
        QTest::newRow("Quit") << true;
        QTest::newRow("Escape") << false;
    }
    void chooserCompactsTheStoreOnQuitOnly() {
        QFETCH(bool, quit);
        TestApplication app;
        TempFolder locks;
        QVERIFY(bloat(app.storePath()));
        const auto before = fs::file_size(app.storePath());
        ScriptedPrompter prompter;
        verdanel::testing::whenModal<verdanel::gui::ModelChooserWindow>([quit](verdanel::gui::ModelChooserWindow* w) {
            if (quit) QTest::mouseClick(w->quitButton(), Qt::LeftButton);
            else QTest::keyClick(w, Qt::Key_Escape);
        });
        QCOMPARE(runStartup(prompter, app.base(), verdanel::gui::runModelChooser, locks.str()), 0);

        const auto after = fs::file_size(app.storePath());
        if (quit) QVERIFY2(after < before / 2, "the store was not compacted");
        else QCOMPARE(after, before);
        QVERIFY(!fs::exists(verdanel::compactionTempPath(app.storePath())));
        QVERIFY(prompter.shown.empty());
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
