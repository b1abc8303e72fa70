#include "cli/terminal_prompter.hpp"

#include <iostream>

#include "cli/terminal_progress.hpp"

namespace verdanel::cli {

void TerminalPrompter::inform(const std::string& text, const std::string&, PromptIcon) {
    TerminalProgress::breakLine();
    std::cerr << text;
    if (text.empty() || text.back() != '\n') std::cerr << '\n';
}

bool TerminalPrompter::confirm(const std::string& text, const std::string&) {
    TerminalProgress::breakLine();
    std::cerr << text << (answer_ ? " -> OK\n" : " -> Cancel\n");
    return answer_;
}

}  // namespace verdanel::cli
