#include "gui/common/qt_prompter.hpp"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QWidget>

#include "core/common/messages.hpp"

namespace verdanel::gui {

namespace {

// A run of this many characters without a space can no longer be wrapped
// at a word; the message box would cut it off at its right edge.
constexpr qsizetype kLongestUnbrokenRun = 32;

// The message as shown: a long run without spaces (a chemical name of
// hundreds of letters, a deep path) gets a break opportunity (an invisible
// zero-width space) after each character, so the box wraps it and shows
// it whole instead of cutting it off.
QString wrappable(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    qsizetype runStart = 0;
    auto endRun = [&](qsizetype end) {
        const QStringView run = QStringView(text).mid(runStart, end - runStart);
        if (run.size() <= kLongestUnbrokenRun) {
            shown += run;
            return;
        }
        for (qsizetype i = 0; i < run.size(); ++i) {
            shown += run[i];
            if (!run[i].isHighSurrogate() && i + 1 < run.size()) shown += QChar(0x200B);
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isSpace()) {
            endRun(i);
            shown += text[i];
            runStart = i + 1;
        }
    }
    endRun(text.size());
    return shown;
}

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
    QMessageBox box(boxIcon(icon), QString::fromStdString(caption), wrappable(QString::fromStdString(text)),
                    QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);  // a name with "<b>" in it is just a name
    box.button(QMessageBox::Ok)->setText(QString::fromUtf8(msg::kOk));
    box.exec();
}

bool QtPrompter::confirm(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), wrappable(QString::fromStdString(text)),
                    QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setTextFormat(Qt::PlainText);
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
