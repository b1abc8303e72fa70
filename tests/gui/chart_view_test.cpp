// The concentration chart as painted, and the window's picture in a bitmap file.
#include <QCheckBox>
#include <QFile>
#include <QPainter>
#include <QTest>
#include <QtEndian>
#include <cmath>

#include "core/results/result_messages.hpp"
#include "gui/results/chart_view.hpp"
#include "gui/results/window_picture.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::gui::ChartView;

namespace {
const QColor kBackground(236, 233, 216);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlack = qRgb(0, 0, 0);

// Stream rows: Cwater (13) a ragged hump, highest at row 500; Csoil(spray1) (5) ten times larger.
ResultBuffer hump(int n = 1440) {
    ResultBuffer b(ModelKind::Stream);
    for (int i = 0; i < n; ++i) {
        ResultRow r{6, 1 + i / 1440, i / 60 % 24, i % 60, {}};
        r.values[13] = 2.0e-3 * std::exp(-std::pow((i - 500) / 120.0, 2)) * (1.0 + 0.2 * std::sin(i * 0.7));
        r.values[5] = 10 * r.values[13];
        b.rows.push_back(r);
    }
    b.rows[500].values[13] = 3.0e-3;
    return b;
}

// A chart over the result window's frame: 776 x 195 pixels.
struct Chart : ChartView {
    explicit Chart(const ResultBuffer* rows = nullptr) {
        setFrameGeometry(QRect(203, 310, 776, 195));
        if (rows) setBuffer(rows);
    }
    QImage painted() {
        QImage image(size(), QImage::Format_RGB32);
        image.fill(kBackground);
        render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
    QPoint at(int k, int row) const {
        const ChartPoint p =
            seriesPoint(row, buffer()->rows[std::size_t(row)].values[std::size_t(k)], scales(), plotRect());
        return QPoint(p.x, p.y);
    }
};

bool any(const QImage& image, QRect area, const std::function<bool(QRgb)>& wanted) {
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (wanted(image.pixel(x, y))) return true;
    return false;
}
// Text is smoothed: its darkest pixels need not be pure black.
bool anyText(const QImage& image, QRect area) {
    return any(image, area, [](QRgb c) { return qGray(c) < 96; });
}
}  // namespace

class ChartViewTest : public QObject {
    Q_OBJECT

private slots:
    void emptyChartIsABlackPlotInADottedGreyOutline() {
        Chart chart;
        const PlotRect r = chart.plotRect();
        QCOMPARE(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), QRect(57, 5, 775, 194));
        const QImage image = chart.painted();
        QCOMPARE(image.pixel(r.left + 1, r.top + 1), kBlack);
        QCOMPARE(image.pixel(r.right - 2, r.bottom - 2), kBlack);
        // The outline runs along L, T, R - 1 and B - 1: grey dots, and gaps showing the background.
        int dots = 0, gaps = 0;
        for (int x = r.left; x < r.right; ++x) ++(image.pixel(x, r.top) == qRgb(192, 192, 192) ? dots : gaps);
        QVERIFY(dots > 150 && gaps > 150);
        QCOMPARE(image.pixel(r.right, r.top + 50), kBackground.rgb());
        QVERIFY(!anyText(image, QRect(0, 0, r.left, image.height())));
        QVERIFY(!anyText(image, QRect(0, r.bottom + 1, image.width(), 20)));
    }

    void seriesAndLabelsAppearWhereComputed() {
        const ResultBuffer rows = hump();
        Chart chart(&rows);
        chart.setSeriesChecked(13, true);
        QCOMPARE(chart.apply(), QString());
        const QImage image = chart.painted();
        QCOMPARE(image.pixel(chart.at(13, 500)), kRed);
        QCOMPARE(image.pixel(chart.at(13, 1200)), kRed);
        QVERIFY(std::abs((chart.plotRect().bottom - chart.at(13, 500).y()) - 194 / 1.2) <= 1);
        const std::vector<DateLabel> dates = dateLabels(&rows, chart.scales(), chart.plotRect());
        QCOMPARE(dates.size(), std::size_t(11));
        for (const DateLabel& d : dates) QVERIFY(anyText(image, QRect(d.box.left, d.box.top, 70, 10)));
        QVERIFY(
            !anyText(image, QRect(dates[0].box.right, dates[0].box.top, dates[1].box.left - dates[0].box.right, 10)));
        for (const ValueLabel& v : valueLabels(chart.scales(), chart.plotRect()))
            QVERIFY(anyText(image, QRect(v.box.left, v.box.top, 55, 10)));
    }

    void reducedLinesPaintExactlyTheFullLine() {
        const ResultBuffer rows = hump(65520);
        Chart chart(&rows);
        chart.setSeriesChecked(13, true);
        chart.apply();
        const QImage drawn = chart.painted();
        chart.setSeriesChecked(13, false);
        QImage expected = chart.painted();
        QVERIFY(expected != drawn);
        QPainter p(&expected);
        p.setPen(QPen(QColor(kRed), 0));
        // Every point of the series; the repeated start left out, as Qt drops the
        // first pixel of a line that begins with a segment of no length.
        QPolygon full;
        for (const ChartPoint& pt : seriesPoints(rows, 13, chart.scales(), chart.plotRect()))
            if (full.isEmpty() || full.back() != QPoint(pt.x, pt.y)) full << QPoint(pt.x, pt.y);
        p.drawPolyline(full);
        p.end();
        QCOMPARE(drawn, expected);
    }

