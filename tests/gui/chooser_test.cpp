// The model chooser: leaving by Quit or the close box compacts once under the
// busy message; Escape leaves without; the model buttons and the About entry.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "core/common/messages.hpp"
#include "gui/app/about_box.hpp"
#include "gui/app/model_chooser_window.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/controls/transparent_static.hpp"
#include "support/modal_helpers.hpp"

using verdanel::ModelKind;
using verdanel::gui::AboutBox;
using verdanel::gui::ModelChooserWindow;
using verdanel::testing::visibleBusyWindow;
using verdanel::testing::whenModal;

namespace {
// What the compaction saw while it ran.
struct CompactionWitness {
    int calls = 0;
    bool chooserStillShown = false;
    bool waitCursor = false;
    QString busyText;
};
}  // namespace

class ChooserTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { verdanel::gui::useHangulFont(*qApp); }

    void leavingCompactsOnceUnderTheBusyMessage_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("due");
        QTest::newRow("Quit") << "quit" << int(QDialog::Accepted) << true;
        QTest::newRow("close box") << "close" << int(QDialog::Rejected) << true;
        QTest::newRow("Quit, nothing to reclaim") << "quit" << int(QDialog::Accepted) << false;
        QTest::newRow("close box, nothing to reclaim") << "close" << int(QDialog::Rejected) << false;
    }
    void leavingCompactsOnceUnderTheBusyMessage() {
        QFETCH(QString, how);
        QFETCH(int, result);
        QFETCH(bool, due);
        ModelChooserWindow chooser;
        CompactionWitness seen;
        bool busySeen = false;
        chooser.setCompaction([&] {
            busySeen = visibleBusyWindow() != nullptr;
            return due;
        }, [&] {
            ++seen.calls;
            seen.chooserStillShown = chooser.isVisible();
            seen.waitCursor = QGuiApplication::overrideCursor() &&
                              QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
            if (QWidget* busy = visibleBusyWindow())
                if (auto* text = busy->findChild<CTransparentStatic*>()) seen.busyText = text->text();
        });
        whenModal<ModelChooserWindow>([how](ModelChooserWindow* w) {
            if (how == "quit") QTest::mouseClick(w->quitButton(), Qt::LeftButton);
            else w->close();
        });
        QCOMPARE(chooser.exec(), result);
        QVERIFY(!busySeen);  // the question comes before any busy window
        QCOMPARE(visibleBusyWindow(), nullptr);
        if (!due) {  // nothing to reclaim: the program ends at once
            QCOMPARE(seen.calls, 0);
            return;
        }
        QCOMPARE(seen.calls, 1);
        QCOMPARE(seen.busyText, QString::fromUtf8(verdanel::msg::kShuttingDown));
        QVERIFY(seen.chooserStillShown);
        QVERIFY(seen.waitCursor);
        QVERIFY(!chooser.isVisible());
        QCOMPARE(visibleBusyWindow(), nullptr);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void escapeLeavesWithoutCompaction() {
        ModelChooserWindow chooser;
        int compactions = 0;
        bool busySeen = false;
        chooser.setCompaction(nullptr, [&] { ++compactions; });
        whenModal<ModelChooserWindow>([&](ModelChooserWindow* w) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
            QTest::keyClick(target, Qt::Key_Escape);
            busySeen = visibleBusyWindow() != nullptr;
        });
        QCOMPARE(chooser.exec(), int(QDialog::Rejected));
        QCOMPARE(compactions, 0);
        QVERIFY(!busySeen);
    }

    // Each button opens its model (here a modal stand-in for the result
    // window); after many rounds the chooser still answers.
    void modelButtonsOpenTheirModelsRepeatedly() {
        ModelChooserWindow chooser;
        QStringList opened;
        int compactions = 0;
        chooser.setCompaction(nullptr, [&] { ++compactions; });
        auto opener = [&](const QString& name) {
            return [&opened, name, &chooser] {
                QDialog result(&chooser);
                whenModal<QDialog>([](QDialog* d) { d->accept(); });
                result.exec();
                opened << name;
            };
        };
        chooser.setModelOpener(ModelKind::Stream, opener("stream"));
        chooser.setModelOpener(ModelKind::Ditch, opener("ditch"));
        chooser.setModelOpener(ModelKind::Pond, opener("pond"));
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        for (int round = 0; round < 3; ++round) {
            QTest::mouseClick(chooser.modelButton(ModelKind::Pond), Qt::LeftButton);
            QTest::mouseClick(chooser.modelButton(ModelKind::Stream), Qt::LeftButton);
            QTest::mouseClick(chooser.modelButton(ModelKind::Ditch), Qt::LeftButton);
        }
        QCOMPARE(opened, QStringList({"pond", "stream", "ditch", "pond", "stream", "ditch", "pond", "stream", "ditch"}));
        QVERIFY(chooser.isVisible());
        QVERIFY(chooser.isEnabled());
        QCOMPARE(compactions, 0);
    }

    void enterPressesTheFocusedButton() {
        ModelChooserWindow chooser;
        QStringList opened;
        chooser.setModelOpener(ModelKind::Stream, [&] { opened << "stream"; });
        chooser.setModelOpener(ModelKind::Ditch, [&] { opened << "ditch"; });
        chooser.setModelOpener(ModelKind::Pond, [&] { opened << "pond"; });
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        for (ModelKind kind : {ModelKind::Ditch, ModelKind::Pond, ModelKind::Stream}) {
            chooser.modelButton(kind)->setFocus();
            QTest::keyClick(chooser.modelButton(kind), Qt::Key_Return);
        }
        QCOMPARE(opened, QStringList({"ditch", "pond", "stream"}));
    }

    void aboutBoxShowsItsTexts_data() {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("button") << false;
        QTest::newRow("context menu entry") << true;
    }
    void aboutBoxShowsItsTexts() {
        QFETCH(bool, fromMenu);
        ModelChooserWindow chooser;
        int compactions = 0;
        chooser.setCompaction(nullptr, [&] { ++compactions; });
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        QVERIFY(chooser.aboutButton()->isVisible());
        QCOMPARE(chooser.aboutButton()->text(), QString::fromUtf8(verdanel::msg::kAboutMenuText));

        QStringList seen;
        bool overChooser = false;
        bool hasIcon = false;
        whenModal<AboutBox>([&](AboutBox* box) {
            seen << box->windowTitle() << box->versionLabel()->text() << box->secondLineLabel()->text()
                 << box->okButton()->text();
            overChooser = box->parentWidget() == &chooser;
            hasIcon = !box->iconLabel()->pixmap().isNull();
            QTest::mouseClick(box->okButton(), Qt::LeftButton);
        });
        if (fromMenu) chooser.aboutAction()->trigger();
        else QTest::mouseClick(chooser.aboutButton(), Qt::LeftButton);

        using namespace verdanel::msg;
        QCOMPARE(seen, QStringList({QString::fromUtf8(kAboutTitle), QString::fromUtf8(kAboutVersion),
                                    QString::fromUtf8(kAboutSecondLine), QString::fromUtf8(kOk)}));
        QVERIFY(overChooser);
        QVERIFY(hasIcon);
        QVERIFY(chooser.isVisible());
        QCOMPARE(compactions, 0);
    }
};

QTEST_MAIN(ChooserTest)
#include "chooser_test.moc"
