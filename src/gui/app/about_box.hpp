#pragma once
// "Verdanel 정보": the program icon, its name and version, and an OK button.
#include <QDialog>

class QLabel;
class QPushButton;

namespace verdanel::gui {

class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);

    QLabel* iconLabel() const { return icon_; }
    QLabel* versionLabel() const { return version_; }
    QLabel* secondLineLabel() const { return secondLine_; }
    QPushButton* okButton() const { return ok_; }

private:
    QLabel* icon_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* secondLine_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace verdanel::gui
