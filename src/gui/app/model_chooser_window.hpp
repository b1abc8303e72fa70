#pragma once
// The program's main window: a picture, one button per model, Quit, and the
// About entry. Leaving it by Quit or by its close box compacts the store
// under a busy message first; Escape leaves at once.
#include <QDialog>
#include <functional>

#include "core/common/model_kind.hpp"

class QAction;
class QLabel;
class QPushButton;

namespace verdanel::gui {

class ModelChooserWindow : public QDialog {
    Q_OBJECT

public:
    using Action = std::function<void()>;

    explicit ModelChooserWindow(QWidget* parent = nullptr);

    // Runs while the program ends (Quit, close box), under the busy window.
    // What Quit does to the store: `due` tells whether there is work (only then
    // the busy window shows), `compaction` does it.
    void setCompaction(std::function<bool()> due, Action compaction) {
        compactionDue_ = std::move(due);
        compaction_ = std::move(compaction);
    }
    // Opens the model's result window (modally); nothing happens until set.
    void setModelOpener(ModelKind kind, Action open);

    QPushButton* modelButton(ModelKind kind) const;
    QPushButton* quitButton() const { return quit_; }
    QPushButton* aboutButton() const { return about_; }
    QAction* aboutAction() const { return aboutAction_; }
    QLabel* picture() const { return picture_; }

public slots:
    // Shows the About box modally over this window.
    void showAbout();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Busy message, wait cursor, compaction, cursor back, busy message away.
    void endProgram();
    void openModel(ModelKind kind);
    QPushButton* addButton(const char* caption, const char* name, int x, int y);

    QLabel* picture_ = nullptr;
    QPushButton* stream_ = nullptr;
    QPushButton* ditch_ = nullptr;
    QPushButton* pond_ = nullptr;
    QPushButton* quit_ = nullptr;
    QPushButton* about_ = nullptr;
    QAction* aboutAction_ = nullptr;
    std::function<bool()> compactionDue_;
    Action compaction_;
    Action openStream_;
    Action openDitch_;
    Action openPond_;
    bool ending_ = false;
};

}  // namespace verdanel::gui
