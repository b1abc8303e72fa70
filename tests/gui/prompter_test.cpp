// Message boxes for the core's messages and questions, and the progress sink.
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "core/common/messages.hpp"
#include "gui/common/qt_prompter.hpp"
#include "support/modal_helpers.hpp"

using verdanel::gui::QtProgressSink;
using verdanel::gui::QtPrompter;

class PrompterTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxes_data() {
        QTest::addColumn<bool>("question");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("expected");
        QTest::newRow("message") << false << "ok" << true;
        QTest::newRow("question, OK") << true << "ok" << true;
        QTest::newRow("question, Cancel") << true << "cancel" << false;
        QTest::newRow("question, Escape") << true << "escape" << false;
    }
    void messageBoxes() {
        QFETCH(bool, question);
        QFETCH(QString, answer);
        QFETCH(bool, expected);
        QWidget owner;
        QtPrompter prompter(&owner);
        QStringList seen;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        verdanel::testing::whenModal<QMessageBox>([&](QMessageBox* box) {
            seen << box->windowTitle() << box->text();
            for (QAbstractButton* b : box->buttons()) seen << b->text();
            icon = box->icon();
            if (box->parentWidget() != &owner) seen << "not over its owner";
            if (answer == "ok") box->button(QMessageBox::Ok)->click();
            else if (answer == "cancel") box->button(QMessageBox::Cancel)->click();
            else QTest::keyClick(box, Qt::Key_Escape);
        });
        using namespace verdanel::msg;
        const QString ok = QString::fromUtf8(kOk), cancel = QString::fromUtf8(kCancel);
        if (question) {
            QCOMPARE(prompter.confirm("replace?", kReplaceCaption), expected);
            QCOMPARE(icon, QMessageBox::Question);
            QCOMPARE(seen.mid(0, 2), QStringList({kReplaceCaption, "replace?"}));
            QCOMPARE(QSet<QString>(seen.begin() + 2, seen.end()), QSet<QString>({ok, cancel}));
        } else {
            prompter.inform(kConnectionFailed, kProgramTitle, verdanel::PromptIcon::Error);
            QCOMPARE(icon, QMessageBox::Critical);
            QCOMPARE(seen, QStringList({kProgramTitle, kConnectionFailed, ok}));
        }
    }

    // The windows get a turn at the first report and then about every 30 ms,
    // not on every report: count the turns of the event loop over a burst.
    void eventLoopTurnsAreThrottled() {
        QProgressBar bar;
        QtProgressSink sink(&bar);
        int turns = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++turns; });
        ticker.start(0);  // fires on every turn of the event loop
        QElapsedTimer clock;
        clock.start();
        long calls = 0;
        while (clock.elapsed() < 200) sink.progress(int(++calls % 100));
        const qint64 elapsed = clock.elapsed();
        ticker.stop();
        QCOMPARE(bar.value(), int(calls % 100));
        QVERIFY(turns >= 2);
        QVERIFY2(turns <= elapsed / QtProgressSink::kEventIntervalMs + 2,
                 qPrintable(QStringLiteral("%1 turns in %2 ms").arg(turns).arg(elapsed)));
    }

    void abandonedWhenAskedOrWhenTheBarIsGone() {
        auto* bar = new QProgressBar;
        QtProgressSink sink(bar);
        QVERIFY(!sink.abandoned());
        delete bar;
        QVERIFY(sink.abandoned());
        sink.progress(50);  // nothing left to move

        QtProgressSink withoutBar(nullptr);
        QVERIFY(!withoutBar.abandoned());
        withoutBar.abandon();
        QVERIFY(withoutBar.abandoned());
    }
};

QTEST_MAIN(PrompterTest)
#include "prompter_test.moc"
