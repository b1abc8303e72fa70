#pragma once
#include <chrono>

#include "core/common/prompter.hpp"

namespace verdanel::cli {

// A progress bar on stderr, drawn only when stderr is a terminal.
class TerminalProgress final : public ProgressSink {
public:
    TerminalProgress();
    ~TerminalProgress() override;
    void progress(int percent) override;

private:
    bool enabled_;
    int shown_ = -1;
};

}  // namespace verdanel::cli
