#include "gui/chemicals/material_manager_window.hpp"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/chemical_record.hpp"
#include "core/chemicals/material_manager.hpp"
#include "gui/chemicals/add_material_window.hpp"
#include "gui/common/hangul_font.hpp"
#include "gui/controls/name_combo_box.hpp"

namespace verdanel::gui {

namespace {

// Labels of the properties a scenario cannot do without are drawn in this colour.
QColor requiredColour() { return QColor(255, 0, 0); }

bool isRequiredColumn(int column) {
    return std::find(chem_col::kRequired.begin(), chem_col::kRequired.end(), column) != chem_col::kRequired.end();
}

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

// Physical and chemical data on the left, half-lives and rates on the right.
constexpr int kLeftColumnRows = 11;

QLabel* colourSample(QWidget* parent, const QColor& colour, const char* name) {
    auto* sample = new QLabel(parent);
    sample->setObjectName(QString::fromLatin1(name));
    sample->setFixedSize(22, 12);
    sample->setFrameShape(QFrame::Box);
    sample->setAutoFillBackground(true);
    QPalette palette = sample->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, QColor(90, 90, 90));  // the frame
    sample->setPalette(palette);
    return sample;
}

}  // namespace

struct MaterialManagerWindow::Impl {
    MaterialManagerWindow& window;
    StoreConnection& connection;
    Prompter& prompter;

    // The chemical whose fields are shown, or the last one shown (a deleted
    // chemical keeps its name here).
    QString currentName;

    QComboBox* names = nullptr;
    std::array<QLabel*, kPropertyCount> labels{};
    std::array<QLineEdit*, kPropertyCount> fields{};
    QPushButton* add = nullptr;
    QPushButton* remove = nullptr;
    QPushButton* reset = nullptr;
    QPushButton* apply = nullptr;

    Impl(MaterialManagerWindow& w, StoreConnection& c, Prompter& p) : window(w), connection(c), prompter(p) {}

    void build();
    void fillNames();
    // Selects the first entry starting with the text (letter case ignored)
    // and shows it; an empty text selects nothing.
    void selectStartingWith(const QString& prefix);
    void showSelected();
    void applyEdits();
    void addMaterial();
    void deleteMaterial();

    PropertyTexts typedTexts() const;
    void setFields(const PropertyTexts& texts);
    void clearFields();
};

void MaterialManagerWindow::Impl::build() {
    auto* nameLabel = new QLabel(text(msg::kNameListLabel), &window);
    nameLabel->setObjectName(QStringLiteral("nameListLabel"));
    names = new NameComboBox(&window);
    names->setObjectName(QStringLiteral("nameList"));
    names->setEditable(false);
    names->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    names->setMinimumContentsLength(24);
    names->setMaxVisibleItems(20);
    nameLabel->setBuddy(names);

    auto* group = new QGroupBox(text(msg::kPropertyGroupTitle), &window);
    group->setObjectName(QStringLiteral("propertyGroup"));
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(5);
    const int editWidth = window.fontMetrics().horizontalAdvance(QLatin1Char('0')) * 16;
    for (int k = 1; k <= kPropertyCount; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        auto* label = new QLabel(text(msg::kPropertyLabels[i]), group);
        label->setObjectName(QStringLiteral("propertyLabel%1").arg(k));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
        if (isRequiredColumn(k)) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, requiredColour());
            label->setPalette(palette);
        }
        auto* field = new QLineEdit(group);
        field->setObjectName(QStringLiteral("propertyEdit%1").arg(k));
        field->setMinimumWidth(editWidth);
        label->setBuddy(field);
        labels[i] = label;
        fields[i] = field;

        const bool left = k <= kLeftColumnRows;
        const int row = left ? k - 1 : k - 1 - kLeftColumnRows;
        const int column = left ? 0 : 3;
        grid->addWidget(label, row, column);
        grid->addWidget(field, row, column + 1);
    }
    grid->setColumnMinimumWidth(2, 18);  // gap between the two halves
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);

    auto* rule = new QFrame(group);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* requiredLegend = new QLabel(text(msg::kRequiredLegend), group);
    requiredLegend->setObjectName(QStringLiteral("requiredLegend"));
    auto* optionalLegend = new QLabel(text(msg::kOptionalLegend), group);
    optionalLegend->setObjectName(QStringLiteral("optionalLegend"));
    auto* legend = new QHBoxLayout;
    legend->setSpacing(6);
    legend->addStretch(1);
    legend->addWidget(requiredLegend);
    legend->addWidget(colourSample(group, requiredColour(), "requiredSample"));
    legend->addSpacing(18);
    legend->addWidget(optionalLegend);
    legend->addWidget(colourSample(group, window.palette().color(QPalette::WindowText), "optionalSample"));

    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->setContentsMargins(12, 12, 12, 10);
    groupLayout->setSpacing(8);
    groupLayout->addLayout(grid);
    groupLayout->addWidget(rule);
    groupLayout->addLayout(legend);

    auto makeButton = [this](const char* caption, const char* name) {
        auto* button = new QPushButton(text(caption), &window);
        button->setObjectName(QString::fromLatin1(name));
        // Enter in a field must never delete or overwrite a chemical.
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    };
    reset = makeButton(msg::kResetButton, "resetButton");
    apply = makeButton(msg::kApplyButton, "applyButton");
    add = makeButton(msg::kAddButton, "addButton");
    remove = makeButton(msg::kDeleteButton, "deleteButton");

    auto* nameRow = new QHBoxLayout;
    nameRow->setSpacing(8);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(names, 1);
    nameRow->addSpacing(12);
    nameRow->addWidget(add);
    nameRow->addWidget(remove);

    auto* commandRow = new QHBoxLayout;
    commandRow->setSpacing(8);
    commandRow->addStretch(1);
    commandRow->addWidget(reset);
    commandRow->addWidget(apply);

    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(10);
    layout->addLayout(nameRow);
    layout->addWidget(group, 1);
    layout->addLayout(commandRow);

    // Tab order: the list, the fields down each half, then the commands.
    QWidget* previous = names;
    for (QLineEdit* field : fields) {
        QWidget::setTabOrder(previous, field);
        previous = field;
    }
    for (QWidget* next : std::initializer_list<QWidget*>{reset, apply, add, remove}) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    }

    QObject::connect(names, &QComboBox::currentIndexChanged, &window, [this] { showSelected(); });
    QObject::connect(reset, &QPushButton::clicked, &window, [this] { showSelected(); });
    QObject::connect(apply, &QPushButton::clicked, &window, [this] { applyEdits(); });
    QObject::connect(add, &QPushButton::clicked, &window, [this] { addMaterial(); });
    QObject::connect(remove, &QPushButton::clicked, &window, [this] { deleteMaterial(); });
}

