// The busy message window: size and place for short and long texts, painted
// before open() returns, leaves the owner usable, gone after close().
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "core/common/messages.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/controls/busy_message_window.hpp"
#include "gui/controls/transparent_static.hpp"

using verdanel::gui::BusyMessageWindow;

class BusyWindowTest : public QObject {
    Q_OBJECT

private:
    QWidget* makeOwner(QWidget& owner) {
        owner.setGeometry(120, 90, 400, 300);
        owner.show();
        if (!QTest::qWaitForWindowExposed(&owner)) return nullptr;
        return &owner;
    }

private slots:
    void initTestCase() { verdanel::gui::useHangulFont(*qApp); }

    void shortTextKeepsDesignedSizeCentredOverOwner() {
        QWidget owner;
        QVERIFY(makeOwner(owner));
        BusyMessageWindow busy;
        busy.open(&owner, QString::fromUtf8(verdanel::msg::kShuttingDown));
        QWidget* w = busy.window();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->size(), BusyMessageWindow::kDesignedSize);
        const QPoint offset = w->frameGeometry().center() - owner.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2, "not centred over its owner");
        QCOMPARE(busy.textControl()->text(), QString::fromUtf8(verdanel::msg::kShuttingDown));
        QCOMPARE(busy.textControl()->textColor(), QColor(Qt::white));
    }

    void longTextWidensToTextPlusMarginCentredOnScreen() {
        QWidget owner;
        QVERIFY(makeOwner(owner));
        const QString text = QString::fromUtf8(verdanel::msg::kSearching) + QStringLiteral(" ") +
                             QString::fromUtf8(verdanel::msg::kSearching);
        BusyMessageWindow busy;
        busy.open(&owner, text);
        QWidget* w = busy.window();
        CTransparentStatic* label = busy.textControl();
        const int textWidth = label->fontMetrics().horizontalAdvance(text);
        QVERIFY2(textWidth + 20 > BusyMessageWindow::kDesignedSize.width(), "test text is not long enough");
        QCOMPARE(w->width(), textWidth + 20);
        QCOMPARE(w->height(), BusyMessageWindow::kDesignedSize.height());
        const QPoint offset = w->frameGeometry().center() - w->screen()->availableGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2, "not centred on the screen");
        // The text control spans the text and sits in the middle.
        QCOMPARE(label->width(), textWidth);
        QVERIFY(qAbs(label->geometry().center().x() - w->rect().center().x()) <= 1);
        QVERIFY(qAbs(label->geometry().center().y() - w->rect().center().y()) <= 1);
    }

    // The work after open() keeps the event loop busy, so the picture and
    // the text must already be in the window when open() returns.
    void paintedBeforeOpenReturns() {
        QWidget owner;
        QVERIFY(makeOwner(owner));
        BusyMessageWindow busy;
        busy.open(&owner, QStringLiteral("WWWWWWWWWW"));
        const QImage shot = busy.window()->screen()->grabWindow(busy.window()->winId()).toImage();
        QCOMPARE(shot.size(), BusyMessageWindow::kDesignedSize);
        QImage picture(QStringLiteral(":/verdanel/busy_background.png"));
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), BusyMessageWindow::kDesignedSize);
        // Inside the text control but beside the text: the picture shows through.
        QVERIFY(busy.textControl()->geometry().contains(40, 18));
        QCOMPARE(shot.pixelColor(40, 18).rgb(), picture.pixelColor(40, 18).rgb());
        int white = 0;
        const QRect textArea = busy.textControl()->geometry();
        for (int x = textArea.left(); x <= textArea.right(); ++x)
            for (int y = textArea.top(); y <= textArea.bottom(); ++y)
                if (shot.pixelColor(x, y).lightness() > 180) ++white;
        QVERIFY2(white > 20, "the white text is not painted yet");
    }

    void ownerKeepsInputAndGetsItBackOnClose() {
        QWidget owner;
        auto* button = new QPushButton(QStringLiteral("go"), &owner);
        button->setGeometry(10, 10, 80, 30);
        QVERIFY(makeOwner(owner));
        QSignalSpy clicks(button, &QPushButton::clicked);
        QPointer<QWidget> window;
        {
            BusyMessageWindow busy;
            busy.open(&owner, QString::fromUtf8(verdanel::msg::kDeletingScenario));
            window = busy.window();
            QCOMPARE(QApplication::activeModalWidget(), nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(clicks.count(), 1);

            owner.setEnabled(false);  // as a window does while its work runs
            busy.close();
            QVERIFY(owner.isEnabled());
            QVERIFY(window.isNull());
            QVERIFY(!busy.isOpen());

            busy.open(&owner, QStringLiteral("again"));
            window = busy.window();
            QVERIFY(window);
        }
        QVERIFY2(window.isNull(), "the window outlived its BusyMessageWindow");
    }
};

QTEST_MAIN(BusyWindowTest)
#include "busy_window_test.moc"
