#pragma once
// How an operation talks to the person using it, without knowing whether
// that is a window, a terminal or a test.
#include <string>

namespace verdanel {

enum class PromptIcon { Information, Warning, Error, Question };

class Prompter {
public:
    virtual ~Prompter() = default;
    // A message with an OK button.
    virtual void inform(const std::string& text, const std::string& caption, PromptIcon icon) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool confirm(const std::string& text, const std::string& caption) = 0;
};

// Long work reports how far it is, in percent.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void progress(int percent) = 0;
    // Asked now and then; true stops the work (its window was closed).
    virtual bool abandoned() { return false; }
};

class SilentProgress final : public ProgressSink {
public:
    void progress(int) override {}
};

}  // namespace verdanel
