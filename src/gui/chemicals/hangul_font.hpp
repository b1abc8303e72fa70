#pragma once
// The chemical windows show Korean labels; when the application has not
// chosen a font that has Hangul, the window picks one for itself.
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <QWidget>

namespace verdanel::gui {

inline void ensureHangulFont(QWidget& window) {
    const QFont current = window.font();
    const QString resolved = QFontInfo(current).family();
    if (QFontDatabase::writingSystems(resolved).contains(QFontDatabase::Korean)) return;

    const QStringList families = QFontDatabase::families(QFontDatabase::Korean);
    if (families.isEmpty()) return;  // nothing better on this machine
    QString chosen = families.first();
    for (const QString& wanted : {QStringLiteral("NanumGothic"), QStringLiteral("NanumBarunGothic"),
                                 QStringLiteral("Noto Sans CJK KR"), QStringLiteral("UnDotum")}) {
        if (families.contains(wanted, Qt::CaseInsensitive)) {
            chosen = wanted;
            break;
        }
    }
    QFont font(chosen);
    font.setPointSize(current.pointSize() > 0 ? current.pointSize() : 9);
    font.setHintingPreference(QFont::PreferNoHinting);  // keeps "." from looking like ","
    window.setFont(font);
}

}  // namespace verdanel::gui
