#pragma once
// The program's own pictures: its icon and the model chooser's scene.
#include <QFont>
#include <QIcon>
#include <QPixmap>

class QApplication;

namespace verdanel::gui {

// The program icon in 16, 32, 48 and 256 pixels.
QIcon programIcon();

// The model chooser's picture, 174 x 312 pixels.
QPixmap chooserPicture();

// A font that has Hangul (NanumGothic when installed) becomes the
// application's font, so the Korean texts show. Returns the family chosen,
// or "" when the application font was left alone.
QString useHangulFont(QApplication& app);

// The interface font: the best installed family with Hangul at the given
// size, unhinted (hinted at 9 pt the full stop draws like a comma).
// Returns false, leaving `font` alone, when no installed family has Hangul.
bool hangulFont(QFont& font, int pointSize = 9);

}  // namespace verdanel::gui
