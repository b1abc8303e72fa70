// The desktop program: refuses a second copy, opens the store and runs the
// model chooser until the user leaves it.
#include <QApplication>

#include "core/common/base_folder.hpp"
#include "gui/app/program_pictures.hpp"
#include "gui/app/qt_prompter.hpp"
#include "gui/app/startup.hpp"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verdanel"));
    QApplication::setWindowIcon(verdanel::gui::programIcon());
    verdanel::gui::useHangulFont(app);

    verdanel::gui::QtPrompter prompter;
    return verdanel::gui::runStartup(prompter, verdanel::applicationBaseFolder(), verdanel::gui::runModelChooser);
}
