#include "gui/app/qt_prompter.hpp"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QWidget>

#include "core/common/messages.hpp"

namespace verdanel::gui {

namespace {
QMessageBox::Icon boxIcon(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information: return QMessageBox::Information;
        case PromptIcon::Warning: return QMessageBox::Warning;
        case PromptIcon::Error: return QMessageBox::Critical;
        case PromptIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

void QtPrompter::inform(const std::string& text, const std::string& caption, PromptIcon icon) {
    QMessageBox box(boxIcon(icon), QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                    parent_);
    box.button(QMessageBox::Ok)->setText(QString::fromUtf8(msg::kOk));
    box.exec();
}

bool QtPrompter::confirm(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.button(QMessageBox::Ok)->setText(QString::fromUtf8(msg::kOk));
    box.button(QMessageBox::Cancel)->setText(QString::fromUtf8(msg::kCancel));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

QtProgressSink::QtProgressSink(QProgressBar* bar) : bar_(bar), hadBar_(bar != nullptr) {
    if (bar_) bar_->setRange(0, 100);
}

void QtProgressSink::progress(int percent) {
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    if (bar_ && percent != shown_) {
        bar_->setValue(percent);
        shown_ = percent;
    }
    // The first call gives the event loop a turn at once; after that only
    // when ~30 ms have passed, so fast work is not slowed by the windows.
    if (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= kEventIntervalMs) {
        QCoreApplication::processEvents();
        sinceEvents_.start();
    }
}

bool QtProgressSink::abandoned() { return abandoned_ || (hadBar_ && bar_.isNull()); }

}  // namespace verdanel::gui
