#pragma once
// The add material window ("물질 추가"): one name field, OK and Cancel. OK
// hands the name to the core, which refuses an empty name or one already in
// the chemical table (the window then stays open) and otherwise stores it.
// Cancel closes without touching the store.
#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace verdanel {
class Prompter;
class StoreConnection;
}  // namespace verdanel

namespace verdanel::gui {

class AddMaterialWindow : public QDialog {
    Q_OBJECT
public:
    AddMaterialWindow(StoreConnection& connection, Prompter& prompter, QWidget* parent = nullptr);

    // The name as typed: no trimming.
    QString name() const;

public slots:
    // Closes with OK only when the core took the name.
    void accept() override;

private:
    StoreConnection& connection_;
    Prompter& prompter_;
    QLineEdit* name_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace verdanel::gui
