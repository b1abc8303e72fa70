#include "gui/app/startup.hpp"

#include "core/app/connection_settings.hpp"
#include "core/app/instance_lock.hpp"
#include "core/app/store_compaction.hpp"
#include "core/common/messages.hpp"
#include "core/common/prompter.hpp"
#include "core/store/store_connection.hpp"
#include "gui/app/model_chooser_window.hpp"
#include "gui/common/qt_prompter.hpp"
#include "gui/results/result_window.hpp"

namespace verdanel::gui {

int runStartup(Prompter& prompter, const std::string& baseFolder, const ChooserRunner& runChooser,
               const std::string& lockFolder) {
    InstanceLock lock;
    if (lock.acquire(kRunLockName, lockFolder) == InstanceLock::Outcome::AlreadyRunning) {
        prompter.inform(msg::kAlreadyRunning, msg::kProgramTitle, PromptIcon::Warning);
        return kExitAlreadyRunning;
    }

    StoreConnection connection;
    if (!connection.open(buildConnectionText(baseFolder), prompter)) {
        prompter.inform(msg::kConnectionFailed, msg::kProgramTitle, PromptIcon::Error);
        return kExitNoStore;
    }
    return runChooser ? runChooser(connection, baseFolder, prompter) : kExitNormal;
}

int runModelChooser(StoreConnection& connection, const std::string& baseFolder, Prompter& prompter) {
    ModelChooserWindow window;
    // Messages of the compaction stand over the chooser.
    auto* qtPrompter = dynamic_cast<QtPrompter*>(&prompter);
    QWidget* previousParent = qtPrompter ? qtPrompter->parent() : nullptr;
    if (qtPrompter) qtPrompter->setParent(&window);

    window.setCompaction([&connection] { return compactionDue(connection); },
                         [&connection, &prompter, baseFolder] {
                             compactStore(connection, buildConnectionText(baseFolder), prompter);
                         });
    // Each press opens a fresh result window, modal over the chooser, whose
    // messages stand over it while it is open.
    for (ModelKind kind : {ModelKind::Stream, ModelKind::Ditch, ModelKind::Pond}) {
        window.setModelOpener(kind, [&window, &connection, &prompter, qtPrompter, baseFolder, kind] {
            ResultWindow results(kind, connection, prompter, baseFolder, &window);
            if (qtPrompter) qtPrompter->setParent(&results);
            results.exec();
            if (qtPrompter) qtPrompter->setParent(&window);
        });
    }
    window.exec();

    if (qtPrompter) qtPrompter->setParent(previousParent);
    return kExitNormal;
}

}  // namespace verdanel::gui
