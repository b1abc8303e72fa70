#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "core/results/chart_layout.hpp"
#include "core/results/result_messages.hpp"

using namespace verdanel;

namespace verdanel {
void PrintTo(const ChartPoint& p, std::ostream* out) { *out << '(' << p.x << ", " << p.y << ')'; }
}  // namespace verdanel

namespace {
// The plot of a result window: frame 1261 at (203, 310), 776 x 195 pixels.
constexpr PlotRect kPlot{203, 310, 978, 504};

// n rows a minute apart from 1 June 00:00 with value(i) in series k.
template <class F>
ResultBuffer rows(int n, int k, F value, ModelKind kind = ModelKind::Stream) {
    ResultBuffer b(kind);
    for (int i = 0; i < n; ++i) {
        ResultRow r{6, 1 + i / 1440, i / 60 % 24, i % 60, {}};
        r.values[static_cast<std::size_t>(k)] = value(i);
        b.rows.push_back(r);
    }
    return b;
}

std::vector<bool> only(int k) {
    std::vector<bool> c(kMaxResultValues, false);
    c[static_cast<std::size_t>(k)] = true;
    return c;
}

ChartScales applied(const ResultBuffer& b, int k, PlotRect rect = kPlot) {
    return applyScales(&b, only(k), rect).scales.value_or(ChartScales{});
}

std::vector<int> drawnRows(int n, PlotRect rect) {
    const ResultBuffer b = rows(n, 13, [](int) { return 1.0; });
    std::vector<int> r;
    for (const DateLabel& l : dateLabels(&b, applied(b, 13, rect), rect)) r.push_back(l.row);
    return r;
}

std::vector<int> drawnSteps(PlotRect rect) {
    std::vector<int> s;
    for (const ValueLabel& l : valueLabels(ChartScales{1.0, 1.0f, 1.0f}, rect)) s.push_back(l.step);
    return s;
}
}  // namespace

TEST(ChartApply, RefusesWithoutRowsOrCheckedSeries) {
    EXPECT_EQ(applyScales(nullptr, only(13), kPlot).message, msg::kNoModellingData);
    const ResultBuffer empty;
    EXPECT_EQ(applyScales(&empty, only(13), kPlot).message, msg::kNoModellingData);
    // Ditch rows have eight series: a check on series 13 selects nothing.
    const ResultBuffer ditch = rows(
        10, 7, [](int) { return 1.0; }, ModelKind::Ditch);
    const ApplyOutcome past = applyScales(&ditch, only(13), kPlot);
    EXPECT_EQ(past.message, msg::kSelectSeries);
    EXPECT_FALSE(past.scales);
}

TEST(ChartApply, HighestCheckedPointSitsAtFiveSixthsOfThePlotUnderTheTopLabel) {
    ResultBuffer b = rows(1440, 13, [](int i) { return 3.5e-4 * std::exp(-std::pow((i - 700) / 90.0, 2)) - 1e-5; });
    for (ResultRow& r : b.rows) r.values[0] = 50.0;  // unchecked: must not count
    const ChartScales s = applied(b, 13);
    EXPECT_DOUBLE_EQ(s.verticalMaximum, 3.4e-4 * 1.2);
    const ChartPoint peak = seriesPoint(700, b.rows[700].values[13], s, kPlot);
    EXPECT_NEAR(kPlot.bottom - peak.y, 194 / 1.2, 1.0);
    EXPECT_EQ(peak.x, 579);  // 203 + 700 x 775 / 1440 = 579.7

    const std::vector<ValueLabel> labels = valueLabels(s, kPlot);
    ASSERT_EQ(labels.size(), 10u);
    EXPECT_EQ(labels.back().text, "4.08e-004");
    EXPECT_EQ(labels.back().y, kPlot.top);
    EXPECT_EQ(labels.front().text, "4.08e-005");
    EXPECT_EQ(labels.front().y, 484);  // 504 - 19.4, truncated
    EXPECT_EQ(labels[4].y, 407);
    EXPECT_EQ((std::array{labels[4].box.left, labels[4].box.top, labels[4].box.right, labels[4].box.bottom}),
              (std::array{146, 402, 201, 412}));
}

TEST(ChartApply, NothingAboveZeroLiesOnTheBottomEdgeWithoutValueLabels) {
    const ResultBuffer b = rows(500, 13, [](int i) { return i % 3 == 0 ? -2.0e-3 : 0.0; });
    const ChartScales s = applied(b, 13);
    EXPECT_EQ(s.verticalMaximum, 0.0);
    EXPECT_TRUE(valueLabels(s, kPlot).empty());
    for (const ChartPoint& p : seriesPoints(b, 13, s, kPlot)) ASSERT_EQ(p.y, kPlot.bottom);
}

