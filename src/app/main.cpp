// The desktop program: refuses a second copy, opens the store and runs the
// model chooser until the user leaves it.
#include <QApplication>
#include <QDebug>

#include "core/common/base_folder.hpp"
#include "gui/common/korean_interface.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/common/qt_prompter.hpp"
#include "gui/app/startup.hpp"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verdanel"));
    QApplication::setWindowIcon(verdanel::gui::programIcon());
    verdanel::gui::useHangulFont(app);
    // Qt's own dialogs in Korean; without the translation they stay in English.
    if (!verdanel::gui::useKoreanInterface(app))
        qInfo("Qt's Korean translation (qtbase_ko.qm) is not in %s; Qt's own dialogs stay in English.",
              qPrintable(verdanel::gui::qtTranslationsFolder()));

    verdanel::gui::QtPrompter prompter;
    return verdanel::gui::runStartup(prompter, verdanel::applicationBaseFolder(), verdanel::gui::runModelChooser);
}
