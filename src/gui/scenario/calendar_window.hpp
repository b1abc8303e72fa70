#pragma once
// The small window "추가..." opens over the scenario window: a month
// calendar with "확인" and "취소". The spray date it gives is the chosen day.
#include <QDate>
#include <QDialog>

class QCalendarWidget;
class QPushButton;

namespace verdanel::gui {

class CalendarWindow : public QDialog {
    Q_OBJECT

public:
    explicit CalendarWindow(QWidget* parent = nullptr);

    QDate selectedDate() const;
    void setSelectedDate(const QDate& date);

    QCalendarWidget* calendar() const { return calendar_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    QCalendarWidget* calendar_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace verdanel::gui
