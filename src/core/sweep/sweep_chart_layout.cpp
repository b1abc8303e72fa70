#include "core/sweep/sweep_chart_layout.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/common/number_text.hpp"
#include "core/results/result_columns.hpp"
#include "core/sweep/sweep_csv.hpp"
#include "core/sweep/sweep_messages.hpp"
#include "core/sweep/sweep_summary.hpp"

namespace verdanel {

namespace {

// A round step (1, 2 or 5 times a power of ten) giving about `wanted` ticks over `span`.
double roundStep(double span, int wanted) {
    const double raw = span / std::max(1, wanted);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (raw <= m * power) return m * power;
    return 10 * power;
}

std::string tickText(double v, bool whole) {
    char text[32];
    if (whole) std::snprintf(text, sizeof text, "%lld", static_cast<long long>(std::llround(v)));
    else std::snprintf(text, sizeof text, "%g", std::fabs(v) < 1e-12 ? 0.0 : v);
    return text;
}

}  // namespace

SweepChartLayout sweepChartLayout(const SweepOutcome& sweep, std::optional<double> threshold, int width, int height) {
    SweepChartLayout layout;
    layout.plot = {kSweepChartLeft, kSweepChartTop, width - kSweepChartRight - 1, height - kSweepChartBottom - 1};
    const PlotRect& rect = layout.plot;
    const int water = resultValueCount(sweep.kind) - 1;
    char title[128];
    std::snprintf(title, sizeof title, msg::kSweepChartValueTitleFormat, valueUnit(sweep.kind, water));
    layout.valueTitle = title;
    layout.variantTitle = sweep.plan.title();

    // The three series as rows of a buffer, one row per finished variant in
    // the order of their values, so that the result chart's scales apply.
    const std::array<EndpointKey, 3> keys{{{water, EndpointMeasure::Peak, 0},
                                           {water, EndpointMeasure::HighestMean, 2},    // 4 days
                                           {water, EndpointMeasure::HighestMean, 5}}};  // 21 days
    const std::array<const char*, 3> names{msg::kSweepChartPeak, msg::kSweepChartMean4, msg::kSweepChartMean21};
    std::vector<const VariantOutcome*> finished;
    for (const VariantOutcome& v : sweep.variants)
        if (v.status == VariantStatus::Finished && static_cast<int>(v.endpoints.size()) > water) finished.push_back(&v);
    std::stable_sort(finished.begin(), finished.end(),
                     [](const VariantOutcome* a, const VariantOutcome* b) { return a->value < b->value; });
    ResultBuffer rows(sweep.kind);
    for (const VariantOutcome* v : finished) {
        ResultRow& r = rows.rows.emplace_back();
        for (std::size_t s = 0; s < keys.size(); ++s)
            r.values[s] = endpointValue(v->endpoints[static_cast<std::size_t>(water)], keys[s]).value_or(0.0);
    }
    const ApplyOutcome applied = applyScales(&rows, {true, true, true}, rect, threshold);
    if (finished.empty() || !applied.scales || applied.scales->logScale == 0) {
        layout.message = msg::kSweepChartNoData;
        return layout;
    }
    layout.scales = *applied.scales;
    // The result chart leaves the bottom edge unlabelled; a sweep's few points need its decade named.
    layout.valueLabels.push_back({layout.scales.logBottom, rect.bottom,
                                  LabelBox{rect.left - 57, rect.bottom - 5, rect.left - 2, rect.bottom + 5},
                                  formatE2(std::pow(10.0, layout.scales.logBottom))});
    for (const ValueLabel& label : valueLabels(layout.scales, rect, ValueAxis::Logarithmic))
        if (label.box.bottom < layout.valueLabels.back().box.top) layout.valueLabels.push_back(label);

    // The variant axis: linear over the values, a little room at both ends.
    double low = finished.front()->value, high = finished.back()->value;
    if (high - low <= 0) {
        low -= 1;
        high += 1;
    }
    const double pad = (high - low) * 0.03;
    low -= pad;
    high += pad;
    const double pixels = static_cast<double>(rect.right - rect.left);
    auto xOf = [&](double v) { return rect.left + static_cast<int>(std::lround((v - low) / (high - low) * pixels)); };
    const bool whole = sweep.plan.shiftsDates();
    double step = roundStep(high - low, std::max(2, static_cast<int>(pixels / 70)));
    if (whole) step = std::max(1.0, std::round(step));
    for (double t = std::ceil(low / step) * step; t <= high; t += step) layout.variantTicks.push_back({xOf(t), tickText(t, whole)});

    for (std::size_t s = 0; s < keys.size(); ++s) {
        SweepChartSeries& series = layout.series[s];
        series.name = names[s];
        std::vector<double> values;
        for (std::size_t i = 0; i < finished.size(); ++i) {
            const double v = rows.rows[i].values[s];
            values.push_back(v);
            series.points.push_back({xOf(finished[i]->value),
                                     seriesPoint(0, v, layout.scales, rect, ValueAxis::Logarithmic).y});
        }
        const std::optional<Distribution> d = distributionOf(values);
        series.p90 = d ? d->p90 : 0;
        series.p90Y = seriesPoint(0, series.p90, layout.scales, rect, ValueAxis::Logarithmic).y;
        series.p90Text = "P90 " + formatE2(series.p90);
    }
    // The labels right of the plot, top to bottom, at least a line apart.
    std::array<std::size_t, 3> order{0, 1, 2};
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return layout.series[a].p90Y < layout.series[b].p90Y; });
    int lastY = -1000;
    for (std::size_t s : order) {
        SweepChartSeries& series = layout.series[s];
        series.p90LabelY = std::max(series.p90Y, lastY + 15);
        lastY = series.p90LabelY;
    }
    if (threshold)
        layout.threshold = thresholdLine(*threshold, valueColumnHeader(sweep.kind, water), layout.scales, rect,
                                         ValueAxis::Logarithmic);
    return layout;
}

}  // namespace verdanel
