#pragma once
// A drop-down list of names that may be very long (a chemical name of three
// hundred letters, say). The box and its open list elide what does not fit;
// the open list is no wider than the box or about 48 characters, whichever
// is wider, and stays on the screen below the box. Each entry's tooltip
// holds the whole name, and the texts themselves stay whole: itemText() and
// currentText() give the full name.
#include <QComboBox>

namespace verdanel::gui {

class NameComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit NameComboBox(QWidget* parent = nullptr);

    // The widest the open list gets, in pixels.
    int popupWidthLimit() const;

    void showPopup() override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace verdanel::gui
