#include "gui/controls/name_combo_box.hpp"

#include <QAbstractItemView>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <algorithm>

namespace verdanel::gui {

namespace {

// Names wider than this many average characters are elided in the open list.
constexpr int kPopupCharacters = 48;

// Entries of the open list claim no width of their own: the view then gives
// each entry the list's width, and the text is elided there instead of
// running past the edge.
class ElidingDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(1, QStyledItemDelegate::sizeHint(option, index).height());
    }
};

}  // namespace

NameComboBox::NameComboBox(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setItemDelegate(new ElidingDelegate(this));
    view()->setTextElideMode(Qt::ElideRight);
    view()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every entry carries its whole name as its tooltip.
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        for (int i = first; i <= last; ++i) setItemData(i, itemText(i), Qt::ToolTipRole);
    });
}

int NameComboBox::popupWidthLimit() const {
    int limit = std::max(width(), fontMetrics().averageCharWidth() * kPopupCharacters);
    if (const QScreen* s = screen()) limit = std::min(limit, s->availableGeometry().width());
    return limit;
}

void NameComboBox::showPopup() {
    QComboBox::showPopup();
    // The base class widens the list to its longest text, up to the whole
    // screen; it goes back to the limit, with its left edge below the box.
    QWidget* popup = view()->window();
    const int limit = popupWidthLimit();
    if (popup->width() <= limit) return;
    QRect place = popup->geometry();
    place.setWidth(limit);
    place.moveLeft(mapToGlobal(QPoint(0, 0)).x());
    if (const QScreen* s = screen()) {
        const QRect available = s->availableGeometry();
        if (place.right() > available.right()) place.moveRight(available.right());
        if (place.left() < available.left()) place.moveLeft(available.left());
    }
    popup->setGeometry(place);
}

void NameComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    // The shown name is elided to the box's text field.
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideRight, field.width() - 2);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace verdanel::gui
