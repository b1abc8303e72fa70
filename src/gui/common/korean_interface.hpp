#pragma once
// Korean wherever the user looks, Qt's own windows included: the file and
// colour dialogs, the overwrite question and the calendars come from Qt, so
// their texts come from Qt's Korean translation and their month and day
// names from the Korean locale.
#include <QLocale>
#include <QString>

class QCoreApplication;

namespace verdanel::gui {

// Korean as written in South Korea.
QLocale koreanLocale();

// Where Qt's Korean translation of its own texts is looked for: Qt's
// translations folder ("qtbase_ko.qm", Debian package qt6-translations-l10n).
QString qtTranslationsFolder();

// Makes the Korean locale the default of every widget made afterwards and
// installs Qt's Korean translation from `folder` ("" for Qt's own folder).
// Returns false when the translation is not there: the program goes on
// with Qt's texts in English (the locale is Korean all the same).
bool useKoreanInterface(QCoreApplication& app, const QString& folder = QString());

}  // namespace verdanel::gui
