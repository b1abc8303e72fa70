// The desktop program: refuses a second copy, opens the store and runs the
// model chooser until the user leaves it.
#include <QApplication>
#include <QDebug>
#include <QFile>

#include <cstdlib>

#include "core/app/base_folder_setup.hpp"
#include "core/common/base_folder.hpp"
#include "core/common/messages.hpp"
#include "core/common/platform.hpp"
#include "gui/common/korean_interface.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/common/qt_prompter.hpp"
#include "gui/app/startup.hpp"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verdanel"));
    QApplication::setDesktopFileName(QStringLiteral(VERDANEL_APP_ID));
    QApplication::setWindowIcon(verdanel::gui::programIcon());
    verdanel::gui::useHangulFont(app);
    // Qt's own dialogs in Korean; without the translation they stay in English.
    if (!verdanel::gui::useKoreanInterface(app))
        qInfo("Qt's Korean translation (qtbase_ko.qm) is not in %s; Qt's own dialogs stay in English.",
              qPrintable(verdanel::gui::qtTranslationsFolder()));

    // "--base DIR" (or VERDANEL_BASE) works in DIR, made from the program's
    // own files on its first start; by default the program's own folder.
    const QStringList args = QApplication::arguments();
    std::string baseOption;
    if (const qsizetype at = args.indexOf(QString::fromLatin1(verdanel::kBaseFolderOption)); at > 0) {
        if (at + 1 >= args.size() || args[at + 1].isEmpty()) {
            qWarning("usage: verdanel [--base DIR]");
            return 2;
        }
        baseOption = args[at + 1].toStdString();
    }

    verdanel::gui::QtPrompter prompter;
    const std::string variable = verdanel::platform::environmentVariable(verdanel::kBaseFolderVariable);
    const verdanel::BaseFolderOutcome base =
        verdanel::startBaseFolder(baseOption, variable.c_str(), verdanel::applicationBaseFolder());
    if (!base.ok) {
        prompter.inform(base.error, verdanel::msg::kProgramTitle, verdanel::PromptIcon::Error);
        return verdanel::gui::kExitNoStore;
    }
    return verdanel::gui::runStartup(prompter, base.folder, verdanel::gui::runModelChooser);
}
