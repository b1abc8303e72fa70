#pragma once
// Tabs over a stack of page windows. Each tab owns one page; the pages sit
// at (6, 28) inside the control and are sized to its width - 11 and height
// - 33 whenever a page is added or the control is resized. A page is shown
// when it is added and stays shown until another tab is selected, so pages
// added one after the other are all visible until the first selection.
// Tab titles are drawn in three colours: selected, hot (under the mouse,
// once a hot colour is set) and normal. Pages are destroyed with the
// control.
//
//     auto* tabs = new TabPagesControl(this);
//     tabs->addPage(finalPage, tr("최종결과"));
//     tabs->addPage(detailPage, tr("상세결과"));
//     tabs->selectPage(1);
//     tabs->selectPage(0);  // only finalPage is visible now
#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <vector>

class QTabBar;

namespace verdanel::gui {

class TabTitleBar;

class TabPagesControl : public QWidget {
    Q_OBJECT

public:
    static constexpr QPoint kPageOrigin{6, 28};
    // The page is this much narrower and lower than the control.
    static constexpr int kPageWidthLess = 11;
    static constexpr int kPageHeightLess = 33;
    // Interval of the timer that notices the mouse leaving the hot tab.
    static constexpr int kHoverIntervalMs = 10;

    explicit TabPagesControl(QWidget* parent = nullptr);
    // Removes the tabs from the last to the first, destroying each page.
    ~TabPagesControl() override;

    // Appends a tab titled `title` owning `page` (which becomes a child of
    // the control), shows the page and sizes every page. Returns its index.
    int addPage(QWidget* page, const QString& title);
    // Makes `index` the current tab: hides the page shown for the previous
    // one, shows this tab's page and gives it the focus.
    void selectPage(int index);

    int count() const;
    int currentIndex() const;
    QWidget* page(int index) const;
    QTabBar* tabBar() const;
    // Where every page goes for the control's present size.
    QRect pageGeometry() const;

    // The button-text colour of the palette until set.
    QColor normalTextColor() const;
    void setNormalTextColor(const QColor& color);
    QColor selectedTextColor() const;
    void setSelectedTextColor(const QColor& color);
    // Setting it turns hot tracking on.
    QColor hotTextColor() const;
    void setHotTextColor(const QColor& color);
    bool isHotTracking() const;

    // The tab under the mouse as last drawn, -1 for none.
    int hotTab() const;
    // The colour the title of tab `index` is drawn in now: selected colour
    // for the current tab, else hot colour for the hot tab while hot
    // tracking is on, else the normal colour.
    QColor titleColor(int index) const;

signals:
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void tabChanged(int index);
    void layoutBar();
    void layoutPages();

    TabTitleBar* bar_ = nullptr;
    std::vector<QPointer<QWidget>> pages_;
    // The tab whose page was shown before the current one.
    int previous_ = -1;
    bool adding_ = false;
};

}  // namespace verdanel::gui