void MaterialManagerWindow::Impl::fillNames() {
    const QSignalBlocker quiet(names);
    names->clear();
    for (const std::string& name : listChemicalNames(connection, prompter)) names->addItem(QString::fromStdString(name));
    names->setCurrentIndex(-1);
}

void MaterialManagerWindow::Impl::selectStartingWith(const QString& prefix) {
    if (prefix.isEmpty()) return;
    const int index = names->findText(prefix, Qt::MatchStartsWith);  // letter case ignored
    if (index < 0) return;
    {
        const QSignalBlocker quiet(names);
        names->setCurrentIndex(index);
    }
    showSelected();
}

void MaterialManagerWindow::Impl::showSelected() {
    if (names->currentIndex() < 0) return;
    currentName = names->currentText();
    if (const auto texts = showChemical(connection, prompter, currentName.toStdString())) setFields(*texts);
}

void MaterialManagerWindow::Impl::applyEdits() {
    const ApplyOutcome outcome = applyChemicalEdits(connection, prompter, currentName.toStdString(), typedTexts());
    // Read back what the store now holds, the estimates included.
    if (outcome.confirmed) showSelected();
}

void MaterialManagerWindow::Impl::addMaterial() {
    AddMaterialWindow adding(connection, prompter, &window);
    if (adding.exec() != QDialog::Accepted) return;
    const QString added = adding.name();
    fillNames();
    // The new entry itself, not an earlier one that merely starts with its
    // name in another letter case; the prefix rule when it is not listed.
    const int exact = names->findText(added, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (exact >= 0) {
        {
            const QSignalBlocker quiet(names);
            names->setCurrentIndex(exact);
        }
        showSelected();
    } else {
        selectStartingWith(added);
    }
}

void MaterialManagerWindow::Impl::deleteMaterial() {
    const DeleteOutcome outcome = deleteChemical(connection, prompter, currentName.toStdString());
    // A delete the store refused has been reported; the chemical stays listed and shown.
    if (!outcome.confirmed || !outcome.stored) return;
    // The store tells names apart by every letter, so the list does too:
    // "chlorpyrifos" gone must not take "Chlorpyrifos" off the list.
    const int index = names->findText(currentName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        const QSignalBlocker quiet(names);
        const bool wasSelected = index == names->currentIndex();
        names->removeItem(index);
        if (wasSelected) names->setCurrentIndex(-1);
    }
    clearFields();
}

PropertyTexts MaterialManagerWindow::Impl::typedTexts() const {
    PropertyTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = fields[i]->text().toStdString();
    return texts;
}

void MaterialManagerWindow::Impl::setFields(const PropertyTexts& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        fields[i]->setText(QString::fromStdString(texts[i]));
        fields[i]->setCursorPosition(0);
    }
}

void MaterialManagerWindow::Impl::clearFields() {
    for (QLineEdit* field : fields) field->clear();
}

MaterialManagerWindow::MaterialManagerWindow(StoreConnection& connection, Prompter& prompter,
                                             const QString& initialName, QWidget* parent)
    : QDialog(parent), impl_(new Impl(*this, connection, prompter)) {
    setObjectName(QStringLiteral("materialManagerWindow"));
    setWindowTitle(text(msg::kMaterialManagerTitle));
    // Left by its close box only: no OK or Cancel.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    ensureHangulFont(*this);

    impl_->build();
    impl_->fillNames();
    impl_->selectStartingWith(initialName);
    impl_->names->setFocus();
}

MaterialManagerWindow::~MaterialManagerWindow() { delete impl_; }

}  // namespace verdanel::gui
