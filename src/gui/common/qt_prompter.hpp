#pragma once
// Message boxes for the core's questions and messages, and a progress sink
// that moves a progress bar while long work runs on the interface thread.
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>
#include <QWidget>

#include "core/common/prompter.hpp"


namespace verdanel::gui {

class QtPrompter final : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}

    // The window the message boxes stand over (none: centred on the screen).
    void setParent(QWidget* parent) { parent_ = parent; }
    QWidget* parent() const { return parent_; }

    // Both show the text as plain text, whole: a long run without spaces
    // (a long chemical name) is wrapped at any character.
    // OK only.
    void inform(const std::string& text, const std::string& caption, PromptIcon icon) override;
    // OK and Cancel; true for OK. Closing the box counts as Cancel.
    bool confirm(const std::string& text, const std::string& caption) override;

private:
    QPointer<QWidget> parent_;
};

class QtProgressSink final : public ProgressSink {
public:
    // The bar runs from 0 to 100.
    explicit QtProgressSink(QProgressBar* bar);

    // Moves the bar; lets the windows repaint and react at most every ~30 ms.
    void progress(int percent) override;
    // True once abandon() was called or the bar's window has gone.
    bool abandoned() override;

    void abandon() { abandoned_ = true; }

    static constexpr int kEventIntervalMs = 30;

private:
    QPointer<QProgressBar> bar_;
    bool hadBar_ = false;
    QElapsedTimer sinceEvents_;
    int shown_ = -1;
    bool abandoned_ = false;
};

}  // namespace verdanel::gui
