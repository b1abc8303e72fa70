#include "gui/controls/busy_message_window.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

#include "gui/controls/transparent_static.hpp"
#include "gui/resources/gui_resources.hpp"

namespace verdanel::gui {

// The window itself: its picture, a thin dark border and the text control.
class BusyMessagePopup final : public QFrame {
public:
    explicit BusyMessagePopup(QWidget* parent)
        : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint),
          background_(QStringLiteral(":/verdanel/busy_background.png")) {
        setObjectName(QString::fromLatin1(BusyMessageWindow::kWindowName));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
        QPalette p = palette();
        p.setColor(QPalette::WindowText, QColor(0x14, 0x41, 0x2a));
        setPalette(p);
        setFixedSize(BusyMessageWindow::kDesignedSize);

        text_ = new CTransparentStatic(this);
        text_->setObjectName(QString::fromLatin1(BusyMessageWindow::kTextName));
        text_->setProperty("controlId", BusyMessageWindow::kTextControlId);
        text_->setAlignment(Qt::AlignCenter);
        text_->setTextColor(Qt::white);
        const int h = text_->fontMetrics().height() + 4;
        text_->setGeometry(BusyMessageWindow::kTextMargin / 2, (height() - h) / 2,
                           width() - BusyMessageWindow::kTextMargin, h);
    }

    CTransparentStatic* text() const { return text_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int pw = background_.width();
        if (width() <= pw) {
            p.drawPixmap(0, 0, background_);
        } else {
            // A widened window keeps both ends of the picture and stretches
            // a plain strip from its middle in between.
            const int left = pw / 2;
            const int right = pw - left - 1;
            const int h = background_.height();
            p.drawPixmap(QPoint(0, 0), background_, QRect(0, 0, left, h));
            p.drawPixmap(QRect(left, 0, width() - left - right, h), background_, QRect(left, 0, 1, h));
            p.drawPixmap(QPoint(width() - right, 0), background_, QRect(pw - right, 0, right, h));
        }
        drawFrame(&p);
    }

private:
    QPixmap background_;
    CTransparentStatic* text_ = nullptr;
};

BusyMessageWindow::~BusyMessageWindow() { close(); }

QWidget* BusyMessageWindow::window() const { return popup_.data(); }

CTransparentStatic* BusyMessageWindow::textControl() const { return popup_ ? popup_->text() : nullptr; }

void BusyMessageWindow::open(QWidget* owner, const QString& text) {
    close();
    registerResources();
    QWidget* ownerWindow = owner ? owner->window() : nullptr;
    owner_ = ownerWindow;
    popup_ = new BusyMessagePopup(ownerWindow);
    BusyMessagePopup* popup = popup_.data();

    QScreen* screen = ownerWindow ? ownerWindow->screen() : QGuiApplication::primaryScreen();
    const QPoint ownerCentre =
        ownerWindow ? ownerWindow->frameGeometry().center() : screen->availableGeometry().center();
    popup->move(ownerCentre - QPoint(popup->width() / 2, popup->height() / 2));

    CTransparentStatic* label = popup->text();
    const int textWidth = label->fontMetrics().horizontalAdvance(text);
    if (popup->width() < textWidth + kTextMargin) {
        // The window widens to fit a long text and moves to the middle of the screen.
        const int clientHeight = popup->height();
        popup->setFixedSize(textWidth + kTextMargin, clientHeight);
        const QPoint screenCentre = screen->availableGeometry().center();
        popup->move(screenCentre - QPoint(popup->width() / 2, popup->height() / 2));
        const int h = label->height();
        label->setGeometry((popup->width() - textWidth) / 2, (clientHeight - h) / 2, textWidth, h);
    }
    label->setText(text);
    label->show();

    popup->show();
    // Painted now, not when the event loop next runs: the work that follows
    // keeps the loop busy. Wait briefly for the window system to map it.
    QElapsedTimer waited;
    waited.start();
    while (popup_ && popup->windowHandle() && !popup->windowHandle()->isExposed() && waited.elapsed() < 250) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    }
    if (popup_) {
        popup->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void BusyMessageWindow::close() {
    if (owner_) owner_->setEnabled(true);
    owner_.clear();
    if (popup_) {
        BusyMessagePopup* popup = popup_.data();
        popup_.clear();
        popup->hide();
        delete popup;
    }
}

}  // namespace verdanel::gui
