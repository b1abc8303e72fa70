// One full repaint of the concentration chart over a whole Stream run (182
// days of output minutes, 262,080 rows), painted into an image the size of
// the chart the way the result window paints it: plot, labels, grid lines
// and the checked series; last with the logarithmic axis and a threshold
// line. Budget: 50 ms per repaint.
//
//   QT_QPA_PLATFORM=offscreen build-dir/bench/chart_gui_bench [repeats]
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gui/results/chart_view.hpp"

using namespace verdanel;
using Clock = std::chrono::steady_clock;

namespace {

// Output minutes from 1 June 00:00, weekly sprays at 10:00 decaying between them.
ResultBuffer wholeRun() {
    constexpr int kDays = 182;
    const int monthDays[] = {30, 31, 31, 30, 31, 30, 31};
    ResultBuffer b(ModelKind::Stream);
    b.rows.reserve(static_cast<std::size_t>(kDays) * 1440);
    int month = 6, day = 1;
    for (int d = 0; d < kDays; ++d) {
        for (int m = 0; m < 1440; ++m) {
            ResultRow r;
            r.month = month;
            r.day = day;
            r.hour = m / 60;
            r.minute = m % 60;
            const double sinceSpray = ((d % 7) * 1440 + m - 600) / 1440.0;
            const double pulse =
                sinceSpray < 0 ? (d >= 7 ? std::exp(-(sinceSpray + 7) * 0.8) : 0.0) : std::exp(-sinceSpray * 0.8);
            for (int k = 0; k < 14; ++k)
                r.values[static_cast<std::size_t>(k)] =
                    (k + 1) * 1e-4 * pulse * (1.0 + 0.1 * std::sin(0.37 * (d * 1440 + m) + k));
            b.rows.push_back(r);
        }
        if (++day > monthDays[month - 6]) {
            day = 1;
            ++month;
        }
    }
    return b;
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void timeRepaints(const char* what, gui::ChartView& view, int repeats) {
    QImage image(view.size(), QImage::Format_RGB32);
    std::vector<double> ms;
    for (int i = 0; i < repeats; ++i) {
        image.fill(QColor(236, 233, 216));
        const auto start = Clock::now();
        view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        ms.push_back(msSince(start));
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-28s median %6.2f ms  best %6.2f ms  worst %6.2f ms  (%d repaints)\n", what, ms[ms.size() / 2],
                ms.front(), ms.back(), repeats);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

    const ResultBuffer rows = wholeRun();
    gui::ChartView view;
    view.setFrameGeometry(QRect(203, 310, 776, 195));  // the result window's chart frame
    view.setBuffer(&rows);
    view.setSeriesChecked(13, true);

    auto start = Clock::now();
    const QString message = view.apply();
    std::printf("%zu rows, apply %.2f ms%s\n", rows.size(), msSince(start), message.isEmpty() ? "" : " (refused)");
    timeRepaints("repaint, Cwater", view, repeats);

    for (int k = 0; k < 14; ++k) view.setSeriesChecked(k, true);
    view.apply();
    timeRepaints("repaint, all 14 series", view, repeats);

    // Both options: the logarithmic axis and a threshold line.
    view.setLogarithmic(true);
    view.setThreshold(1e-4, QStringLiteral("Cwater"));
    timeRepaints("log axis + threshold, all 14", view, repeats);
    for (int k = 0; k < 13; ++k) view.setSeriesChecked(k, false);
    view.apply();
    timeRepaints("log axis + threshold, Cwater", view, repeats);
    return 0;
}
