#include "gui/controls/color_popup.hpp"

#include <QColorDialog>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace verdanel::gui {

namespace {

const QColor kGrey(128, 128, 128);

// A one-pixel 3D rectangle: `topLeft` along the top and left edges,
// `bottomRight` along the right and bottom edges (which own the corners).
void frame3d(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    p.fillRect(r.left(), r.top(), r.width() - 1, 1, topLeft);
    p.fillRect(r.left(), r.top(), 1, r.height() - 1, topLeft);
    p.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
    p.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
}

}  // namespace

// One palette cell or the "Other Color..." entry. The popup handles every
// mouse event itself (cells are see-through for the mouse) and tells the
// cell when it is pressed; the cell keeps the keyboard focus it is given.
class ColorPopupCell : public QWidget {
public:
    ColorPopupCell(int id, QColor color, QWidget* parent) : QWidget(parent), id_(id), color_(color) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::StrongFocus);
        setObjectName(QStringLiteral("colorCell%1").arg(id));
    }

    int id() const { return id_; }
    bool isOther() const { return id_ == ColorPopup::kOtherColorId; }

    bool pressed() const { return pressed_; }
    void setPressed(bool pressed) {
        if (pressed_ == pressed) return;
        pressed_ = pressed;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = rect();
        p.fillRect(r, palette().color(QPalette::Button));
        if (pressed_) {
            frame3d(p, r, Qt::black, Qt::white);
        } else if (hasFocus()) {
            frame3d(p, r, Qt::white, Qt::black);
        }
        if (isOther()) {
            QFont font = this->font();
            font.setPixelSize(height() - 8);
            font.setWeight(QFont::Normal);
            p.setFont(font);
            p.setPen(Qt::black);
            p.drawText(r.adjusted(0, 4, 0, -2), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                       QStringLiteral("Other Color..."));
        } else {
            const QRect swatch = r.adjusted(3, 3, -3, -3);
            p.fillRect(swatch, kGrey);
            p.fillRect(swatch.adjusted(1, 1, -1, -1), color_);
        }
    }

private:
    int id_;
    QColor color_;
    bool pressed_ = false;
};

ColorPopup::ColorPopup(QWidget* ownerButton) : QWidget(ownerButton, Qt::Popup | Qt::FramelessWindowHint), owner_(ownerButton) {
    setObjectName(QStringLiteral("colorPopup"));
    setAttribute(Qt::WA_NoMouseReplay);  // the press that closes the popup does nothing else
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setFixedSize(kSize);

    const auto& table = colorTable();
    for (int i = 0; i < kColorCount; ++i) {
        const int row = i / kColumns;
        const int column = i % kColumns;
        auto* cell = new ColorPopupCell(kBaseId + i, table[static_cast<size_t>(i)], this);
        cell->setGeometry(kFrame + 8 + 18 * column, kFrame + 5 + 18 * row, kCellSize, kCellSize);
        cells_[static_cast<size_t>(i)] = cell;
    }
    auto* other = new ColorPopupCell(kOtherColorId, QColor(), this);
    other->setGeometry(QRect(QPoint(kFrame + 8, kFrame + 100), QPoint(kFrame + 151 - 1, kFrame + 121 - 1)));
    cells_[kColorCount] = other;
}

ColorPopup::~ColorPopup() {
    // A popup destroyed while it runs ends its wait with Cancel.
    running_ = false;
    if (loop_) loop_->exit(Cancel);
}

const std::array<QColor, ColorPopup::kColorCount>& ColorPopup::colorTable() {
    static const std::array<QColor, kColorCount> table{
        QColor(0, 0, 0),       QColor(153, 51, 0),    QColor(51, 51, 0),     QColor(0, 51, 0),
        QColor(0, 51, 102),    QColor(0, 0, 128),     QColor(51, 51, 153),   QColor(51, 51, 51),
        QColor(128, 0, 0),     QColor(255, 102, 0),   QColor(128, 128, 0),   QColor(0, 128, 0),
        QColor(0, 128, 128),   QColor(0, 0, 255),     QColor(102, 102, 153), QColor(128, 128, 128),
        QColor(255, 0, 0),     QColor(255, 153, 0),   QColor(153, 204, 0),   QColor(51, 153, 102),
        QColor(51, 204, 204),  QColor(51, 102, 255),  QColor(128, 0, 128),   QColor(153, 153, 153),
        QColor(255, 0, 255),   QColor(255, 204, 0),   QColor(255, 255, 0),   QColor(0, 255, 0),
        QColor(0, 255, 255),   QColor(0, 204, 255),   QColor(153, 51, 102),  QColor(192, 192, 192),
        QColor(255, 153, 204), QColor(255, 204, 153), QColor(255, 255, 153), QColor(204, 255, 204),
        QColor(204, 255, 255), QColor(153, 204, 255), QColor(204, 153, 255), QColor(255, 255, 255),
    };
    return table;
}

QPoint ColorPopup::placement(const QRect& buttonGlobal, const QSize& popupSize, const QRect& screenArea) {
    QPoint at(buttonGlobal.left(), buttonGlobal.top() + buttonGlobal.height());
    const int screenBottom = screenArea.top() + screenArea.height();
    const int screenRight = screenArea.left() + screenArea.width();
    if (at.y() + popupSize.height() > screenBottom) at.setY(buttonGlobal.top() - popupSize.height());
    if (at.x() + popupSize.width() > screenRight) at.rx() -= at.x() + popupSize.width() - screenRight;
    return at;
}

