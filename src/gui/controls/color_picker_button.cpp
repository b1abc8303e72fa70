#include "gui/controls/color_picker_button.hpp"

#include <QPainter>
#include <cstdlib>

#include "gui/controls/color_popup.hpp"

namespace verdanel::gui {

namespace {

const QColor kGrey(128, 128, 128);

// Straight lines drawn the way a pen moved from point to point draws them:
// each segment covers its start point but not its end point.
class PenPath {
public:
    explicit PenPath(QPainter& painter) : p_(painter) {}

    void setColor(const QColor& color) { color_ = color; }
    void moveTo(int x, int y) { at_ = QPoint(x, y); }
    // Horizontal or vertical segments only.
    void lineTo(int x, int y) {
        if (y == at_.y() && x != at_.x()) {
            const int from = x > at_.x() ? at_.x() : x + 1;
            p_.fillRect(from, y, std::abs(x - at_.x()), 1, color_);
        } else if (x == at_.x() && y != at_.y()) {
            const int from = y > at_.y() ? at_.y() : y + 1;
            p_.fillRect(x, from, 1, std::abs(y - at_.y()), color_);
        }
        at_ = QPoint(x, y);
    }

private:
    QPainter& p_;
    QPoint at_;
    QColor color_;
};

// Every second pixel of the rectangle's outline, corners inclusive.
void dottedRect(QPainter& p, int left, int top, int right, int bottom, const QColor& color) {
    if (right < left || bottom < top) return;
    bool on = true;
    auto dot = [&](int x, int y) {
        if (on) p.fillRect(x, y, 1, 1, color);
        on = !on;
    };
    for (int x = left; x < right; ++x) dot(x, top);
    for (int y = top; y < bottom; ++y) dot(right, y);
    for (int x = right; x > left; --x) dot(x, bottom);
    for (int y = bottom; y > top; --y) dot(left, y);
}

}  // namespace

ColorPickerButton::ColorPickerButton(QWidget* parent, int controlId)
    : QPushButton(parent), controlId_(controlId), popup_(new ColorPopup(this)) {
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, &ColorPickerButton::choose);
}

void ColorPickerButton::setColor(const QColor& color) {
    color_ = color;
    update();
}

QSize ColorPickerButton::sizeHint() const { return QSize(48, 22); }

QSize ColorPickerButton::minimumSizeHint() const { return QSize(28, 14); }

void ColorPickerButton::choose() {
    popup_->setCurrentColor(color_);
    if (popup_->exec(this) != ColorPopup::Ok) return;
    setColor(popup_->currentColor());
    emit colorChanged(controlId_, color_);
}

void ColorPickerButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int left = 0;
    const int top = 0;
    const int right = width();
    const int bottom = height();
    p.fillRect(rect(), palette().color(QPalette::Button));

    PenPath pen(p);
    if (!isDown()) {
        pen.setColor(Qt::black);
        pen.moveTo(left, bottom - 1);
        pen.lineTo(right - 1, bottom - 1);
        pen.lineTo(right - 1, top);
        pen.setColor(kGrey);
        pen.moveTo(left + 1, bottom - 2);
        pen.lineTo(right - 2, bottom - 2);
        pen.lineTo(right - 2, top + 1);
        pen.setColor(Qt::white);
        pen.lineTo(left + 1, top + 1);
        pen.lineTo(left + 1, bottom - 2);
    } else {
        pen.setColor(kGrey);
        pen.moveTo(left, bottom - 1);
        pen.lineTo(left, top);
        pen.lineTo(right - 1, top);
        pen.setColor(Qt::white);
        pen.moveTo(right - 1, top - 1);
        pen.lineTo(right - 1, bottom - 1);
        pen.lineTo(left + 1, bottom - 1);
        pen.setColor(Qt::black);
        pen.moveTo(left + 1, bottom - 2);
        pen.lineTo(left + 1, top + 1);
        pen.lineTo(right - 2, top + 1);
        // The face sinks: the rest moves one pixel right and down.
        p.translate(1, 1);
    }

    // Separator between the swatch and the arrow.
    pen.setColor(Qt::white);
    pen.moveTo(right - 10, top + 4);
    pen.lineTo(right - 10, bottom - 4);
    pen.setColor(kGrey);
    pen.moveTo(right - 11, top + 4);
    pen.lineTo(right - 11, bottom - 4);

    // Down arrow: rows of 5, 3 and 1 pixels.
    const bool enabled = isEnabled();
    const int y = bottom / 2;
    pen.setColor(enabled ? QColor(Qt::black) : kGrey);
    pen.moveTo(right - 4, y - 1);
    pen.lineTo(right - 9, y - 1);
    pen.moveTo(right - 5, y);
    pen.lineTo(right - 8, y);
    p.fillRect(right - 6, y + 1, 1, 1, enabled ? QColor(Qt::black) : kGrey);
    if (!enabled) {
        for (const QPoint& at : {QPoint(right - 4, y - 1), QPoint(right - 5, y), QPoint(right - 6, y + 1)})
            p.fillRect(at.x(), at.y(), 1, 1, Qt::white);
    }

    if (enabled) {
        const QRect swatch(QPoint(left + 5, top + 4), QPoint(right - 16, bottom - 5));
        if (swatch.isValid()) {
            p.fillRect(swatch, Qt::black);
            p.fillRect(swatch.adjusted(1, 1, -1, -1), color_);
        }
    }

    if (hasFocus()) dottedRect(p, left + 3, top + 3, right - 4, bottom - 4, Qt::black);
}

}  // namespace verdanel::gui
