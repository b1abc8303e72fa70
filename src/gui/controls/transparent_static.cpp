#include "gui/controls/transparent_static.hpp"

#include <QPalette>

CTransparentStatic::CTransparentStatic(QWidget* parent) : QLabel(parent) { init(); }

CTransparentStatic::CTransparentStatic(const QString& text, QWidget* parent) : QLabel(text, parent) { init(); }

void CTransparentStatic::init() {
    // No background of its own: the parent's painting shows through.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground, false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setTextFormat(Qt::PlainText);
    setTextColor(textColor_);
}

void CTransparentStatic::setTextColor(const QColor& color) {
    textColor_ = color;
    QPalette p = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::WindowText, color);
        p.setColor(group, QPalette::Text, color);
    }
    setPalette(p);
    update();
}

void CTransparentStatic::setText(const QString& text) {
    const QRect before = geometry();
    QLabel::setText(text);
    if (QWidget* parent = parentWidget(); parent && parent->isVisible()) {
        parent->repaint(before.united(geometry()));
    } else {
        repaint();
    }
}
