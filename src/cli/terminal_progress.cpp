#include "cli/terminal_progress.hpp"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace verdanel::cli {

TerminalProgress::TerminalProgress() : enabled_(::isatty(STDERR_FILENO) != 0) {}

TerminalProgress::~TerminalProgress() {
    if (enabled_ && shown_ >= 0) std::fputs("\n", stderr);
}

void TerminalProgress::progress(int percent) {
    if (!enabled_ || percent == shown_) return;
    shown_ = percent;
    const int width = 40;
    const int filled = percent * width / 100;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(width, '-');
    std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(stderr);
}

}  // namespace verdanel::cli
