// Tab pages control: which page is visible after adding and selecting,
// pages sized to the control, title colours (selected, hot under the mouse,
// normal) as chosen and as painted, and pages destroyed with the control.
#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

#include "gui/common/program_pictures.hpp"
#include "gui/controls/tab_pages_control.hpp"

using verdanel::gui::TabPagesControl;

namespace {

// The colours the result windows use, except a green normal colour that
// cannot be mistaken for the tab outlines.
const QColor kNormal(0, 160, 0);
const QColor kSelected(72, 129, 194);
const QColor kHot(230, 50, 0);

struct TwoPages {
    QWidget window;
    TabPagesControl* tabs = new TabPagesControl(&window);
    QWidget* final = new QWidget;
    QWidget* detail = new QWidget;

    TwoPages() {
        window.resize(460, 340);
        tabs->setGeometry(10, 10, 400, 300);
        tabs->addPage(final, QStringLiteral("최종결과"));
        tabs->addPage(detail, QStringLiteral("상세결과"));
        window.show();
    }
};

// Pixels of the tab drawn in `colour` over the tab's face: anti-aliased
// title pixels lie between the two, so a pixel counts when it is at least
// half way from the face towards `colour` and close to that line.
int pixelsNear(const QImage& image, const QRect& tab, const QColor& colour) {
    const QColor face = image.pixelColor(tab.left() + 4, tab.center().y());
    const double d[3] = {double(colour.red() - face.red()), double(colour.green() - face.green()),
                         double(colour.blue() - face.blue())};
    const double length2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    int n = 0;
    for (int y = tab.top(); y <= tab.bottom(); ++y) {
        for (int x = tab.left(); x <= tab.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const double v[3] = {double(c.red() - face.red()), double(c.green() - face.green()),
                                 double(c.blue() - face.blue())};
            const double along = (v[0] * d[0] + v[1] * d[1] + v[2] * d[2]) / length2;
            double off2 = 0;
            for (int k = 0; k < 3; ++k) off2 += (v[k] - along * d[k]) * (v[k] - along * d[k]);
            if (along >= 0.5 && along <= 1.1 && off2 <= 20.0 * 20.0) ++n;
        }
    }
    return n;
}

// The bar as it is on screen now, not a fresh rendering: a title left
// unrepainted shows here.
QImage barOnScreen(QWidget& window, TabPagesControl* tabs) {
    QCoreApplication::processEvents();
    const QImage shot = window.screen()->grabWindow(window.winId()).toImage();
    QTabBar* bar = tabs->tabBar();
    return shot.copy(QRect(bar->mapTo(&window, QPoint(0, 0)), bar->size()));
}

}  // namespace

class TabPagesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { verdanel::gui::useHangulFont(*qApp); }

    void addedPagesStayVisibleUntilOneIsSelected() {
        TwoPages t;
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        QCOMPARE(t.tabs->count(), 2);
        QCOMPARE(t.tabs->page(0), t.final);
        QCOMPARE(t.tabs->page(1), t.detail);
        QCOMPARE(t.final->parentWidget(), t.tabs);
        QCOMPARE(t.tabs->currentIndex(), 0);
        QVERIFY(t.final->isVisible());
        QVERIFY(t.detail->isVisible());

        // The result windows' opening sequence.
        QSignalSpy changed(t.tabs, &TabPagesControl::currentChanged);
        t.tabs->selectPage(1);
        QVERIFY(!t.final->isVisible());
        QVERIFY(t.detail->isVisible());
        t.tabs->selectPage(0);
        QVERIFY(t.final->isVisible());
        QVERIFY(!t.detail->isVisible());
        QCOMPARE(t.tabs->currentIndex(), 0);
        QCOMPARE(changed.count(), 2);

        // Selecting the current tab again changes nothing.
        t.tabs->selectPage(0);
        QVERIFY(t.final->isVisible());
        QVERIFY(!t.detail->isVisible());
        QCOMPARE(changed.count(), 2);

        // A click on a tab swaps the pages too.
        QTabBar* bar = t.tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QCOMPARE(t.tabs->currentIndex(), 1);
        QVERIFY(!t.final->isVisible());
        QVERIFY(t.detail->isVisible());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        QVERIFY(t.final->isVisible());
        QVERIFY(!t.detail->isVisible());
        QCOMPARE(changed.count(), 4);

        // The current page hides and shows with the control.
        t.tabs->hide();
        QVERIFY(!t.final->isVisible());
        t.tabs->show();
        QVERIFY(t.final->isVisible());
        QVERIFY(!t.detail->isVisible());
    }

    void pagesFollowTheControlsSize() {
        TwoPages t;
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        t.tabs->selectPage(0);
        QCOMPARE(t.final->geometry(), QRect(6, 28, 389, 267));
        QCOMPARE(t.detail->geometry(), QRect(6, 28, 389, 267));

        t.tabs->resize(250, 180);
        QCOMPARE(t.final->geometry(), QRect(6, 28, 239, 147));
        QCOMPARE(t.detail->geometry(), QRect(6, 28, 239, 147));  // hidden pages too

        auto* third = new QWidget;
        third->setGeometry(50, 60, 10, 10);
        t.tabs->addPage(third, QStringLiteral("세번째"));
        QCOMPARE(third->geometry(), QRect(6, 28, 239, 147));
        QVERIFY(third->isVisible());

        // The tabs stay above the pages.
        QVERIFY(t.tabs->tabBar()->geometry().bottom() < 28);
    }

    void titleColourFollowsSelectionAndHover() {
        TwoPages t;
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        t.tabs->selectPage(0);
        const QColor buttonText = t.tabs->tabBar()->palette().color(QPalette::ButtonText);
        QCOMPARE(t.tabs->titleColor(0), buttonText);
        QCOMPARE(t.tabs->titleColor(1), buttonText);
        QVERIFY(!t.tabs->isHotTracking());

        t.tabs->setNormalTextColor(kNormal);
        t.tabs->setSelectedTextColor(kSelected);
        QCOMPARE(t.tabs->titleColor(0), kSelected);
        QCOMPARE(t.tabs->titleColor(1), kNormal);

        // No hot colour yet: hovering changes nothing.
        QTabBar* bar = t.tabs->tabBar();
        QTest::mouseMove(bar, bar->tabRect(1).center());
        QCoreApplication::processEvents();
        QCOMPARE(t.tabs->titleColor(1), kNormal);

        t.tabs->setHotTextColor(kHot);
        QVERIFY(t.tabs->isHotTracking());
        QTest::mouseMove(bar, bar->tabRect(1).center() + QPoint(1, 0));
        QTRY_COMPARE(t.tabs->hotTab(), 1);
        QCOMPARE(t.tabs->titleColor(1), kHot);
        QCOMPARE(t.tabs->titleColor(0), kSelected);

        // Over the selected tab the selected colour wins.
        QTest::mouseMove(bar, bar->tabRect(0).center());
        QTRY_COMPARE(t.tabs->hotTab(), 0);
        QCOMPARE(t.tabs->titleColor(0), kSelected);
        QCOMPARE(t.tabs->titleColor(1), kNormal);
    }

    void titlesArePaintedInTheirColours() {
        TwoPages t;
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        // A third tab, so the mouse can go from one unselected tab to another.
        t.tabs->addPage(new QWidget, QStringLiteral("차트"));
        t.tabs->selectPage(1);
        t.tabs->selectPage(0);
        t.tabs->setNormalTextColor(kNormal);
        t.tabs->setSelectedTextColor(kSelected);
        t.tabs->setHotTextColor(kHot);
        QTabBar* bar = t.tabs->tabBar();
        const QRect first = bar->tabRect(0);
        const QRect second = bar->tabRect(1);
        const QRect third = bar->tabRect(2);
        QTest::mouseMove(t.tabs, QPoint(200, 150));
        QTRY_COMPARE(t.tabs->hotTab(), -1);

        QImage image = barOnScreen(t.window, t.tabs);
        QVERIFY(pixelsNear(image, first, kSelected) >= 5);
        QCOMPARE(pixelsNear(image, first, kNormal), 0);
        for (const QRect& tab : {second, third}) {
            QVERIFY(pixelsNear(image, tab, kNormal) >= 5);
            QCOMPARE(pixelsNear(image, tab, kSelected), 0);
            QCOMPARE(pixelsNear(image, tab, kHot), 0);
        }

        QTest::mouseMove(bar, second.center());
        QTRY_COMPARE(t.tabs->hotTab(), 1);
        image = barOnScreen(t.window, t.tabs);
        QVERIFY(pixelsNear(image, second, kHot) >= 5);
        QCOMPARE(pixelsNear(image, second, kNormal), 0);
        QVERIFY(pixelsNear(image, first, kSelected) >= 5);

        // Straight on to the next tab: the hot colour moves with the mouse.
        QTest::mouseMove(bar, third.center());
        QTRY_COMPARE(t.tabs->hotTab(), 2);
        QTRY_VERIFY(pixelsNear(barOnScreen(t.window, t.tabs), third, kHot) >= 5);
        image = barOnScreen(t.window, t.tabs);
        QCOMPARE(pixelsNear(image, third, kNormal), 0);
        QVERIFY(pixelsNear(image, second, kNormal) >= 5);
        QCOMPARE(pixelsNear(image, second, kHot), 0);
    }

    void pagesAreDestroyedWithTheControl() {
        auto* tabs = new TabPagesControl;
        QPointer<QWidget> first = new QWidget;
        QPointer<QWidget> second = new QWidget;
        tabs->addPage(first, QStringLiteral("최종결과"));
        tabs->addPage(second, QStringLiteral("상세결과"));
        tabs->selectPage(1);
        delete tabs;
        QVERIFY(first.isNull());
        QVERIFY(second.isNull());
    }
};

QTEST_MAIN(TabPagesTest)
#include "tab_pages_test.moc"
