// CTransparentStatic: a shorter new text leaves nothing of the old one, on
// screen the moment it is set. (Its colour and see-through background are
// checked in the busy window's test.)
#include <QPainter>
#include <QScreen>
#include <QTest>

#include "gui/controls/transparent_static.hpp"

namespace {
// A parent with a busy background, so a leftover would show.
class PatternedParent : public QWidget {
public:
    PatternedParent() { resize(360, 60); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(60, 140, 90));
        for (int x = 0; x < width(); x += 6) p.fillRect(x, 0, 3, height(), QColor(90, 180, 120));
    }
};

QImage onScreen(QWidget& w) { return w.screen()->grabWindow(w.winId()).toImage(); }
}  // namespace

class TransparentStaticTest : public QObject {
    Q_OBJECT

private slots:
    void shorterTextLeavesNoTrace() {
        PatternedParent parent;
        auto* label = new CTransparentStatic(QStringLiteral("A much longer text that was here before"), &parent);
        label->setGeometry(10, 20, 330, 22);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QCoreApplication::processEvents();
        const QImage withLong = onScreen(parent);

        // Looked at straight after the change: it must be on screen at once.
        label->setText(QStringLiteral("Short"));
        const QImage afterChange = onScreen(parent);

        PatternedParent reference;
        auto* refLabel = new CTransparentStatic(QStringLiteral("Short"), &reference);
        refLabel->setGeometry(10, 20, 330, 22);
        reference.move(parent.pos() + QPoint(0, 100));
        reference.show();
        QVERIFY(QTest::qWaitForWindowExposed(&reference));
        QCoreApplication::processEvents();
        const QImage expected = onScreen(reference);

        QVERIFY(!expected.isNull());
        QVERIFY2(withLong != expected, "the two texts look alike; the comparison proves nothing");
        QCOMPARE(afterChange, expected);
    }
};

QTEST_MAIN(TransparentStaticTest)
#include "transparent_static_test.moc"
