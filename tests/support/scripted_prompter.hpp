#pragma once
// A prompter for tests: records every text shown and answers questions from
// a queue of preset answers (Cancel when the queue is empty).
#include <deque>
#include <string>
#include <vector>

#include "core/common/prompter.hpp"

namespace verdanel::testing {

struct PromptRecord {
    std::string text;
    std::string caption;
    bool question = false;
};

class ScriptedPrompter final : public Prompter {
public:
    void inform(const std::string& text, const std::string& caption, PromptIcon) override {
        shown.push_back({text, caption, false});
    }
    bool confirm(const std::string& text, const std::string& caption) override {
        shown.push_back({text, caption, true});
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void setNextAnswer(bool ok) { answers.push_back(ok); }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& r : shown) t.push_back(r.text);
        return t;
    }
    std::vector<PromptRecord> shown;
    std::deque<bool> answers;
};

}  // namespace verdanel::testing
