#pragma once
// The material manager ("물질정보 관리"): lists, shows, edits, adds and
// deletes chemicals through the core's material manager operations.
#include <QDialog>
#include <QString>

namespace verdanel {
class Prompter;
class StoreConnection;
}  // namespace verdanel

namespace verdanel::gui {

class MaterialManagerWindow : public QDialog {
    Q_OBJECT
public:
    // initialName: the list entry to select at opening (first entry starting
    // with it, without regard to letter case); empty for none.
    MaterialManagerWindow(StoreConnection& connection, Prompter& prompter, const QString& initialName,
                          QWidget* parent = nullptr);
    ~MaterialManagerWindow() override;

private:
    struct Impl;
    Impl* impl_;
};

}  // namespace verdanel::gui
