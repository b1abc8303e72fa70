// The material manager and its add window driven like a user would: picking
// names, typing into fields, pressing the buttons and answering the questions.
// The store is read back through the core's own operations.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <optional>

#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/material_manager.hpp"
#include "core/common/messages.hpp"
#include "core/store/store_connection.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/chemicals/add_material_window.hpp"
#include "gui/chemicals/material_manager_window.hpp"
#include "support/modal_helpers.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using verdanel::PropertyTexts;
using verdanel::StoreConnection;
using verdanel::gui::AddMaterialWindow;
using verdanel::gui::MaterialManagerWindow;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TestApplication;
using verdanel::testing::whenModal;

namespace {

const QStringList kSampleNames{"Azoxystrobin", "Butachlor",    "Carbofuran",   "Chlorantraniliprole",
                               "Chlorpyrifos", "Diazinon",     "Fenitrothion", "Fenobucarb",
                               "Imidacloprid", "Isoprothiolane", "Tricyclazole"};

const std::string kCaption = verdanel::msg::kMaterialManagerCaption;

QComboBox* nameList(QWidget* w) { return w->findChild<QComboBox*>("nameList"); }
QLineEdit* field(QWidget* w, int column) { return w->findChild<QLineEdit*>(QStringLiteral("propertyEdit%1").arg(column)); }
QLabel* label(QWidget* w, int column) { return w->findChild<QLabel*>(QStringLiteral("propertyLabel%1").arg(column)); }
QPushButton* button(QWidget* w, const char* name) { return w->findChild<QPushButton*>(name); }

QStringList listed(QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

QStringList fieldTexts(QWidget* w) {
    QStringList texts;
    for (int k = 1; k <= verdanel::kPropertyCount; ++k) texts << field(w, k)->text();
    return texts;
}

// Replaces the field's text the way a user does: select everything, type over it.
void retype(QLineEdit* edit, const QString& typed) {
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, typed);
}

void click(QWidget* w, const char* buttonName) {
    QPushButton* b = button(w, buttonName);
    QVERIFY2(b, buttonName);
    QTest::mouseClick(b, Qt::LeftButton);
}

}  // namespace

class MaterialManagerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestApplication> app_;
    std::unique_ptr<StoreConnection> store_;
    std::unique_ptr<ScriptedPrompter> prompter_;

    void openStore(bool withSamples) {
        app_ = std::make_unique<TestApplication>(withSamples);
        store_ = std::make_unique<StoreConnection>();
        prompter_ = std::make_unique<ScriptedPrompter>();
        QVERIFY(store_->open(app_->connectionText(), *prompter_));
    }

    // The window on screen over the sample store; messages of the opening are kept.
    std::unique_ptr<MaterialManagerWindow> openWindow(const QString& initialName) {
        auto w = std::make_unique<MaterialManagerWindow>(*store_, *prompter_, initialName);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
        return w;
    }

    QStringList storedNames() {
        ScriptedPrompter quiet;
        QStringList names;
        for (const auto& n : verdanel::listChemicalNames(*store_, quiet)) names << QString::fromStdString(n);
        return names;
    }

    std::optional<PropertyTexts> stored(const QString& name) {
        ScriptedPrompter quiet;
        return verdanel::showChemical(*store_, quiet, name.toStdString());
    }

    QString storedText(const QString& name, int column) {
        const auto texts = stored(name);
        return texts ? QString::fromStdString(texts->at(static_cast<std::size_t>(column - 1))) : QStringLiteral("<gone>");
    }

    // Runs the add window from the manager's button; act works inside it.
    void addThroughWindow(MaterialManagerWindow& w, std::function<void(AddMaterialWindow*)> act) {
        whenModal<AddMaterialWindow>(std::move(act));
        click(&w, "addButton");
    }

