#include "cli/terminal_progress.hpp"

#include <cstdio>
#include <string>

#include "core/common/platform.hpp"

namespace verdanel::cli {

namespace {
// The bar whose line is open on stderr (at most one at a time).
TerminalProgress* openBar = nullptr;
}  // namespace

TerminalProgress::TerminalProgress() : enabled_(platform::stderrIsTerminal()) {}

TerminalProgress::~TerminalProgress() { finish(false); }

void TerminalProgress::progress(int percent) {
    if (!enabled_ || percent == shown_) return;
    draw(percent);
}

void TerminalProgress::draw(int percent) {
    shown_ = percent;
    const int width = 40;
    const int filled = percent * width / 100;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(width, '-');
    std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(stderr);
    openBar = this;
}

void TerminalProgress::finish(bool completed) {
    if (!enabled_ || shown_ < 0) return;
    if (completed && shown_ != 100) draw(100);
    breakLine();
}

void TerminalProgress::breakLine() {
    if (!openBar) return;
    std::fputs("\n", stderr);
    std::fflush(stderr);
    openBar->shown_ = -1;
    openBar = nullptr;
}

}  // namespace verdanel::cli
