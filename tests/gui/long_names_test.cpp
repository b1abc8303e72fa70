// A chemical (or scenario) name of 305 letters without a space: the
// drop-down lists elide it and open no wider than their limit, each entry
// keeping the whole name; the questions about it show it whole, wrapped
// inside a message box that fits the screen.
#include <QAbstractItemView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <memory>

#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/material_manager.hpp"
#include "core/common/text_format.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/common/qt_prompter.hpp"
#include "gui/chemicals/material_manager_window.hpp"
#include "gui/controls/name_combo_box.hpp"
#include "gui/results/result_window.hpp"
#include "gui/scenario/scenario_window.hpp"
#include "support/modal_helpers.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::gui::NameComboBox;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TestApplication;

namespace {

std::string longName() {
    const std::string part = "chlorpyrifosmethyl";
    std::string name;
    while (name.size() < 305) name += part[name.size() % part.size()];
    return name;
}

// The sample store with a usable chemical and a Stream scenario of that name.
struct Session {
    TestApplication app{true};
    ScriptedPrompter quiet;
    StoreConnection connection;
    Session() {
        connection.open(app.connectionText(), quiet);
        quiet.answers = {true};
        const PropertyTexts texts = *showChemical(connection, quiet, "Chlorpyrifos");
        addChemical(connection, quiet, longName());
        applyChemicalEdits(connection, quiet, longName(), texts);
        StoreAccessor(connection, quiet)
            .execute("INSERT INTO Scenario_Info (Scenario_Name, Model_Type, chemical) VALUES (?, 'stream', ?)",
                     {longName(), longName()});
    }
};

}  // namespace

class LongNamesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::useHangulFont(*qApp); }

    void longNamesElidedInListsWholeInQuestions_data() {
        QTest::addColumn<QString>("place");
        QTest::newRow("chemical list of the scenario window") << "chemicalList";
        QTest::newRow("name list of the material manager") << "nameList";
        QTest::newRow("scenario list of the result window") << "scenarioList";
        QTest::newRow("delete question of the material manager") << "deleteButton";
        QTest::newRow("apply question of the material manager") << "applyButton";
    }
    void longNamesElidedInListsWholeInQuestions() {
        QFETCH(QString, place);
        Session s;
        const QString name = QString::fromStdString(longName());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();

        if (place.endsWith("List")) {
            std::unique_ptr<QWidget> window;
            if (place == "chemicalList")
                window = std::make_unique<gui::ScenarioWindow>(ModelKind::Stream, s.connection, s.quiet, s.app.base());
            else if (place == "nameList")
                window = std::make_unique<gui::MaterialManagerWindow>(s.connection, s.quiet, QString());
            else
                window = std::make_unique<gui::ResultWindow>(ModelKind::Stream, s.connection, s.quiet, s.app.base());
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            auto* list = window->findChild<NameComboBox*>(place);
            QVERIFY(list);
            const int entry = list->findText(name);
            QVERIFY(entry >= 0);
            list->setCurrentIndex(entry);
            QCOMPARE(list->currentText(), name);
            QCOMPARE(list->itemData(entry, Qt::ToolTipRole).toString(), name);
            QVERIFY(list->sizeHint().width() < screen.width() / 2);  // the name does not widen the box

            list->showPopup();
            QWidget* popup = list->view()->window();
            QVERIFY(popup->isVisible());
            QVERIFY2(popup->width() <= list->popupWidthLimit(),
                     qPrintable(QString("%1 > %2").arg(popup->width()).arg(list->popupWidthLimit())));
            QVERIFY(popup->width() < screen.width() * 2 / 3);
            QVERIFY(screen.contains(popup->geometry()));
            // The entry is drawn inside the list, where its text is elided.
            const QRect drawn = list->view()->visualRect(list->model()->index(entry, 0));
            QVERIFY(drawn.right() <= list->view()->viewport()->width());
            list->hidePopup();
            return;
        }

        gui::QtPrompter prompter;
        gui::MaterialManagerWindow manager(s.connection, prompter, name);
        manager.show();
        QVERIFY(QTest::qWaitForWindowExposed(&manager));
        QString shown;
        bool whole = false, onScreen = false;
        verdanel::testing::whenModal<QMessageBox>([&](QMessageBox* box) {
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            shown = label->text().remove(QChar(0x200B));
            whole = label->minimumSizeHint().width() <= label->width() &&
                    label->heightForWidth(label->width()) <= label->height() &&
                    box->rect().contains(label->geometry());
            onScreen = screen.contains(box->frameGeometry());
            box->button(QMessageBox::Cancel)->click();
        });
        QTest::mouseClick(manager.findChild<QPushButton*>(place), Qt::LeftButton);
        const char* format = place == "deleteButton" ? msg::kDeleteChemicalQuestion : msg::kApplyEditsQuestion;
        QCOMPARE(shown, QString::fromStdString(fillMessage(format, longName())));
        QVERIFY(whole);
        QVERIFY(onScreen);
    }
};

QTEST_MAIN(LongNamesTest)
#include "long_names_test.moc"
