// The chart's two options: a logarithmic value axis and a threshold line.
// With both off the chart is exactly the chart that came before them.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "core/results/chart_layout.hpp"

using namespace verdanel;

namespace {

// FNV-1a over everything the layout gives, so that one number pins it.
struct Digest {
    std::uint64_t h = 1469598103934665603ull;
    void bytes(const void* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) h = (h ^ static_cast<const unsigned char*>(p)[i]) * 1099511628211ull;
    }
    void add(std::int64_t v) { bytes(&v, sizeof v); }
    void add(double v) { add(std::bit_cast<std::int64_t>(v)); }
    void add(float v) { add(static_cast<std::int64_t>(std::bit_cast<std::int32_t>(v))); }
    void add(const std::string& s) {
        add(static_cast<std::int64_t>(s.size()));
        bytes(s.data(), s.size());
    }
    void add(ChartPoint p) {
        add(std::int64_t{p.x});
        add(std::int64_t{p.y});
    }
    void add(const LabelBox& b) {
        for (int v : {b.left, b.top, b.right, b.bottom}) add(static_cast<std::int64_t>(v));
    }
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

// Every result of the layout for every buffer, plot and choice of series.
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
                const ApplyOutcome outcome = applyScales(&b, checked, plot);
                d.add(outcome.message);
                const ChartScales s = outcome.scales.value_or(ChartScales{});
                d.add(s.verticalMaximum);
                d.add(s.horizontalStep);
                d.add(s.verticalScale);
                for (const DateLabel& l : dateLabels(&b, s, plot)) {
                    d.add(std::int64_t{l.row});
                    d.add(l.x);
                    d.add(std::int64_t{l.gridX});
                    d.add(l.box);
                    d.add(l.text);
                }
                for (const ValueLabel& l : valueLabels(s, plot)) {
                    d.add(std::int64_t{l.step});
                    d.add(std::int64_t{l.y});
                    d.add(l.box);
                    d.add(l.text);
                }
                for (int k : wanted)
                    for (const ChartPoint& p : seriesPoints(b, k, s, plot)) d.add(p);
                for (const auto& line : seriesPolylines(b, wanted, s, plot))
                    for (const ChartPoint& p : line) d.add(p);
            }
        }
    }
    return d.h;
}

}  // namespace

// The digest of the chart as it was before the options (taken on main at 39dc9de).
constexpr std::uint64_t kChartBeforeOptions = 12815773888847297577ull;

TEST(ChartOptions, BothOffIsTheChartAsBefore) { EXPECT_EQ(layoutDigest(), kChartBeforeOptions); }
