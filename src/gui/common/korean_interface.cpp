#include "gui/common/korean_interface.hpp"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace verdanel::gui {

QLocale koreanLocale() { return QLocale(QLocale::Korean, QLocale::SouthKorea); }

QString qtTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

bool useKoreanInterface(QCoreApplication& app, const QString& folder) {
    QLocale::setDefault(koreanLocale());
    // Owned by the application, so it lives as long as the windows that use it.
    auto* translator = new QTranslator(&app);
    const QString from = folder.isEmpty() ? qtTranslationsFolder() : folder;
    if (!translator->load(koreanLocale(), QStringLiteral("qtbase"), QStringLiteral("_"), from)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace verdanel::gui
