#pragma once
// Window layouts are given in dialog units; on screen one horizontal unit is
// 1.5 pixels and one vertical unit 1.625 pixels (a 6 x 13 pixel base font).
#include <QRect>
#include <QSize>

namespace verdanel::gui {

constexpr int dluX(int units) { return (units * 3 + 1) / 2; }
constexpr int dluY(int units) { return (units * 13 + 4) / 8; }

// A control's place: left and top rounded, then width and height rounded
// the same way, so neighbours keep their gaps.
inline QRect dluRect(int x, int y, int w, int h) { return QRect(dluX(x), dluY(y), dluX(w), dluY(h)); }
inline QSize dluSize(int w, int h) { return QSize(dluX(w), dluY(h)); }

}  // namespace verdanel::gui
