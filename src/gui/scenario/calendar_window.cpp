#include "gui/scenario/calendar_window.hpp"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/common/messages.hpp"
#include "gui/common/korean_interface.hpp"
#include "gui/scenario/scenario_texts.hpp"

namespace verdanel::gui {

CalendarWindow::CalendarWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("calendarWindow"));
    setWindowTitle(QString::fromUtf8(scenario_text::kCalendarTitle));

    calendar_ = new QCalendarWidget(this);
    calendar_->setObjectName(QStringLiteral("sprayCalendar"));
    calendar_->setGridVisible(true);
    // Korean month and day names, whatever locale the program runs in.
    calendar_->setLocale(koreanLocale());
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);

    ok_ = new QPushButton(QString::fromUtf8(msg::kOk), this);
    ok_->setObjectName(QStringLiteral("calendarOk"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QString::fromUtf8(msg::kCancel), this);
    cancel_->setObjectName(QStringLiteral("calendarCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(calendar_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    // A double click on a day is a quick "확인".
    connect(calendar_, &QCalendarWidget::activated, this, &QDialog::accept);
}

QDate CalendarWindow::selectedDate() const { return calendar_->selectedDate(); }

void CalendarWindow::setSelectedDate(const QDate& date) { calendar_->setSelectedDate(date); }

}  // namespace verdanel::gui
