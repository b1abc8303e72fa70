#include "core/sweep/sweep_summary.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/common/number_text.hpp"
#include "core/results/exposure_messages.hpp"

namespace verdanel {

std::optional<double> endpointValue(const ColumnEndpoints& e, const EndpointKey& key) {
    const ThresholdEndpoints* t = e.threshold ? &*e.threshold : nullptr;
    switch (key.measure) {
        case EndpointMeasure::Peak: return e.peak;
        case EndpointMeasure::HighestMean:
            return key.window < e.highestMean.size() ? e.highestMean[key.window] : std::nullopt;
        case EndpointMeasure::MinutesAbove:
            return t ? std::optional<double>(static_cast<double>(t->minutesAbove)) : std::nullopt;
        case EndpointMeasure::Events:
            return t ? std::optional<double>(static_cast<double>(t->events)) : std::nullopt;
        case EndpointMeasure::LongestEvent:
            return t ? std::optional<double>(static_cast<double>(t->longestEventMinutes)) : std::nullopt;
        case EndpointMeasure::PeakToThreshold: return t ? std::optional<double>(t->peakToThreshold) : std::nullopt;
    }
    return std::nullopt;
}

const char* endpointJsonName(EndpointMeasure measure) {
    switch (measure) {
        case EndpointMeasure::Peak: return "peak";
        case EndpointMeasure::HighestMean: return "twa";
        case EndpointMeasure::MinutesAbove: return "minutes_above";
        case EndpointMeasure::Events: return "events";
        case EndpointMeasure::LongestEvent: return "longest_event_minutes";
        case EndpointMeasure::PeakToThreshold: return "peak_to_threshold";
    }
    return "";
}

std::string endpointLabel(const EndpointKey& key) {
    switch (key.measure) {
        case EndpointMeasure::Peak: return msg::kEndpointPeak;
        case EndpointMeasure::HighestMean: {
            char text[64];
            std::snprintf(text, sizeof text, msg::kEndpointHighestMeanFormat, kAveragingDays[key.window]);
            return text;
        }
        case EndpointMeasure::MinutesAbove: return msg::kEndpointMinutesAbove;
        case EndpointMeasure::Events: return msg::kEndpointEvents;
        case EndpointMeasure::LongestEvent: return msg::kEndpointLongestEvent;
        case EndpointMeasure::PeakToThreshold: return msg::kEndpointPeakToThreshold;
    }
    return {};
}

std::string endpointValueText(EndpointMeasure measure, double value) {
    const bool count = measure == EndpointMeasure::MinutesAbove || measure == EndpointMeasure::Events ||
                       measure == EndpointMeasure::LongestEvent;
    if (!count) return formatE(value);
    char text[32];
    if (value == std::floor(value)) std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    else std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::vector<EndpointKey> endpointKeys(int valueIndex, bool withThreshold) {
    std::vector<EndpointKey> keys{{valueIndex, EndpointMeasure::Peak, 0}};
    for (std::size_t w = 0; w < kAveragingDays.size(); ++w) keys.push_back({valueIndex, EndpointMeasure::HighestMean, w});
    if (withThreshold) {
        for (EndpointMeasure m : {EndpointMeasure::MinutesAbove, EndpointMeasure::Events, EndpointMeasure::LongestEvent,
                                  EndpointMeasure::PeakToThreshold})
            keys.push_back({valueIndex, m, 0});
    }
    return keys;
}

double percentileOfSorted(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0;
    const double h = static_cast<double>(sorted.size() - 1) * p;
    const double below = std::floor(h);
    const auto i = static_cast<std::size_t>(below);
    if (i + 1 >= sorted.size()) return sorted.back();
    return sorted[i] + (h - below) * (sorted[i + 1] - sorted[i]);
}

std::optional<Distribution> distributionOf(const std::vector<double>& values) {
    if (values.empty()) return std::nullopt;
    Distribution d;
    d.count = values.size();
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    d.minimum = sorted.front();
    d.median = percentileOfSorted(sorted, 0.5);
    d.p90 = percentileOfSorted(sorted, 0.9);
    d.maximum = sorted.back();
    // The first value that prints as the greatest: values that print alike are equal to the reader.
    const std::int64_t greatest = printedKey(d.maximum);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (printedKey(values[i]) == greatest) {
            d.maximumAt = i;
            break;
        }
    }
    return d;
}

std::vector<EndpointDistribution> summarizeSweep(const SweepOutcome& sweep) {
    std::vector<EndpointDistribution> summary;
    const int columns = resultValueCount(sweep.kind);
    for (int k = 0; k < columns; ++k) {
        const std::size_t column = static_cast<std::size_t>(k);
        const bool withThreshold = std::any_of(sweep.variants.begin(), sweep.variants.end(), [&](const VariantOutcome& v) {
                                 return column < v.endpoints.size() && v.endpoints[column].threshold.has_value();
                             });
        for (const EndpointKey& key : endpointKeys(k, withThreshold)) {
            std::vector<double> values;
            std::vector<std::size_t> variantOf;
            for (std::size_t i = 0; i < sweep.variants.size(); ++i) {
                const VariantOutcome& v = sweep.variants[i];
                if (v.status != VariantStatus::Finished || column >= v.endpoints.size()) continue;
                if (const std::optional<double> x = endpointValue(v.endpoints[column], key)) {
                    values.push_back(*x);
                    variantOf.push_back(i);
                }
            }
            if (const std::optional<Distribution> d = distributionOf(values))
                summary.push_back({key, *d, variantOf[d->maximumAt]});
        }
    }
    return summary;
}

}  // namespace verdanel
