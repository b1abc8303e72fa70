#include "cli/terminal_prompter.hpp"

#include <iostream>

namespace verdanel::cli {

void TerminalPrompter::inform(const std::string& text, const std::string&, PromptIcon) {
    std::cerr << text;
    if (text.empty() || text.back() != '\n') std::cerr << '\n';
}

bool TerminalPrompter::confirm(const std::string& text, const std::string&) {
    std::cerr << text << (answer_ ? " -> OK\n" : " -> Cancel\n");
    return answer_;
}

}  // namespace verdanel::cli
