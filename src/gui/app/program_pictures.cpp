#include "gui/app/program_pictures.hpp"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

#include "gui/resources/gui_resources.hpp"

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

QString useHangulFont(QApplication& app) {
    const QStringList families = QFontDatabase::families(QFontDatabase::Korean);
    for (const QString& wanted : {QStringLiteral("NanumGothic"), QStringLiteral("NanumBarunGothic"),
                                 QStringLiteral("Noto Sans CJK KR"), QStringLiteral("UnDotum")}) {
        if (families.contains(wanted, Qt::CaseInsensitive)) {
            QFont font(wanted);
            font.setPointSize(9);
            // Hinted at this size the full stop draws like a comma ("7,5").
            font.setHintingPreference(QFont::PreferNoHinting);
            app.setFont(font);
            return wanted;
        }
    }
    // Some other font with Hangul is better than boxes.
    if (!families.isEmpty() && !families.contains(app.font().family(), Qt::CaseInsensitive)) {
        QFont font(families.first());
        font.setPointSize(9);
        app.setFont(font);
        return families.first();
    }
    return QString();
}

}  // namespace verdanel::gui
