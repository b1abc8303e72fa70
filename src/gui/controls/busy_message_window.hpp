#pragma once
// A small window with one line of white text over a green picture, shown over
// a window while long store work runs on the interface thread (a search, a
// delete, the compaction when the program ends). It is painted the moment it
// opens and leaves the input with its owner.
//
//     BusyMessageWindow busy;
//     busy.open(this, text);
//     ... long work ...
//     busy.close();
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

class CTransparentStatic;

namespace verdanel::gui {

class BusyMessagePopup;

class BusyMessageWindow {
public:
    // 317 x 24 dialog units, the size of the background picture.
    static constexpr QSize kDesignedSize{554, 36};
    // Room the text keeps to the window's sides, together.
    static constexpr int kTextMargin = 20;
    static constexpr int kTextControlId = 1618;
    static constexpr const char* kWindowName = "busyMessageWindow";
    static constexpr const char* kTextName = "busyMessageText";

    BusyMessageWindow() = default;
    ~BusyMessageWindow();
    BusyMessageWindow(const BusyMessageWindow&) = delete;
    BusyMessageWindow& operator=(const BusyMessageWindow&) = delete;

    // Shows the text centred over the owner's window (or the screen when
    // there is none) and paints it before returning. A text wider than the
    // window less the margin widens the window to fit, centred on the screen.
    void open(QWidget* owner, const QString& text);
    // Gives the owner its input back and destroys the window.
    void close();

    bool isOpen() const { return !popup_.isNull(); }
    // The window while it is open, else null.
    QWidget* window() const;
    CTransparentStatic* textControl() const;

private:
    QPointer<QWidget> owner_;
    QPointer<BusyMessagePopup> popup_;
};

}  // namespace verdanel::gui
