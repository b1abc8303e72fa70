#pragma once
// The program's start-up: one running copy, the store opened from
// INI/CONNECTION.INI below the base folder, then the main window until the
// user leaves it.
#include <functional>
#include <string>

namespace verdanel {
class Prompter;
class StoreConnection;
}  // namespace verdanel

namespace verdanel::gui {

// Exit codes of the program.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitAlreadyRunning = 1;
inline constexpr int kExitNoStore = 2;

// Runs the main window once the store is open; returns the exit code.
using ChooserRunner =
    std::function<int(StoreConnection& connection, const std::string& baseFolder, Prompter& prompter)>;

// In order: take the single-instance lock (refused: "Verdanel 이미 실행중입니다."),
// build the connection text from the base folder, open the store (failed:
// the store's own message, then "DB Server Connection Faild"), run the main
// window. The lock is held until this returns. lockFolder: where the lock
// lives ("" for the system's temporary folder).
int runStartup(Prompter& prompter, const std::string& baseFolder, const ChooserRunner& runChooser,
               const std::string& lockFolder = {});

// The model chooser, modal, compacting the store when the user quits.
int runModelChooser(StoreConnection& connection, const std::string& baseFolder, Prompter& prompter);

}  // namespace verdanel::gui
