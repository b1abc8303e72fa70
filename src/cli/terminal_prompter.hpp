#pragma once
#include "core/common/prompter.hpp"

namespace verdanel::cli {

// Messages go to stderr; questions are answered by the command's flags.
class TerminalPrompter final : public Prompter {
public:
    explicit TerminalPrompter(bool answer = false) : answer_(answer) {}
    void inform(const std::string& text, const std::string& caption, PromptIcon icon) override;
    bool confirm(const std::string& text, const std::string& caption) override;

private:
    bool answer_;
};

}  // namespace verdanel::cli
