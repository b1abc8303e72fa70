// The chart's two options: a logarithmic value axis and a threshold line.
// With both off the chart is exactly the chart that came before them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "core/common/number_text.hpp"
#include "core/results/chart_layout.hpp"

using namespace verdanel;

namespace {

// FNV-1a over the bytes of everything the layout gives, so that one number pins it.
struct Digest {
    std::uint64_t h = 1469598103934665603ull;
    Digest& bytes(const void* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) h = (h ^ static_cast<const unsigned char*>(p)[i]) * 1099511628211ull;
        return *this;
    }
    template <class T>  // numbers, points and boxes
    Digest& operator<<(const T& v) { return bytes(&v, sizeof v); }
    Digest& operator<<(const std::string& s) { return bytes(s.data(), s.size()) << s.size(); }
};

// Buffers that reach every branch of the layout: pulses and noise over all
// series, values at or below 0, a value beyond any screen, a NaN, a maximum so
// small that the scale leaves single precision, a single row.
std::vector<ResultBuffer> sampleBuffers() {
    std::vector<ResultBuffer> buffers;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> noise(0.0, 1.0);
    ResultBuffer stream(ModelKind::Stream);
    for (int i = 0; i < 5000; ++i) {
        ResultRow r{6 + i / 43200, 1 + i / 1440 % 30, i / 60 % 24, i % 60, {}};
        for (int k = 0; k < 14; ++k)
            r.values[static_cast<std::size_t>(k)] =
                (k + 1) * 1e-3 * std::exp(-std::pow((i % 1700 - 300.0 - 20 * k) / 80.0, 2)) + 1e-6 * noise(random);
        stream.rows.push_back(r);
    }
    stream.rows[777].values[13] = std::numeric_limits<double>::quiet_NaN();
    stream.rows[901].values[2] = -4e-3;
    buffers.push_back(stream);

    ResultBuffer ditch(ModelKind::Ditch);
    for (int i = 0; i < 900; ++i) {
        ResultRow r{12, 31, i / 60 % 24, i % 60, {}};
        for (int k = 0; k < 8; ++k) r.values[static_cast<std::size_t>(k)] = i % 7 == 0 ? -1.0 : (i % 5) * (k - 3.0);
        ditch.rows.push_back(r);
    }
    buffers.push_back(ditch);

    ResultBuffer tiny(ModelKind::Pond);
    for (int i = 0; i < 300; ++i)
        tiny.rows.push_back({1, 1, 0, i % 60, {1e-300 * i, 0, 0, 0, 0, 0, 0, i == 200 ? 1e300 : 3e-310}});
    buffers.push_back(tiny);

    ResultBuffer one(ModelKind::Pond);
    one.rows.push_back({2, 29, 23, 59, {0, 0, 0, 0, 0, 0, 0, 2.0}});
    buffers.push_back(one);
    return buffers;
}

const PlotRect kPlots[] = {{203, 310, 978, 504}, {57, 5, 1100, 260}, {100, 400, 700, 440}};

constexpr std::optional<double> kNoThreshold = std::nullopt;

// Every result of the layout, with both options off, for every buffer, plot
// and choice of series.
std::uint64_t layoutDigest() {
    Digest d;
    for (const ResultBuffer& b : sampleBuffers()) {
        for (const PlotRect& plot : kPlots) {
            for (int pick = 0; pick < 3; ++pick) {
                std::vector<bool> checked(kMaxResultValues, false);
                std::vector<int> wanted;
                for (int k = 0; k < b.valueCount; ++k) {
                    const bool on = pick == 0 ? k == b.valueCount - 1 : pick == 1 ? k % 2 == 0 : true;
                    checked[static_cast<std::size_t>(k)] = on;
                    if (on) wanted.push_back(k);
                }
                const ApplyOutcome outcome = applyScales(&b, checked, plot, kNoThreshold);
                const ChartScales s = outcome.scales.value_or(ChartScales{});
                d << outcome.message << s.verticalMaximum << s.horizontalStep << s.verticalScale;
                for (const DateLabel& l : dateLabels(&b, s, plot)) d << l.row << l.x << l.gridX << l.box << l.text;
                for (const ValueLabel& l : valueLabels(s, plot, ValueAxis::Linear)) d << l.step << l.y << l.box << l.text;
                for (int k : wanted)
                    for (const ChartPoint& p : seriesPoints(b, k, s, plot, ValueAxis::Linear)) d << p;
                for (const auto& line : seriesPolylines(b, wanted, s, plot, ValueAxis::Linear))
                    for (const ChartPoint& p : line) d << p;
            }
        }
    }
    return d.h;
}

}  // namespace

