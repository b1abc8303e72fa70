#pragma once
// The chemical windows show Korean labels; when the application has not
// chosen a font that has Hangul, the window picks one for itself.
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <QWidget>

#include "gui/common/program_pictures.hpp"

namespace verdanel::gui {

inline void ensureHangulFont(QWidget& window) {
    const QFont current = window.font();
    const QString resolved = QFontInfo(current).family();
    if (QFontDatabase::writingSystems(resolved).contains(QFontDatabase::Korean)) return;
    QFont font;
    if (hangulFont(font, current.pointSize() > 0 ? current.pointSize() : 9)) window.setFont(font);
}

}  // namespace verdanel::gui
