#pragma once
// The palette that drops down from a colour picker button: 40 fixed colours
// in 5 rows of 8 cells and an "Other Color..." entry that opens the standard
// colour dialog. It is a popup window with a dialog frame, 164 x 129 pixels,
// opened below its button (above it near the bottom of the screen, shifted
// left near the right edge) and run modally.
//
// Mouse: a press on a cell shows it pressed; a release over that same cell
// selects it; a release over any other point selects nothing. A press
// outside the popup closes it with Cancel. Moving over a cell gives it the
// focus, which draws it raised.
// Keyboard: the arrow keys move the focus between the cells, Return, Enter
// and Space select the focused cell, Escape closes with Cancel.
#include <QColor>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <array>
#include <functional>

class QEventLoop;

namespace verdanel::gui {

class ColorPopupCell;

class ColorPopup : public QWidget {
    Q_OBJECT

public:
    enum Result { Cancel = 0, Ok = 1 };

    static constexpr QSize kSize{164, 129};
    // Width of the dialog frame; cell positions are inside it.
    static constexpr int kFrame = 3;
    static constexpr int kRows = 5;
    static constexpr int kColumns = 8;
    static constexpr int kColorCount = kRows * kColumns;
    // Cell i has id kBaseId + i; "Other Color..." has kOtherColorId.
    static constexpr int kBaseId = 5000;
    static constexpr int kOtherColorId = kBaseId + 41;
    static constexpr int kCellSize = 17;

    // Asks for a colour starting from `initial`; sets *ok to whether the
    // user confirmed one.
    using ColorDialog = std::function<QColor(const QColor& initial, bool* ok)>;

    explicit ColorPopup(QWidget* ownerButton = nullptr);
    ~ColorPopup() override;

    // The 40 palette colours, row by row.
    static const std::array<QColor, kColorCount>& colorTable();

    // Where the popup's top-left corner goes for a button occupying
    // `buttonGlobal` on a screen whose usable area is `screenArea`: below
    // the button, moved above it when it would leave the bottom of the
    // area, moved left by the excess when it would leave the right side.
    static QPoint placement(const QRect& buttonGlobal, const QSize& popupSize, const QRect& screenArea);

    // White until set; the button sets it before each opening.
    QColor currentColor() const { return current_; }
    void setCurrentColor(const QColor& color) { current_ = color; }

    // Replaces the standard colour dialog behind "Other Color...".
    void setColorDialog(ColorDialog dialog);

    // Shows the popup placed against `anchor` (the owner button when null)
    // and returns at once; finished() tells the outcome.
    void open(QWidget* anchor = nullptr);
    // Shows the popup and waits until it closes.
    Result exec(QWidget* anchor = nullptr);
    bool isRunning() const { return running_; }
    // Outcome of the last opening.
    Result result() const { return result_; }

    // Cell `id` (kBaseId .. kBaseId + 39, kOtherColorId), or null.
    QWidget* cell(int id) const;
    // Id of the cell under `pos` (popup coordinates), or -1.
    int cellAt(const QPoint& pos) const;
    // Id of the cell remembered at the last press, or -1.
    int pressedCell() const { return pressedId_; }

signals:
    void finished(int result);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void select(int id);
    void finish(Result result);
    void setPressed(int id);
    void moveFocus(int dx, int dy);
    ColorPopupCell* cellWidget(int id) const;

    QPointer<QWidget> owner_;
    std::array<ColorPopupCell*, kColorCount + 1> cells_{};  // the last one is "Other Color..."
    QColor current_{Qt::white};
    ColorDialog dialog_;
    int pressedId_ = -1;
    Result result_ = Cancel;
    bool running_ = false;
    bool inDialog_ = false;
    QEventLoop* loop_ = nullptr;
};

}  // namespace verdanel::gui