// The digest of the chart as it was before the options (taken on main at 39dc9de).
constexpr std::uint64_t kChartBeforeOptions = 9010825153345451901ull;

TEST(ChartOptions, BothOffIsTheChartAsBefore) { EXPECT_EQ(layoutDigest(), kChartBeforeOptions); }

namespace {
constexpr PlotRect kTall{100, 0, 1100, 200};

// Cwater rows with the given values, a minute apart.
ResultBuffer waterRows(std::initializer_list<double> values) {
    ResultBuffer b(ModelKind::Stream);
    int i = 0;
    for (double v : values) {
        ResultRow r{6, 1, 0, i++, {}};
        r.values[13] = v;
        b.rows.push_back(r);
    }
    return b;
}

ChartScales scalesOf(const ResultBuffer& b, PlotRect plot, std::optional<double> threshold = std::nullopt) {
    std::vector<bool> water(kMaxResultValues, false);
    water[13] = true;
    return applyScales(&b, water, plot, threshold).scales.value();
}
}  // namespace

TEST(ChartOptions, LogarithmicAxisShowsWholeDecadesWithZeroOnTheBottomEdge) {
    const ResultBuffer b = waterRows({0, -1, 3e-5, 1e-3, 0.7, std::numeric_limits<double>::quiet_NaN(), 1e-9});
    const ChartScales s = scalesOf(b, kTall);
    // From the decade of the least value above 0 (1e-9 lies further down than
    // eight decades below the top, so 1e-8 is the bottom) to the decade above 0.7.
    EXPECT_EQ(s.logBottom, -8);
    EXPECT_EQ(s.logTop, 0);
    EXPECT_EQ(s.logScale, 25.0f);
    EXPECT_DOUBLE_EQ(s.verticalMaximum, 0.84);  // the linear axis is the apply's as before
    std::vector<int> ys;
    for (int row = 0; row < 7; ++row)
        ys.push_back(seriesPoint(row, b.rows[static_cast<std::size_t>(row)].values[13], s, kTall,
                                 ValueAxis::Logarithmic).y);
    // 0, -1, NaN and 1e-9 (below 1e-8) on the bottom edge; 1e-3 five decades up.
    EXPECT_EQ(ys, (std::vector<int>{200, 200, 113, 75, 3, 200, 200}));  // 3e-5: 3.48 decades up; 0.7: 7.85

    std::vector<std::pair<int, std::string>> labels;
    for (const ValueLabel& l : valueLabels(s, kTall, ValueAxis::Logarithmic)) labels.emplace_back(l.y, l.text);
    EXPECT_EQ(labels, (std::vector<std::pair<int, std::string>>{{175, "1.00e-007"}, {150, "1.00e-006"},
                                                                {125, "1.00e-005"}, {100, "1.00e-004"},
                                                                {75, "1.00e-003"}, {50, "1.00e-002"},
                                                                {25, "1.00e-001"}, {0, "1.00e+000"}}));
    // Nothing above 0: no scale, every point on the bottom edge, no labels.
    const ChartScales none = scalesOf(waterRows({0, -2}), kTall);
    EXPECT_EQ(none.logScale, 0.0f);
    EXPECT_TRUE(valueLabels(none, kTall, ValueAxis::Logarithmic).empty());
    EXPECT_EQ(seriesPoint(0, 1.0, none, kTall, ValueAxis::Logarithmic).y, 200);
}

