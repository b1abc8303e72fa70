#pragma once
// The benchmarks' Prompter: every message and question goes to the error
// stream (a figure taken while the program complained is no figure), and
// questions get the answer the benchmark chose.
#include <cstdio>
#include <string>

#include "core/common/prompter.hpp"

class PrintingPrompter final : public verdanel::Prompter {
public:
    explicit PrintingPrompter(bool answer = false) : answer_(answer) {}
    void inform(const std::string& text, const std::string&, verdanel::PromptIcon) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        ++messages;
    }
    bool confirm(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "question: %s\n", text.c_str());
        return answer_;
    }
    int messages = 0;

private:
    bool answer_;
};
