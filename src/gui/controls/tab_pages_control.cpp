#include "gui/controls/tab_pages_control.hpp"

#include <QCursor>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace verdanel::gui {

// The row of tabs. It draws the titles in their colours and keeps the hot
// tab: a mouse move starts the hover timer; the tab drawn under the mouse
// becomes hot; the timer clears it once the mouse has left.
class TabTitleBar : public QTabBar {
public:
    explicit TabTitleBar(QWidget* parent) : QTabBar(parent) {
        setObjectName(QStringLiteral("tabTitleBar"));
        setDrawBase(false);
        setExpanding(false);
        setUsesScrollButtons(false);
        setElideMode(Qt::ElideNone);
        setMouseTracking(true);
        hover_.setInterval(TabPagesControl::kHoverIntervalMs);
        connect(&hover_, &QTimer::timeout, this, [this] { hoverTick(); });
    }

    std::optional<QColor> normal;
    std::optional<QColor> selected;
    std::optional<QColor> hot;

    int hotTab() const { return hot_; }
    bool tracking() const { return tracking_; }

    QColor titleColor(int index) const {
        const QColor buttonText = palette().color(QPalette::ButtonText);
        if (index == currentIndex()) return selected.value_or(buttonText);
        if (hot && index == hot_) return *hot;
        return normal.value_or(buttonText);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QStylePainter p(this);
        const QPoint cursor = mapFromGlobal(QCursor::pos());
        const int current = currentIndex();
        for (int i = 0; i < count(); ++i) {
            if (i == hot_ || !tabRect(i).contains(cursor)) continue;
            hot_ = i;
            // Found while drawing a neighbour: its own title needs drawing too.
            if (event->region().intersected(tabRect(i)) != QRegion(tabRect(i))) update(tabRect(i));
        }
        // Also when no move over the bar brought the mouse here (the window
        // opened under it): the timer notices when it leaves.
        if (hot && hot_ >= 0 && !hover_.isActive()) {
            tracking_ = true;
            hover_.start();
        }
        // The current tab last: its shape overlaps its neighbours'.
        for (int i = 0; i < count(); ++i)
            if (i != current) drawTab(p, i);
        if (current >= 0) drawTab(p, current);
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        QTabBar::mouseMoveEvent(event);
        if (!hot) return;
        hover_.start();
        const QPoint pos = event->position().toPoint();
        if (hot_ >= 0 && !tabRect(hot_).contains(pos)) {
            const QRect left = tabRect(hot_);
            hot_ = -1;
            update(left);
            return;
        }
        if (!tracking_) {
            tracking_ = true;
            if (const int under = tabAt(pos); under >= 0 && isTabEnabled(under)) update(tabRect(under));
        }
    }

private:
    void drawTab(QStylePainter& p, int index) {
        QStyleOptionTab option;
        initStyleOption(&option, index);
        p.drawControl(QStyle::CE_TabBarTabShape, option);
        p.setPen(titleColor(index));
        p.drawText(tabRect(index), Qt::AlignCenter | Qt::TextSingleLine, tabText(index));
    }

    void hoverTick() {
        if (hot_ >= 0 && tabRect(hot_).contains(mapFromGlobal(QCursor::pos()))) return;
        hover_.stop();
        tracking_ = false;
        if (hot_ >= 0) {
            const QRect left = tabRect(hot_);
            hot_ = -1;
            update(left);
        }
    }

    QTimer hover_;
    int hot_ = -1;
    bool tracking_ = false;
};

TabPagesControl::TabPagesControl(QWidget* parent) : QWidget(parent), bar_(new TabTitleBar(this)) {
    setObjectName(QStringLiteral("tabPagesControl"));
    connect(bar_, &QTabBar::currentChanged, this, &TabPagesControl::tabChanged);
    layoutBar();
}

