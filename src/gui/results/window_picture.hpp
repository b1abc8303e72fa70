#pragma once
// The picture of a whole window as it is on the screen, and its export as a
// 24-bit Windows bitmap file.
//
//     switch (exportWindowBitmap(this, path)) {
//         case WindowBitmapResult::NoPicture: /* show windowBitmapMessage(...) */ break;
//         case WindowBitmapResult::FileNotWritten: break;  // nothing is shown
//         case WindowBitmapResult::Written: break;
//     }
#include <QImage>
#include <QString>

class QWidget;

namespace verdanel::gui {

// The top-level window of `widget` with its title bar and frame, copied from
// the screen where the platform allows it; otherwise (no screen copy, as on
// Wayland, or a window not shown) the window's own rendering without the
// frame. A null image when neither gives one.
QImage windowPicture(QWidget* widget);

enum class WindowBitmapResult {
    Written,
    NoPicture,       // no picture could be made: "이미지를 생성할 수 없습니다."
    FileNotWritten,  // the file could not be created or written: nothing is shown
};

// Writes windowPicture(widget) to `path` as a 24-bit bottom-up BMP file.
WindowBitmapResult exportWindowBitmap(QWidget* widget, const QString& path);

// The message the window shows for a result, empty when there is none.
QString windowBitmapMessage(WindowBitmapResult result);

}  // namespace verdanel::gui
