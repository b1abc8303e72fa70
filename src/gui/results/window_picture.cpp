#include "gui/results/window_picture.hpp"

#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include "core/common/utf8_path.hpp"
#include "core/results/bmp_writer.hpp"
#include "core/results/result_messages.hpp"

namespace verdanel::gui {

namespace {

// The screen's pixels under the window's outer rectangle, or a null image.
QImage screenCopy(QWidget* window) {
    if (!window->isVisible() || window->isMinimized()) return QImage();
    QScreen* screen = window->screen();
    if (screen == nullptr) return QImage();
    const QRect frame = window->frameGeometry();
    const QPoint origin = frame.topLeft() - screen->geometry().topLeft();
    const QPixmap shot = screen->grabWindow(0, origin.x(), origin.y(), frame.width(), frame.height());
    // A platform that cannot copy the screen answers with nothing, or with
    // less than was asked for.
    if (shot.isNull()) return QImage();
    const QSize logical = (QSizeF(shot.size()) / shot.devicePixelRatio()).toSize();
    if (logical != frame.size()) return QImage();
    return shot.toImage();
}

}  // namespace

QImage windowPicture(QWidget* widget) {
    if (widget == nullptr) return QImage();
    QWidget* window = widget->window();
    QImage picture = screenCopy(window);
    if (picture.isNull()) picture = window->grab().toImage();
    return picture;
}

WindowBitmapResult exportWindowBitmap(QWidget* widget, const QString& path) {
    const QImage picture = windowPicture(widget);
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0) return WindowBitmapResult::NoPicture;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) return WindowBitmapResult::NoPicture;
    const bool written = writeBmp24(pathFromUtf8(path.toStdString()), rgb.width(), rgb.height(), rgb.constBits(),
                                    static_cast<std::size_t>(rgb.bytesPerLine()));
    return written ? WindowBitmapResult::Written : WindowBitmapResult::FileNotWritten;
}

QString windowBitmapMessage(WindowBitmapResult result) {
    if (result == WindowBitmapResult::NoPicture) return QString::fromUtf8(msg::kImageCannotBeCreated);
    return QString();
}

}  // namespace verdanel::gui