void ColorPopup::setColorDialog(ColorDialog dialog) { dialog_ = std::move(dialog); }

ColorPopupCell* ColorPopup::cellWidget(int id) const {
    if (id >= kBaseId && id < kBaseId + kColorCount) return cells_[static_cast<size_t>(id - kBaseId)];
    if (id == kOtherColorId) return cells_[kColorCount];
    return nullptr;
}

QWidget* ColorPopup::cell(int id) const { return cellWidget(id); }

int ColorPopup::cellAt(const QPoint& pos) const {
    for (const ColorPopupCell* c : cells_)
        if (c->geometry().contains(pos)) return c->id();
    return -1;
}

void ColorPopup::open(QWidget* anchor) {
    if (running_) return;
    QWidget* at = anchor ? anchor : owner_.data();
    QRect button;
    QScreen* screen = nullptr;
    if (at) {
        button = QRect(at->mapToGlobal(QPoint(0, 0)), at->size());
        screen = QGuiApplication::screenAt(button.center());
        if (!screen) screen = at->screen();
    }
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    if (!at) button = QRect(area.center(), QSize(0, 0));
    move(placement(button, kSize, area));

    result_ = Cancel;
    setPressed(-1);
    running_ = true;
    // The popup itself holds the focus until the mouse or a key picks a cell.
    setFocus(Qt::PopupFocusReason);
    show();
    raise();
    activateWindow();
}

ColorPopup::Result ColorPopup::exec(QWidget* anchor) {
    QPointer<ColorPopup> self(this);
    open(anchor);
    if (running_) {
        QEventLoop loop;
        loop_ = &loop;
        loop.exec(QEventLoop::DialogExec);
        if (!self) return Cancel;
        loop_ = nullptr;
    }
    return result_;
}

void ColorPopup::finish(Result result) {
    if (!running_) return;
    running_ = false;
    result_ = result;
    setPressed(-1);
    hide();
    if (loop_) loop_->quit();
    emit finished(result);
}

void ColorPopup::setPressed(int id) {
    pressedId_ = id;
    for (ColorPopupCell* c : cells_) c->setPressed(c->id() == id);
}

void ColorPopup::select(int id) {
    if (id == kOtherColorId) {
        // The dialog takes over; whatever the user does there, the popup
        // has done its work and closes with OK.
        inDialog_ = true;
        setPressed(-1);
        hide();
        bool ok = false;
        QColor chosen;
        if (dialog_) {
            chosen = dialog_(current_, &ok);
        } else {
            chosen = QColorDialog::getColor(current_, owner_ ? owner_->window() : nullptr);
            ok = chosen.isValid();
        }
        inDialog_ = false;
        if (ok && chosen.isValid()) current_ = chosen;
        finish(Ok);
        return;
    }
    const int index = id - kBaseId;
    if (index < 0 || index >= kColorCount) return;
    current_ = colorTable()[static_cast<size_t>(index)];
    finish(Ok);
}

void ColorPopup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    // The dialog frame: a raised double edge and one line of face colour.
    frame3d(p, rect(), QColor(227, 227, 227), Qt::black);
    frame3d(p, rect().adjusted(1, 1, -1, -1), Qt::white, kGrey);
}

void ColorPopup::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (!rect().contains(pos)) {
        finish(Cancel);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    const int id = cellAt(pos);
    if (id >= 0) setPressed(id);
}

void ColorPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !running_) return;
    const int pressed = pressedId_;
    const int id = cellAt(event->position().toPoint());
    setPressed(-1);
    if (pressed >= 0 && id == pressed) select(id);
}

void ColorPopup::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (!rect().contains(pos)) return;
    if (ColorPopupCell* c = cellWidget(cellAt(pos)); c && !c->hasFocus()) c->setFocus(Qt::MouseFocusReason);
}

void ColorPopup::moveFocus(int dx, int dy) {
    // Grid positions: rows 0-4 hold the colours, row 5 is "Other Color...".
    int row = -1;
    int column = 0;
    for (const ColorPopupCell* c : cells_) {
        if (!c->hasFocus()) continue;
        row = c->isOther() ? kRows : (c->id() - kBaseId) / kColumns;
        column = c->isOther() ? 0 : (c->id() - kBaseId) % kColumns;
    }
    if (row < 0) {
        row = 0;
        column = 0;
    } else if (dx != 0 && row < kRows) {
        column = (column + dx + kColumns) % kColumns;
    } else if (dy != 0) {
        row = std::clamp(row + dy, 0, kRows);
    }
    const int id = row == kRows ? kOtherColorId : kBaseId + row * kColumns + column;
    cellWidget(id)->setFocus(Qt::TabFocusReason);
}

void ColorPopup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        finish(Cancel);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        for (const ColorPopupCell* c : cells_) {
            if (c->hasFocus()) {
                select(c->id());
                return;
            }
        }
        return;
    case Qt::Key_Left: moveFocus(-1, 0); return;
    case Qt::Key_Right: moveFocus(1, 0); return;
    case Qt::Key_Up: moveFocus(0, -1); return;
    case Qt::Key_Down: moveFocus(0, 1); return;
    default: QWidget::keyPressEvent(event);
    }
}

void ColorPopup::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Closed from outside (another window took the screen): nothing chosen.
    if (running_ && !inDialog_) finish(Cancel);
}

}  // namespace verdanel::gui