TabPagesControl::~TabPagesControl() {
    bar_->blockSignals(true);
    for (int i = count() - 1; i >= 0; --i) {
        QPointer<QWidget> page = pages_[static_cast<size_t>(i)];
        bar_->removeTab(i);
        pages_.pop_back();
        delete page.data();
    }
}

int TabPagesControl::addPage(QWidget* page, const QString& title) {
    adding_ = true;
    const int index = bar_->addTab(title);
    adding_ = false;
    pages_.emplace_back(page);
    if (page) {
        page->setParent(this);
        page->move(kPageOrigin);
        page->show();
    }
    bar_->setTabEnabled(index, true);
    if (previous_ < 0) previous_ = bar_->currentIndex();
    layoutBar();
    layoutPages();
    return index;
}

void TabPagesControl::selectPage(int index) {
    if (index < 0 || index >= count()) return;
    if (index == currentIndex()) {
        if (QWidget* p = page(index)) {
            p->show();
            p->setFocus(Qt::OtherFocusReason);
        }
        previous_ = index;
        return;
    }
    bar_->setCurrentIndex(index);  // tabChanged() swaps the pages
}

void TabPagesControl::tabChanged(int index) {
    if (adding_) return;  // the first tab added becomes current; every page added stays shown
    if (previous_ >= 0 && previous_ != index)
        if (QWidget* p = page(previous_)) p->hide();
    previous_ = index;
    if (QWidget* p = page(index)) {
        p->show();
        p->setFocus(Qt::TabFocusReason);
    }
    emit currentChanged(index);
}

int TabPagesControl::count() const { return bar_->count(); }

int TabPagesControl::currentIndex() const { return bar_->currentIndex(); }

QWidget* TabPagesControl::page(int index) const {
    if (index < 0 || index >= static_cast<int>(pages_.size())) return nullptr;
    return pages_[static_cast<size_t>(index)].data();
}

QTabBar* TabPagesControl::tabBar() const { return bar_; }

QRect TabPagesControl::pageGeometry() const {
    return QRect(kPageOrigin, QSize(width() - kPageWidthLess, height() - kPageHeightLess));
}

QColor TabPagesControl::normalTextColor() const {
    return bar_->normal.value_or(bar_->palette().color(QPalette::ButtonText));
}

void TabPagesControl::setNormalTextColor(const QColor& color) {
    bar_->normal = color;
    bar_->update();
}

QColor TabPagesControl::selectedTextColor() const {
    return bar_->selected.value_or(bar_->palette().color(QPalette::ButtonText));
}

void TabPagesControl::setSelectedTextColor(const QColor& color) {
    bar_->selected = color;
    bar_->update();
}

QColor TabPagesControl::hotTextColor() const { return bar_->hot.value_or(QColor()); }

void TabPagesControl::setHotTextColor(const QColor& color) {
    bar_->hot = color;
    bar_->update();
}

bool TabPagesControl::isHotTracking() const { return bar_->hot.has_value(); }

int TabPagesControl::hotTab() const { return bar_->hotTab(); }

QColor TabPagesControl::titleColor(int index) const { return bar_->titleColor(index); }

void TabPagesControl::layoutBar() {
    const int height = std::min(bar_->sizeHint().height(), kPageOrigin.y() - 4);
    bar_->setGeometry(2, 0, std::max(0, width() - 4), height);
}

void TabPagesControl::layoutPages() {
    const QRect area = pageGeometry();
    for (const QPointer<QWidget>& p : pages_)
        if (p) p->setGeometry(area);
}

void TabPagesControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutBar();
    layoutPages();
}

void TabPagesControl::paintEvent(QPaintEvent*) {
    // The raised panel under the tabs that holds the pages.
    QStylePainter p(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = bar_->sizeHint();
    frame.tabBarRect = bar_->geometry();
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    frame.rect = rect().adjusted(0, bar_->geometry().bottom() + 1 - overlap, 0, 0);
    p.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

}  // namespace verdanel::gui