    void checkBoxesAndColoursAreReadAtPaintTimeScalesOnlyOnApply() {
        const ResultBuffer rows = hump();
        QCheckBox water, soil;
        Chart chart(&rows);
        chart.setCheckedSource([&](int k) { return (k == 13 && water.isChecked()) || (k == 5 && soil.isChecked()); });
        QCOMPARE(chart.apply(), QString::fromUtf8(msg::kSelectSeries));
        water.setChecked(true);
        QCOMPARE(chart.apply(), QString());
        const ChartScales waterScales = chart.scales();
        const QPoint peak = chart.at(13, 500);

        chart.setSeriesColor(13, QColor(0, 128, 255));
        QCOMPARE(chart.painted().pixel(peak), qRgb(0, 128, 255));

        // Soil checked after the apply: drawn at the next repaint, with the water's scale.
        soil.setChecked(true);
        chart.setSeriesColor(5, Qt::green);
        QVERIFY(any(chart.painted(), QRect(57, 5, 775, 194), [](QRgb c) { return c == qRgb(0, 255, 0); }));
        QCOMPARE(chart.scales().verticalScale, waterScales.verticalScale);
        QVERIFY(chart.at(5, 500).y() < 0);
        QCOMPARE(chart.apply(), QString());
        QVERIFY(chart.scales().verticalMaximum > 5 * waterScales.verticalMaximum);
        QVERIFY(chart.at(5, 500).y() > chart.plotRect().top);

        water.setChecked(false);
        soil.setChecked(false);
        QCOMPARE(chart.painted().pixel(peak), kBlack);
        QCOMPARE(chart.apply(), QString::fromUtf8(msg::kSelectSeries));  // and the scales stay
        QVERIFY(chart.scales().verticalMaximum > 5 * waterScales.verticalMaximum);

        // After a delete: the empty plot, and nothing to apply.
        water.setChecked(true);
        chart.clear();
        QCOMPARE(chart.scales().verticalMaximum, 0.0);
        const QImage cleared = chart.painted();
        QVERIFY(!any(cleared, cleared.rect(), [](QRgb c) { return qRed(c) == 255 && qGreen(c) == 0; }));
        QVERIFY(!anyText(cleared, QRect(0, 0, chart.plotRect().left, cleared.height())));
        QCOMPARE(chart.apply(), QString::fromUtf8(msg::kNoModellingData));
    }

    void windowPictureIsWrittenAsABottomUpBitmap() {
        QWidget window;
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, kBackground);
        window.setPalette(palette);
        window.setAutoFillBackground(true);
        window.resize(1013, 540);
        auto* chart = new ChartView(&window);
        chart->setFrameGeometry(QRect(203, 310, 776, 195));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // The whole window with its frame, as on the screen.
        const QImage picture = gui::windowPicture(chart);
        QCOMPARE(picture.size(), window.frameGeometry().size());
        const QPoint client = window.geometry().topLeft() - window.frameGeometry().topLeft();
        const QPoint inPlot = client + QPoint(591, 407), outside = client + QPoint(20, 20);
        QCOMPARE(picture.pixel(inPlot), kBlack);
        QCOMPARE(picture.pixel(outside), kBackground.rgb());

        verdanel::testing::TempFolder folder;
        const QString path = QString::fromStdString(folder.file("window.bmp"));
        QCOMPARE(gui::exportWindowBitmap(&window, path), gui::WindowBitmapResult::Written);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const int w = picture.width(), h = picture.height(), stride = (3 * w + 3) / 4 * 4;
        QCOMPARE(bytes.size(), 54 + stride * h);
        QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 18), w);
        QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 22), h);
        auto stored = [&](QPoint p) {  // picture row y is stored h - 1 - y rows in, blue first
            const char* px = bytes.constData() + 54 + (h - 1 - p.y()) * stride + 3 * p.x();
            return qRgb(uchar(px[2]), uchar(px[1]), uchar(px[0]));
        };
        QCOMPARE(stored(inPlot), kBlack);
        QCOMPARE(stored(outside), kBackground.rgb());

        const QString nowhere = QString::fromStdString(folder.file("missing/window.bmp"));
        QCOMPARE(gui::exportWindowBitmap(&window, nowhere), gui::WindowBitmapResult::FileNotWritten);
        QVERIFY(gui::windowBitmapMessage(gui::WindowBitmapResult::FileNotWritten).isEmpty());
        QCOMPARE(gui::exportWindowBitmap(nullptr, path), gui::WindowBitmapResult::NoPicture);
        QCOMPARE(gui::windowBitmapMessage(gui::WindowBitmapResult::NoPicture),
                 QString::fromUtf8(msg::kImageCannotBeCreated));
    }
};

QTEST_MAIN(ChartViewTest)
#include "chart_view_test.moc"
