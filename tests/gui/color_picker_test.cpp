// Colour picker button and its palette popup: which mouse and key actions
// choose a colour and which close the popup without one, what the button
// then tells its parent, where the popup opens near the screen's edges, and
// that the button's look follows its state.
#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/common/program_pictures.hpp"
#include "gui/controls/color_picker_button.hpp"
#include "gui/controls/color_popup.hpp"

using verdanel::gui::ColorPickerButton;
using verdanel::gui::ColorPopup;

namespace {

constexpr int kButtonId = 1071;

// A shown window holding one picker button.
struct PickerWindow {
    QWidget window;
    ColorPickerButton* button = new ColorPickerButton(&window, kButtonId);

    explicit PickerWindow(const QPoint& at = QPoint(100, 100), const QSize& buttonSize = QSize(60, 24)) {
        window.setGeometry(QRect(at, QSize(buttonSize.width() + 20, buttonSize.height() + 20)));
        button->setGeometry(QRect(QPoint(10, 10), buttonSize));
        window.show();
    }
};

// Runs `act` on the popup once the button's click has opened it. Every act
// ends the popup; one still open after it fails the test and is closed with
// Escape, so the test does not hang.
void whenPopupOpen(ColorPickerButton* button, std::function<void(ColorPopup*)> act) {
    ColorPopup* popup = button->popup();
    QTimer::singleShot(0, popup, [popup, act] {
        if (!popup->isRunning()) return;
        act(popup);
        if (!popup->isRunning()) return;
        QTimer::singleShot(0, popup, [popup] {
            QTest::keyClick(popup, Qt::Key_Escape);
            QFAIL("the popup stayed open");
        });
    });
}

QPoint centreOf(ColorPopup* popup, int id) { return popup->cell(id)->geometry().center(); }

void clickCell(ColorPopup* popup, int id) {
    QTest::mousePress(popup, Qt::LeftButton, {}, centreOf(popup, id));
    QTest::mouseRelease(popup, Qt::LeftButton, {}, centreOf(popup, id));
}

// A move over the popup as the window system sends it while the popup
// holds the mouse.
void hover(ColorPopup* popup, const QPoint& pos, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent move(QEvent::MouseMove, pos, popup->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(popup, &move);
}

QColor pixel(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

}  // namespace

class ColorPickerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { verdanel::gui::useHangulFont(*qApp); }

    void cellsSitInFiveRowsOfEightAndOtherColorBelow() {
        ColorPopup popup;
        QCOMPARE(popup.size(), QSize(164, 129));
        const int f = ColorPopup::kFrame;
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 8; ++column) {
                const int id = 5000 + 8 * row + column;
                QWidget* cell = popup.cell(id);
                QVERIFY(cell);
                QCOMPARE(cell->geometry(), QRect(f + 8 + 18 * column, f + 5 + 18 * row, 17, 17));
                QCOMPARE(popup.cellAt(cell->geometry().center()), id);
            }
        }
        QCOMPARE(popup.cell(5041)->geometry(), QRect(QPoint(f + 8, f + 100), QPoint(f + 150, f + 120)));
        QVERIFY(!popup.cell(5040));
        // The one-pixel gap between neighbours belongs to no cell.
        QCOMPARE(popup.cellAt(QPoint(f + 8 + 17, f + 5 + 5)), -1);
        QCOMPARE(popup.currentColor(), QColor(Qt::white));
    }

    void pressAndReleaseOnACellChoosesItsColour_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QColor>("expected");
        // Black over black: the button still reports it.
        QTest::newRow("first cell, colour unchanged") << 0 << 0 << QColor(0, 0, 0);
        QTest::newRow("row 2 turquoise") << 2 << 4 << QColor(51, 204, 204);
        QTest::newRow("last cell white") << 4 << 7 << QColor(255, 255, 255);
    }
    void pressAndReleaseOnACellChoosesItsColour() {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QColor, expected);
        PickerWindow w;
        QCOMPARE(w.button->color(), QColor(Qt::black));
        QSignalSpy changed(w.button, &ColorPickerButton::colorChanged);
        bool wasShown = false;
        whenPopupOpen(w.button, [&](ColorPopup* popup) {
            wasShown = popup->isVisible();
            clickCell(popup, 5000 + 8 * row + column);
        });
        w.button->click();

        QVERIFY(wasShown);
        QVERIFY(!w.button->popup()->isVisible());
        QCOMPARE(w.button->popup()->result(), ColorPopup::Ok);
        QCOMPARE(w.button->color(), expected);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), kButtonId);
        QCOMPARE(changed.at(0).at(1).value<QColor>(), expected);
    }

    void releaseOverAnotherCellChoosesNothing() {
        PickerWindow w;
        w.button->setColor(QColor(10, 20, 30));
        QSignalSpy changed(w.button, &ColorPickerButton::colorChanged);
        bool openAfterRelease = false;
        int pressedWhileDragging = -1;
        int pressedAfterRelease = 0;
        whenPopupOpen(w.button, [&](ColorPopup* popup) {
            QTest::mousePress(popup, Qt::LeftButton, {}, centreOf(popup, 5003));
            hover(popup, centreOf(popup, 5012), Qt::LeftButton);
            pressedWhileDragging = popup->pressedCell();
            QTest::mouseRelease(popup, Qt::LeftButton, {}, centreOf(popup, 5012));
            openAfterRelease = popup->isRunning() && popup->isVisible();
            pressedAfterRelease = popup->pressedCell();
            // Released over the gap between cells: nothing either.
            QTest::mousePress(popup, Qt::LeftButton, {}, centreOf(popup, 5020));
            QTest::mouseRelease(popup, Qt::LeftButton, {}, centreOf(popup, 5020) + QPoint(9, 0));
            openAfterRelease = openAfterRelease && popup->isRunning();
            QTest::mousePress(popup, Qt::LeftButton, {}, QPoint(-20, 40));
        });
        w.button->click();

        QCOMPARE(pressedWhileDragging, 5003);
        QCOMPARE(pressedAfterRelease, -1);
        QVERIFY2(openAfterRelease, "a release over another cell closed the popup");
        QCOMPARE(w.button->popup()->result(), ColorPopup::Cancel);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(w.button->color(), QColor(10, 20, 30));
    }

    void pressOutsideCancelsWithoutNotice_data() {
        QTest::addColumn<QPoint>("outside");
        QTest::newRow("above left") << QPoint(-5, -5);
        QTest::newRow("below") << QPoint(80, 135);
    }
    void pressOutsideCancelsWithoutNotice() {
        QFETCH(QPoint, outside);
        PickerWindow w;
        w.button->setColor(QColor(10, 20, 30));
        QSignalSpy changed(w.button, &ColorPickerButton::colorChanged);
        whenPopupOpen(w.button, [&](ColorPopup* popup) {
            QTest::mousePress(popup, Qt::LeftButton, {}, outside);
            QTest::mouseRelease(popup, Qt::LeftButton, {}, outside);
        });
        w.button->click();

        QVERIFY(!w.button->popup()->isVisible());
        QVERIFY(!w.button->popup()->isRunning());
        QCOMPARE(w.button->popup()->result(), ColorPopup::Cancel);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(w.button->color(), QColor(10, 20, 30));
    }

    void keysMoveTheFocusAndSelect() {
        PickerWindow w;
        QSignalSpy changed(w.button, &ColorPickerButton::colorChanged);
        // The first arrow focuses the first cell; Right, Down: row 1 column 1.
        whenPopupOpen(w.button, [](ColorPopup* popup) {
            QTest::keyClick(popup, Qt::Key_Down);
            QTest::keyClick(popup, Qt::Key_Right);
            QTest::keyClick(popup, Qt::Key_Down);
            QTest::keyClick(popup, Qt::Key_Return);
        });
        w.button->click();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(w.button->color(), QColor(255, 102, 0));

        // The mouse hovering a cell gives it the focus; Space selects it.
        whenPopupOpen(w.button, [](ColorPopup* popup) {
            hover(popup, centreOf(popup, 5026));
            QTest::keyClick(popup, Qt::Key_Space);
        });
        w.button->click();
        QCOMPARE(changed.count(), 2);
        QCOMPARE(w.button->color(), QColor(255, 255, 0));

        whenPopupOpen(w.button, [](ColorPopup* popup) { QTest::keyClick(popup, Qt::Key_Escape); });
        w.button->click();
        QCOMPARE(w.button->popup()->result(), ColorPopup::Cancel);
        QCOMPARE(changed.count(), 2);
    }

    void otherColorClosesWithOkWhateverTheDialogSays_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("dialog cancelled keeps the colour") << false << QColor(12, 34, 56);
        QTest::newRow("dialog confirmed takes its colour") << true << QColor(1, 2, 3);
    }
    void otherColorClosesWithOkWhateverTheDialogSays() {
        QFETCH(bool, confirmed);
        QFETCH(QColor, expected);
        PickerWindow w;
        w.button->setColor(QColor(12, 34, 56));
        QList<QColor> asked;
        bool popupHiddenDuringDialog = false;
        w.button->popup()->setColorDialog([&](const QColor& initial, bool* ok) {
            asked << initial;
            popupHiddenDuringDialog = !w.button->popup()->isVisible();
            *ok = confirmed;
            return confirmed ? QColor(1, 2, 3) : QColor();
        });
        QSignalSpy changed(w.button, &ColorPickerButton::colorChanged);
        whenPopupOpen(w.button, [](ColorPopup* popup) { clickCell(popup, ColorPopup::kOtherColorId); });
        w.button->click();

        QCOMPARE(asked, QList<QColor>{QColor(12, 34, 56)});
        QVERIFY(popupHiddenDuringDialog);
        QCOMPARE(w.button->popup()->result(), ColorPopup::Ok);
        QVERIFY(!w.button->popup()->isVisible());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), kButtonId);
        QCOMPARE(changed.at(0).at(1).value<QColor>(), expected);
        QCOMPARE(w.button->color(), expected);
    }

    void placementKeepsThePopupOnScreen_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("button");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 0, 800, 600);
        QTest::newRow("bottom edge just fits") << screen << QRect(100, 451, 40, 20) << QPoint(100, 471);
        QTest::newRow("near bottom: above the button") << screen << QRect(100, 452, 40, 20) << QPoint(100, 452 - 129);
        QTest::newRow("near right: shifted left") << screen << QRect(700, 100, 40, 20) << QPoint(800 - 164, 120);
        QTest::newRow("bottom right corner") << screen << QRect(760, 570, 40, 20) << QPoint(636, 570 - 129);
        const QRect second(1920, 40, 1280, 984);  // a second screen below a panel
        QTest::newRow("offset screen, right") << second << QRect(3150, 200, 40, 20) << QPoint(3200 - 164, 220);
        QTest::newRow("offset screen, bottom") << second << QRect(2000, 990, 40, 20) << QPoint(2000, 990 - 129);
    }
    void placementKeepsThePopupOnScreen() {
        QFETCH(QRect, screen);
        QFETCH(QRect, button);
        QFETCH(QPoint, expected);
        QCOMPARE(ColorPopup::placement(button, ColorPopup::kSize, screen), expected);
    }

    void popupOpensAgainstTheButtonsScreen() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // One button in the middle, one in the bottom right corner.
        PickerWindow middle(area.topLeft() + QPoint(100, 100));
        PickerWindow corner(area.bottomRight() - QPoint(70, 40));
        QVERIFY(QTest::qWaitForWindowExposed(&corner.window));

        for (ColorPickerButton* button : {middle.button, corner.button}) {
            const QRect b(button->mapToGlobal(QPoint(0, 0)), button->size());
            QRect opened;
            whenPopupOpen(button, [&](ColorPopup* popup) {
                opened = popup->geometry();
                QTest::keyClick(popup, Qt::Key_Escape);
            });
            button->click();
            QCOMPARE(opened.size(), ColorPopup::kSize);
            if (button == middle.button) {
                QCOMPARE(opened.topLeft(), QPoint(b.left(), b.bottom() + 1));
            } else {
                QVERIFY2(b.bottom() + 129 > area.bottom() && b.left() + 164 > area.right(), "not near the corner");
                QCOMPARE(opened.bottom(), b.top() - 1);
                QCOMPARE(opened.right(), area.right());
            }
        }
    }

    void buttonLookFollowsItsState() {
        PickerWindow w(QPoint(100, 100), QSize(60, 24));
        ColorPickerButton* button = w.button;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        const QColor face = button->palette().color(QPalette::Button);
        const QColor grey(128, 128, 128);
        const QColor colour(200, 30, 40);
        button->setColor(colour);
        const int r = button->width();
        const int y = button->height() / 2;

        button->clearFocus();
        QVERIFY(!button->hasFocus());
        const QImage raised = button->grab().toImage();
        QCOMPARE(pixel(raised, 0, 0), face);
        QCOMPARE(pixel(raised, r - 1, 1), QColor(Qt::black));  // right edge
        QCOMPARE(pixel(raised, 1, 1), QColor(Qt::white));      // inner highlight
        QCOMPARE(pixel(raised, 5, 4), QColor(Qt::black));      // swatch outline
        QCOMPARE(pixel(raised, 10, 10), colour);
        QCOMPARE(pixel(raised, r - 15, 10), face);  // the swatch ends before the separator
        QCOMPARE(pixel(raised, r - 10, 10), QColor(Qt::white));
        QCOMPARE(pixel(raised, r - 11, 10), grey);
        QCOMPARE(pixel(raised, r - 8, y - 1), QColor(Qt::black));  // arrow: 5, 3, 1 pixels
        QCOMPARE(pixel(raised, r - 9, y - 1), face);
        QCOMPARE(pixel(raised, r - 6, y + 1), QColor(Qt::black));
        QCOMPARE(pixel(raised, 3, 3), face);  // no focus rectangle

        button->setDown(true);
        const QImage pressed = button->grab().toImage();
        button->setDown(false);
        QCOMPARE(pixel(pressed, 0, 0), grey);
        QCOMPARE(pixel(pressed, 1, 1), QColor(Qt::black));
        QCOMPARE(pixel(pressed, r - 1, 5), QColor(Qt::white));
        QCOMPARE(pixel(pressed, 5, 4), face);  // the face has moved one pixel right and down
        QCOMPARE(pixel(pressed, 6, 5), QColor(Qt::black));
        QCOMPARE(pixel(pressed, r - 9, y), QColor(Qt::white));  // separator moved too

        w.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        button->setFocus();
        QVERIFY(button->hasFocus());
        const QImage focused = button->grab().toImage();
        QCOMPARE(pixel(focused, 3, 3), QColor(Qt::black));
        QCOMPARE(pixel(focused, 4, 3), face);  // dotted
        QCOMPARE(pixel(focused, 5, 3), QColor(Qt::black));
        QCOMPARE(pixel(focused, 10, 10), colour);
        button->clearFocus();

        button->setEnabled(false);
        const QImage disabled = button->grab().toImage();
        button->setEnabled(true);
        QCOMPARE(pixel(disabled, 10, 10), face);  // no swatch
        QCOMPARE(pixel(disabled, r - 5, y - 1), grey);
        QCOMPARE(pixel(disabled, r - 4, y - 1), QColor(Qt::white));
        QCOMPARE(pixel(disabled, r - 5, y), QColor(Qt::white));
        QCOMPARE(pixel(disabled, r - 6, y + 1), QColor(Qt::white));

        QVERIFY(raised != pressed && raised != focused && pressed != focused && raised != disabled);

        button->setColor(QColor(0, 128, 0));
        QCOMPARE(pixel(button->grab().toImage(), 10, 10), QColor(0, 128, 0));
    }
};

QTEST_MAIN(ColorPickerTest)
#include "color_picker_test.moc"
