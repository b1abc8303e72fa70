#pragma once
// A small push button that shows a colour as a swatch beside a drop-down
// arrow. Clicking it opens the colour palette popup under it; when the popup
// ends with OK the button takes the chosen colour, repaints and emits
// colorChanged() with its control id (also when the colour stayed the same).
//
//     auto* button = new ColorPickerButton(this, 1068);
//     button->setColor(Qt::red);  // no notification
//     connect(button, &ColorPickerButton::colorChanged, this, &Window::seriesColorChanged);
#include <QColor>
#include <QPushButton>

namespace verdanel::gui {

class ColorPopup;

class ColorPickerButton : public QPushButton {
    Q_OBJECT

public:
    explicit ColorPickerButton(QWidget* parent = nullptr, int controlId = 0);

    // Black until set.
    QColor color() const { return color_; }
    // Sets the colour and repaints; sends no notification.
    void setColor(const QColor& color);

    int controlId() const { return controlId_; }
    void setControlId(int id) { controlId_ = id; }

    // The palette popup, made with the button and reused for every click.
    ColorPopup* popup() const { return popup_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void colorChanged(int controlId, const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void choose();

    QColor color_{Qt::black};
    int controlId_ = 0;
    ColorPopup* popup_ = nullptr;
};

}  // namespace verdanel::gui