private slots:
    void initTestCase() { verdanel::gui::useHangulFont(*qApp); }
    void init() { openStore(true); }
    void cleanup() {
        store_.reset();
        app_.reset();
        prompter_.reset();
    }

    void openingListsNamesAndSelectsByPrefix_data() {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("selected");
        QTest::newRow("no name") << "" << "";
        QTest::newRow("first of two prefixes") << "chlor" << "Chlorantraniliprole";
        QTest::newRow("letter case ignored") << "CHLORP" << "Chlorpyrifos";
        QTest::newRow("full name") << "Tricyclazole" << "Tricyclazole";
        QTest::newRow("no entry starts with it") << "Zineb" << "";
    }
    void openingListsNamesAndSelectsByPrefix() {
        QFETCH(QString, initial);
        QFETCH(QString, selected);
        auto w = openWindow(initial);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString::fromUtf8(verdanel::msg::kMaterialManagerTitle));
        QCOMPARE(listed(nameList(w.get())), kSampleNames);
        QCOMPARE(nameList(w.get())->currentText(), selected);
        QVERIFY(prompter_->shown.empty());
        if (selected.isEmpty()) {
            QCOMPARE(fieldTexts(w.get()).join(""), QString());
        } else {
            const auto texts = stored(selected);
            QVERIFY(texts);
            for (int k = 1; k <= verdanel::kPropertyCount; ++k)
                QCOMPARE(field(w.get(), k)->text(), QString::fromStdString(texts->at(static_cast<std::size_t>(k - 1))));
        }
    }

    void emptyStoreAsksForAChemical() {
        openStore(false);
        auto w = openWindow("");
        QVERIFY(w);
        QCOMPARE(nameList(w.get())->count(), 0);
        QCOMPARE(prompter_->texts(), std::vector<std::string>{verdanel::msg::kNoChemicals});
        QCOMPARE(prompter_->shown.front().caption, kCaption);
    }

    void requiredLabelsAreRedAndNothingIsClipped() {
        auto w = openWindow("Diazinon");
        QVERIFY(w);
        const QColor red(255, 0, 0);
        const QList<int> required{2, 4, 5, 6, 9, 10, 11, 12, 20, 21};
        for (int k = 1; k <= verdanel::kPropertyCount; ++k) {
            QLabel* l = label(w.get(), k);
            QVERIFY(l);
            QCOMPARE(l->text(), QString::fromUtf8(verdanel::msg::kPropertyLabels[k - 1]));
            QCOMPARE(l->palette().color(QPalette::WindowText) == red, required.contains(k));
            QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
        }
        auto* requiredSample = w->findChild<QLabel*>("requiredSample");
        auto* optionalSample = w->findChild<QLabel*>("optionalSample");
        QVERIFY(requiredSample && optionalSample);
        QCOMPARE(requiredSample->palette().color(QPalette::Window), red);
        QVERIFY(optionalSample->palette().color(QPalette::Window) != red);
        for (auto* legend : {w->findChild<QLabel*>("requiredLegend"), w->findChild<QLabel*>("optionalLegend")}) {
            QVERIFY(legend);
            QVERIFY2(legend->width() >= legend->sizeHint().width(), qPrintable(legend->text()));
        }
        for (const char* name : {"addButton", "deleteButton", "resetButton", "applyButton"})
            QVERIFY2(button(w.get(), name)->width() >= button(w.get(), name)->sizeHint().width(), name);
    }

    void choosingAnEntryShowsItsStoredTexts() {
        auto w = openWindow("");
        QVERIFY(w);
        QTest::keyClicks(nameList(w.get()), "Dia");
        QCOMPARE(nameList(w.get())->currentText(), QString("Diazinon"));
        QCOMPARE(field(w.get(), 1)->text(), QString("333-41-5"));
        QCOMPARE(field(w.get(), 2)->text(), QString("304.35"));
        QCOMPARE(field(w.get(), 3)->text(), QString());  // no melting point stored
        QCOMPARE(field(w.get(), 6)->text(), QString("5.99e-07"));
        QCOMPARE(field(w.get(), 21)->text(), QString("3.217e-06"));

        QTest::keyClick(nameList(w.get()), Qt::Key_Down);
        QCOMPARE(nameList(w.get())->currentText(), QString("Fenitrothion"));
        QCOMPARE(field(w.get(), 2)->text(), QString("277.23"));
        QCOMPARE(field(w.get(), 3)->text(), QString("0.3"));
        QVERIFY(prompter_->shown.empty());
    }

    void resetThrowsAwayUnsavedEdits() {
        auto w = openWindow("Diazinon");
        QVERIFY(w);
        retype(field(w.get(), 2), "999");
        retype(field(w.get(), 3), "12");
        click(w.get(), "resetButton");
        QCOMPARE(field(w.get(), 2)->text(), QString("304.35"));
        QCOMPARE(field(w.get(), 3)->text(), QString());
        QCOMPARE(storedText("Diazinon", 2), QString("304.35"));
        QVERIFY(prompter_->shown.empty());
    }

    void vanishedChemicalIsReportedAndFieldsStay() {
        auto w = openWindow("Diazinon");
        QVERIFY(w);
        ScriptedPrompter behindTheWindow;
        behindTheWindow.setNextAnswer(true);
        QVERIFY(verdanel::deleteChemical(*store_, behindTheWindow, "Diazinon").stored);
        retype(field(w.get(), 2), "1");
        click(w.get(), "resetButton");
        QCOMPARE(prompter_->texts(), std::vector<std::string>{verdanel::msg::kChemicalNotFound});
        QCOMPARE(prompter_->shown.front().caption, kCaption);
        QCOMPARE(field(w.get(), 2)->text(), QString("1"));
        QCOMPARE(field(w.get(), 1)->text(), QString("333-41-5"));
    }

    void applyStoresTypedTextsWithDiffusionEstimates() {
        auto w = openWindow("Chlorantraniliprole");
        QVERIFY(w);
        retype(field(w.get(), 6), "3.4e-14");  // the missing Henry constant
        retype(field(w.get(), 2), "18");
        retype(field(w.get(), 20), "");         // air: estimated from the weight
        retype(field(w.get(), 21), "abc");      // water: not a number, estimated too
        prompter_->setNextAnswer(true);
        click(w.get(), "applyButton");

        QCOMPARE(prompter_->shown.size(), std::size_t{1});
        QCOMPARE(prompter_->shown[0].text,
                 std::string("Chlorantraniliprole의 물질정보를 수정합니다. 수정 후 되돌릴 수 없습니다."));
        QCOMPARE(prompter_->shown[0].caption, kCaption);
        QVERIFY(prompter_->shown[0].question);

        // (18/18)^0.5 x 0.09222 and (44/18)^0.5 x 8.462e-06, read back into the fields.
        QCOMPARE(field(w.get(), 20)->text().toDouble(), 0.09222);
        QVERIFY(qAbs(field(w.get(), 21)->text().toDouble() - 1.323010e-05) < 1e-11);
        const auto texts = stored("Chlorantraniliprole");
        QVERIFY(texts);
        for (int k = 1; k <= verdanel::kPropertyCount; ++k)
            QCOMPARE(field(w.get(), k)->text(), QString::fromStdString(texts->at(static_cast<std::size_t>(k - 1))));
        QCOMPARE(storedText("Chlorantraniliprole", 6), QString("3.4e-14"));
        QCOMPARE(storedText("Chlorantraniliprole", 2), QString("18"));
        QCOMPARE(storedText("Chlorantraniliprole", 1), QString("500008-45-7"));  // untouched fields kept
    }

    void cancelledApplyKeepsStoreAndTyping() {
        auto w = openWindow("Chlorantraniliprole");
        QVERIFY(w);
        retype(field(w.get(), 6), "3.4e-14");
        prompter_->setNextAnswer(false);
        click(w.get(), "applyButton");
        QCOMPARE(prompter_->shown.size(), std::size_t{1});
        QCOMPARE(storedText("Chlorantraniliprole", 6), QString());
        QCOMPARE(field(w.get(), 6)->text(), QString("3.4e-14"));
    }

    void addRefusesEmptyAndExistingNamesThenSelectsTheNewOne() {
        auto w = openWindow("Diazinon");
        QVERIFY(w);
        struct Seen {
            QString title;
            std::vector<std::string> afterEmpty, afterExisting;
            bool openAfterEmpty = false, openAfterExisting = false;
        } seen;
        addThroughWindow(*w, [&](AddMaterialWindow* add) {
            seen.title = add->windowTitle();
            auto* name = add->findChild<QLineEdit*>("nameEdit");
            click(add, "okButton");
            seen.afterEmpty = prompter_->texts();
            seen.openAfterEmpty = add->isVisible();
            QTest::keyClicks(name, "Diazinon");
            click(add, "okButton");
            seen.afterExisting = prompter_->texts();
            seen.openAfterExisting = add->isVisible();
            retype(name, "azo");
            click(add, "okButton");
        });

        QCOMPARE(seen.title, QString::fromUtf8(verdanel::msg::kAddMaterialTitle));
        QCOMPARE(seen.afterEmpty, std::vector<std::string>{verdanel::msg::kEnterChemicalName});
        QVERIFY(seen.openAfterEmpty);
        QCOMPARE(seen.afterExisting,
                 (std::vector<std::string>{verdanel::msg::kEnterChemicalName, verdanel::msg::kChemicalNameExists}));
        QVERIFY(seen.openAfterExisting);
        for (const auto& shown : prompter_->shown) QCOMPARE(shown.caption, kCaption);

        // "azo" sorts after every capitalised sample name; it is the new entry
        // that is selected, not Azoxystrobin, and its fields are all empty.
        QStringList expected = kSampleNames;
        expected << "azo";
        QCOMPARE(listed(nameList(w.get())), expected);
        QCOMPARE(storedNames(), expected);
        QCOMPARE(nameList(w.get())->currentText(), QString("azo"));
        QCOMPARE(fieldTexts(w.get()).join(""), QString());
    }

    void cancelledAddTouchesNothing() {
        auto w = openWindow("Diazinon");
        QVERIFY(w);
        addThroughWindow(*w, [&](AddMaterialWindow* add) {
            QTest::keyClicks(add->findChild<QLineEdit*>("nameEdit"), "Zineb");
            click(add, "cancelButton");
        });
        QVERIFY(prompter_->shown.empty());
        QCOMPARE(storedNames(), kSampleNames);
        QCOMPARE(listed(nameList(w.get())), kSampleNames);
        QCOMPARE(nameList(w.get())->currentText(), QString("Diazinon"));
        QCOMPARE(field(w.get(), 2)->text(), QString("304.35"));
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void deleteAsksFirst() {
        QFETCH(bool, ok);
        auto w = openWindow("diaz");
        QVERIFY(w);
        prompter_->setNextAnswer(ok);
        click(w.get(), "deleteButton");

        QCOMPARE(prompter_->shown.size(), std::size_t{1});
        QCOMPARE(prompter_->shown[0].text, std::string("화학물질: Diazinon 의 정보를 삭제하시겠습니까?"));
        QCOMPARE(prompter_->shown[0].caption, kCaption);
        QVERIFY(prompter_->shown[0].question);

        QStringList remaining = kSampleNames;
        if (ok) remaining.removeAll("Diazinon");
        QCOMPARE(storedNames(), remaining);
        QCOMPARE(listed(nameList(w.get())), remaining);
        if (ok) {
            QCOMPARE(nameList(w.get())->currentIndex(), -1);
            QCOMPARE(fieldTexts(w.get()).join(""), QString());
            // The deleted name stays the one a further command works on.
            prompter_->setNextAnswer(true);
            click(w.get(), "deleteButton");
            QCOMPARE(prompter_->shown.back().text, std::string("화학물질: Diazinon 의 정보를 삭제하시겠습니까?"));
            QCOMPARE(storedNames(), remaining);
        } else {
            QCOMPARE(nameList(w.get())->currentText(), QString("Diazinon"));
            QCOMPARE(field(w.get(), 2)->text(), QString("304.35"));
        }
    }

    // Names that differ only in letter case are different chemicals, to the
    // store and to the list: after every add and delete the list holds
    // exactly the store's names, and every entry shows its own record.
    void namesDifferingInLetterCaseStayApart_data() {
        QTest::addColumn<QStringList>("steps");  // "+name": added in the add window; "-name": selected and deleted
        QTest::newRow("the new lower-case one goes")
            << QStringList{"+chlorpyrifos", "-chlorpyrifos"};
        QTest::newRow("the sample goes, the new one stays")
            << QStringList{"+chlorpyrifos", "-Chlorpyrifos"};
        QTest::newRow("three spellings, taken away one by one")
            << QStringList{"+chlorpyrifos", "+CHLORPYRIFOS", "-chlorpyrifos", "-CHLORPYRIFOS", "-Chlorpyrifos"};
        QTest::newRow("deleted, then added back in the other case")
            << QStringList{"+chlorpyrifos", "-Chlorpyrifos", "+Chlorpyrifos", "-chlorpyrifos"};
    }
    void namesDifferingInLetterCaseStayApart() {
        QFETCH(QStringList, steps);
        auto w = openWindow("");
        QVERIFY(w);
        QComboBox* list = nameList(w.get());
        for (const QString& step : steps) {
            const QString name = step.mid(1);
            if (step.startsWith('+')) {
                addThroughWindow(*w, [&](AddMaterialWindow* add) {
                    QTest::keyClicks(add->findChild<QLineEdit*>("nameEdit"), name);
                    click(add, "okButton");
                });
                QCOMPARE(list->currentText(), name);
                QVERIFY(storedNames().contains(name));
            } else {
                list->setCurrentIndex(list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
                QCOMPARE(list->currentText(), name);
                prompter_->setNextAnswer(true);
                click(w.get(), "deleteButton");
                QVERIFY(!storedNames().contains(name));
                QCOMPARE(list->currentIndex(), -1);
            }
            QCOMPARE(listed(list), storedNames());
        }
        for (int i = 0; i < list->count(); ++i) {
            list->setCurrentIndex(i);
            QCOMPARE(field(w.get(), 1)->text(), storedText(list->itemText(i), 1));
        }
        for (const std::string& text : prompter_->texts())
            QVERIFY2(text != verdanel::msg::kChemicalNotFound, text.c_str());
    }

    void deleteWithNothingShownDeletesNothing() {
        auto w = openWindow("");
        QVERIFY(w);
        prompter_->setNextAnswer(true);
        click(w.get(), "deleteButton");
        QCOMPARE(prompter_->texts(), std::vector<std::string>{"화학물질:  의 정보를 삭제하시겠습니까?"});
        QCOMPARE(storedNames(), kSampleNames);
        QCOMPARE(listed(nameList(w.get())), kSampleNames);
    }

    void nameWithASingleQuoteIsJustAName() {
        auto w = openWindow("");
        QVERIFY(w);
        const QString quoted = "O'Neil's oil";
        addThroughWindow(*w, [&](AddMaterialWindow* add) {
            QTest::keyClicks(add->findChild<QLineEdit*>("nameEdit"), quoted);
            click(add, "okButton");
        });
        QVERIFY(prompter_->shown.empty());
        QCOMPARE(nameList(w.get())->currentText(), quoted);
        QVERIFY(storedNames().contains(quoted));

        retype(field(w.get(), 2), "18");
        prompter_->setNextAnswer(true);
        click(w.get(), "applyButton");
        QCOMPARE(prompter_->shown.back().text, std::string("O'Neil's oil의 물질정보를 수정합니다. 수정 후 되돌릴 수 없습니다."));
        QCOMPARE(storedText(quoted, 2), QString("18"));
        QCOMPARE(field(w.get(), 2)->text(), QString("18"));

        prompter_->setNextAnswer(true);
        click(w.get(), "deleteButton");
        QCOMPARE(storedNames(), kSampleNames);
        QCOMPARE(listed(nameList(w.get())), kSampleNames);
        QCOMPARE(prompter_->shown.size(), std::size_t{2});  // the two questions, no store error
    }
};

QTEST_MAIN(MaterialManagerTest)
#include "material_manager_test.moc"