TEST(ChartLabels, OneRowGivesOneLineAndOneLabelCentredOnTheLeftEdge) {
    ResultBuffer b(ModelKind::Pond);
    b.rows.push_back({6, 1, 9, 5, {0, 0, 0, 0, 0, 0, 0, 2.0}});
    const ChartScales s = applied(b, 7);
    EXPECT_EQ(seriesPoints(b, 7, s, kPlot), (std::vector<ChartPoint>{{203, 504}, {203, 342}}));  // 504 - 161.7

    const std::vector<DateLabel> labels = dateLabels(&b, s, kPlot);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].text, "06-01 09:05");
    EXPECT_EQ(labels[0].gridX, 203);
    EXPECT_EQ((std::array{labels[0].box.left, labels[0].box.top, labels[0].box.right, labels[0].box.bottom}),
              (std::array{168, 509, 238, 519}));
}

TEST(ChartLabels, OverlappingLabelsAreThinned) {
    // Rows 7 pixels apart: a label needs its x - 35 right of the last x + 35.
    EXPECT_EQ(drawnRows(100, {100, 0, 800, 100}), (std::vector<int>{0, 11, 22, 33, 44, 55, 66, 77, 88, 99}));
    // 10 pixels apart: a box starting exactly at the last right edge is not drawn.
    EXPECT_EQ(drawnRows(80, {100, 0, 900, 100}), (std::vector<int>{0, 8, 16, 24, 32, 40, 48, 56, 64, 72}));
    // The last right edge starts at 0: a first box reaching left of 0 is skipped.
    EXPECT_EQ(drawnRows(80, {20, 0, 820, 100}).front(), 2);
    // Half a year of minutes: one label about every 70 pixels.
    EXPECT_EQ(drawnRows(262080, kPlot).size(), 11u);

    // Value labels of low plots, bottom up: drawn when the box ends above the last drawn top.
    EXPECT_EQ(drawnSteps({100, 400, 700, 460}), (std::vector<int>{1, 3, 5, 7, 9}));
    EXPECT_EQ(drawnSteps({100, 400, 700, 440}), (std::vector<int>{1, 4, 7, 10}));
    EXPECT_EQ(drawnSteps({100, 400, 700, 500}), (std::vector<int>{1, 3, 5, 7, 9}));  // touching boxes overlap
    EXPECT_EQ(drawnSteps({100, 400, 700, 510}).size(), 10u);
}

namespace {
struct Column {
    int first, low, high, last;
    bool operator==(const Column&) const = default;
};

// What a line shows per pixel column: entry, extent and exit.
std::map<int, Column> columns(const std::vector<ChartPoint>& line) {
    std::map<int, Column> c;
    for (const ChartPoint& p : line) {
        auto [it, added] = c.try_emplace(p.x, Column{p.y, p.y, p.y, p.y});
        it->second = {it->second.first, std::min(it->second.low, p.y), std::max(it->second.high, p.y), p.y};
    }
    return c;
}

bool isSubsequence(const std::vector<ChartPoint>& part, const std::vector<ChartPoint>& whole) {
    std::size_t i = 0;
    for (const ChartPoint& p : whole) i += i < part.size() && part[i] == p;
    return i == part.size();
}
}  // namespace

TEST(ChartSeries, ReducedLinesShowWhatTheFullLinesShow) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    ResultBuffer b = rows(60000, 2, [&](int i) { return std::sin(i / 900.0) + 0.3 * noise(random); });
    for (std::size_t i = 0; i < b.rows.size(); ++i) {
        b.rows[i].values[5] = i % 4000 == 17 ? 1.2 : 0.0;      // isolated spikes
        b.rows[i].values[13] = static_cast<double>(i) * 2e-5;  // a steady rise
    }
    const std::vector<int> wanted{2, 5, 13};
    const ChartScales s = applied(b, 2);
    const auto reduced = seriesPolylines(b, wanted, s, kPlot);
    ASSERT_EQ(reduced.size(), 3u);
    for (std::size_t w = 0; w < wanted.size(); ++w) {
        const std::vector<ChartPoint> full = seriesPoints(b, wanted[w], s, kPlot);
        EXPECT_EQ(columns(reduced[w]), columns(full)) << "series " << wanted[w];
        EXPECT_TRUE(isSubsequence(reduced[w], full)) << "series " << wanted[w];
        EXPECT_LE(reduced[w].size(), 4 * columns(full).size());
    }

    // Fewer rows than columns: only the repeated start point (L, B) goes.
    const ResultBuffer few = rows(300, 13, [](int i) { return (i * 37 % 11) * 1.0; });
    const std::vector<ChartPoint> all = seriesPoints(few, 13, applied(few, 13), kPlot);
    ASSERT_EQ(all[0], all[1]);
    EXPECT_EQ(seriesPolylines(few, {13}, applied(few, 13), kPlot)[0],
              std::vector<ChartPoint>(all.begin() + 1, all.end()));
}
