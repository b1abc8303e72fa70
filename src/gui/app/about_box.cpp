#include "gui/app/about_box.hpp"

#include <QLabel>
#include <QPushButton>

#include "core/common/messages.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/controls/dialog_units.hpp"

namespace verdanel::gui {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QString::fromUtf8(msg::kAboutTitle));
    const QIcon icon = programIcon();
    setWindowIcon(icon);
    setFixedSize(dluSize(235, 55));

    icon_ = new QLabel(this);
    icon_->setObjectName(QStringLiteral("aboutIcon"));
    icon_->setPixmap(icon.pixmap(32, 32));
    icon_->setGeometry(dluX(11), dluY(17), 32, 32);

    // The texts run up to the button, a little wider than their 119 units so
    // the Korean line is not cut.
    const int textWidth = dluX(178) - dluX(40) - 6;
    version_ = new QLabel(QString::fromUtf8(msg::kAboutVersion), this);
    version_->setObjectName(QStringLiteral("aboutVersion"));
    version_->setGeometry(dluX(40), dluY(10), textWidth, dluY(8) + 4);
    secondLine_ = new QLabel(QString::fromUtf8(msg::kAboutSecondLine), this);
    secondLine_->setObjectName(QStringLiteral("aboutSecondLine"));
    secondLine_->setGeometry(dluX(40), dluY(25), textWidth, dluY(8) + 4);

    ok_ = new QPushButton(QString::fromUtf8(msg::kOk), this);
    ok_->setObjectName(QStringLiteral("aboutOk"));
    ok_->setGeometry(dluRect(178, 7, 50, 14));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace verdanel::gui
