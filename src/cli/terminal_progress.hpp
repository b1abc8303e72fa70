#pragma once
#include "core/common/prompter.hpp"

namespace verdanel::cli {

// A progress bar on stderr, drawn only when stderr is a terminal. The bar
// owns its line: finish() completes it at 100 % and ends the line, and a
// message written while a bar is drawn starts on a line of its own.
class TerminalProgress final : public ProgressSink {
public:
    TerminalProgress();
    ~TerminalProgress() override;
    void progress(int percent) override;
    // Draws 100 % when the work completed, then ends the bar's line.
    void finish(bool completed);

    // Ends the line of the bar that is drawn, if any, before other output.
    static void breakLine();

private:
    void draw(int percent);
    bool enabled_;
    int shown_ = -1;
};

}  // namespace verdanel::cli