TEST(ChartOptions, ThresholdLineLiesInsideThePlotOnEitherAxis) {
    const ResultBuffer b = waterRows({3e-5, 1e-3, 0.7});
    struct Case {
        const char* what;
        double threshold;
        PlotRect plot;
        ValueAxis axis;
        std::optional<std::array<int, 5>> line;  // y, then the label box
    };
    const Case cases[] = {
        {"half the peak", 0.35, kTall, ValueAxis::Linear, std::array{116, 896, 102, 1096, 115}},
        {"above the peak: the scale reaches 1.2 x the threshold", 7.0, kTall, ValueAxis::Linear,
         std::array{33, 896, 19, 1096, 32}},
        {"near the top of a low plot: the label goes below", 7.0, {100, 0, 1100, 60}, ValueAxis::Linear,
         std::array{10, 896, 12, 1096, 25}},
        {"1e-3 on the log axis: two decades up of five", 1e-3, kTall, ValueAxis::Logarithmic,
         std::array{120, 896, 106, 1096, 119}},
        {"far below the values: the log axis reaches down to it", 1e-12, kTall, ValueAxis::Logarithmic,
         std::array{200, 896, 186, 1096, 199}},
        {"0 is no threshold", 0.0, kTall, ValueAxis::Linear, std::nullopt},
        {"nor is a negative one", -1.0, kTall, ValueAxis::Logarithmic, std::nullopt},
        {"nor NaN", std::numeric_limits<double>::quiet_NaN(), kTall, ValueAxis::Linear, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ChartScales s = scalesOf(b, c.plot, c.threshold);
        const auto line = thresholdLine(c.threshold, "Cwater", s, c.plot, c.axis);
        ASSERT_EQ(line.has_value(), c.line.has_value());
        if (!line) continue;
        EXPECT_EQ((std::array{line->y, line->box.left, line->box.top, line->box.right, line->box.bottom}), *c.line);
        EXPECT_EQ(line->text, "Cwater 기준 " + formatE2(c.threshold));
    }
    EXPECT_DOUBLE_EQ(scalesOf(b, kTall, 7.0).verticalMaximum, 8.4);
    EXPECT_EQ(scalesOf(b, kTall, 1e-12).logBottom, -12);
    // Before any apply (or after a delete) there is no line.
    EXPECT_FALSE(thresholdLine(0.35, "Cwater", ChartScales{}, kTall, ValueAxis::Linear));
    EXPECT_FALSE(thresholdLine(0.35, "Cwater", ChartScales{}, kTall, ValueAxis::Logarithmic));
}

TEST(ChartOptions, LogarithmicLinesShowWhatTheirPointsShow) {
    // Values spread over twelve decades at random, steps of a row at a time,
    // every pixel row's exact edge, powers of ten, zeros, negatives and NaN.
    std::mt19937 random(5);
    std::uniform_real_distribution<double> decade(-11.0, 1.0), step(-0.05, 0.05);
    const ChartScales s = scalesOf(waterRows({1e-6, 5.0}), kTall);
    ASSERT_EQ(s.logBottom, -6);
    double walk = -3;
    ResultBuffer b = waterRows({});
    for (int i = 0; i < 60000; ++i) {
        double v = 0;
        switch (i % 6) {
            case 0: v = std::pow(10.0, decade(random)); break;
            case 1: v = std::pow(10.0, walk += step(random)); break;
            case 2: v = std::pow(10.0, s.logBottom + (i / 6 % 220) / static_cast<double>(s.logScale)); break;
            case 3: v = std::pow(10.0, i / 6 % 13 - 10); break;
            case 4: v = i % 4 == 0 ? 0.0 : i % 4 == 1 ? -1e-3 : std::numeric_limits<double>::quiet_NaN(); break;
            default: v = std::pow(10.0, walk); break;
        }
        ResultRow r{6, 1, 0, 0, {}};
        r.values[13] = v;
        b.rows.push_back(r);
    }
    // Rows one pixel apart: every point is a column of its own, so the line is the points.
    const PlotRect wide{0, 0, 60000, 200};
    ChartScales one = s;
    one.horizontalStep = 1;
    const std::vector<ChartPoint> points = seriesPoints(b, 13, one, wide, ValueAxis::Logarithmic);
    std::vector<ChartPoint> expected;
    for (const ChartPoint& p : points)
        if (expected.empty() || !(expected.back() == p)) expected.push_back(p);
    EXPECT_EQ(seriesPolylines(b, {13}, one, wide, ValueAxis::Logarithmic)[0], expected);
}
