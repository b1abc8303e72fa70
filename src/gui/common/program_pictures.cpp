#include "gui/common/program_pictures.hpp"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

#include "gui/resources/gui_resources.hpp"
#include "plot/shipped_font.hpp"

namespace verdanel::gui {

QIcon programIcon() {
    registerResources();
    QIcon icon;
    for (int size : {16, 32, 48, 256}) {
        icon.addFile(QStringLiteral(":/verdanel/icon_%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QPixmap chooserPicture() {
    registerResources();
    return QPixmap(QStringLiteral(":/verdanel/chooser_scene.png"));
}

bool hangulFont(QFont& font, int pointSize) {
    QStringList families = QFontDatabase::families(QFontDatabase::Korean);
    if (families.isEmpty()) {
        verdanel::addShippedHangulFont();
        families = QFontDatabase::families(QFontDatabase::Korean);
    }
    if (families.isEmpty()) return false;
    // Some other font with Hangul is better than boxes.
    QString chosen = families.first();
    for (const QString& wanted : {QStringLiteral("NanumGothic"), QStringLiteral("NanumBarunGothic"),
                                 QStringLiteral("Noto Sans CJK KR"), QStringLiteral("UnDotum")}) {
        if (families.contains(wanted, Qt::CaseInsensitive)) {
            chosen = wanted;
            break;
        }
    }
    font = QFont(chosen);
    font.setPointSize(pointSize);
    font.setHintingPreference(QFont::PreferNoHinting);
    return true;
}

QString useHangulFont(QApplication& app) {
    QFont font;
    if (!hangulFont(font)) return QString();
    app.setFont(font);
    return font.family();
}

}  // namespace verdanel::gui
