#include "plot/shipped_font.hpp"

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>

namespace verdanel {

void addShippedHangulFont() {
    static bool tried = false;
    if (tried) return;
    tried = true;
    if (!QFontDatabase::families(QFontDatabase::Korean).isEmpty()) return;
    const QString file = QCoreApplication::applicationDirPath() + QStringLiteral("/fonts/NanumGothic.ttf");
    if (QFile::exists(file)) QFontDatabase::addApplicationFont(file);
}

}  // namespace verdanel
