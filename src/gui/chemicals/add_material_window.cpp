#include "gui/chemicals/add_material_window.hpp"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/material_manager.hpp"
#include "gui/common/hangul_font.hpp"

namespace verdanel::gui {

AddMaterialWindow::AddMaterialWindow(StoreConnection& connection, Prompter& prompter, QWidget* parent)
    : QDialog(parent), connection_(connection), prompter_(prompter) {
    setObjectName(QStringLiteral("addMaterialWindow"));
    setWindowTitle(QString::fromUtf8(msg::kAddMaterialTitle));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    ensureHangulFont(*this);

    auto* prompt = new QLabel(QString::fromUtf8(msg::kAddMaterialPrompt), this);
    prompt->setObjectName(QStringLiteral("promptLabel"));

    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("nameEdit"));
    name_->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 24);
    prompt->setBuddy(name_);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("okButton"));
    ok_->setDefault(true);
    cancel_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel_->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &AddMaterialWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AddMaterialWindow::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->setSpacing(8);
    layout->addWidget(prompt);
    layout->addWidget(name_);
    layout->addSpacing(4);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    name_->setFocus();
}

QString AddMaterialWindow::name() const { return name_->text(); }

void AddMaterialWindow::accept() {
    const AddOutcome outcome = addChemical(connection_, prompter_, name_->text().toStdString());
    if (outcome.accepted) {
        QDialog::accept();
    } else {
        name_->setFocus();
        name_->selectAll();
    }
}

}  // namespace verdanel::gui
