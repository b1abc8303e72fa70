#pragma once
// A static text whose background is its parent's: the text is drawn straight
// over whatever the parent paints (a picture, a gradient) in its own colour.
#include <QColor>
#include <QLabel>

class CTransparentStatic : public QLabel {
    Q_OBJECT

public:
    explicit CTransparentStatic(QWidget* parent = nullptr);
    explicit CTransparentStatic(const QString& text, QWidget* parent = nullptr);

    // Black until set.
    QColor textColor() const { return textColor_; }
    void setTextColor(const QColor& color);

    // Sets the text and has the parent repaint the area under the control at
    // once, so nothing of a longer old text stays behind. (Hides
    // QLabel::setText; call it through this class.)
    void setText(const QString& text);

private:
    void init();

    QColor textColor_{Qt::black};
};
