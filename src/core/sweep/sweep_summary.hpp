#pragma once
// The distribution of each exposure endpoint over the variants of a sweep:
// least, median, 90th percentile and greatest value, and the variant that
// gives the greatest.
//
// Percentiles are those of the sorted values x[0] <= ... <= x[n-1] with
// linear interpolation between closest ranks: the p-th percentile lies at
// rank h = (n - 1) p, between x[floor h] and x[floor h + 1] in proportion to
// the fraction of h (a spreadsheet's PERCENTILE.INC). The median is the
// 50th percentile (the mean of the two middle values of an even count).
// The variant of the greatest value is the first variant, in plan order,
// whose value prints ("%e") as the greatest does.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/results/exposure_endpoints.hpp"
#include "core/sweep/sweep_run.hpp"

namespace verdanel {

enum class EndpointMeasure { Peak, HighestMean, MinutesAbove, Events, LongestEvent, PeakToThreshold };

// One endpoint of one column: the peak, the highest mean over
// kAveragingDays[window] days, or one of the four threshold endpoints.
struct EndpointKey {
    int valueIndex = 0;
    EndpointMeasure measure = EndpointMeasure::Peak;
    std::size_t window = 0;  // for HighestMean
};

// The endpoint's value, none where the endpoints have none (a window longer
// than the rows, a threshold endpoint without a threshold).
std::optional<double> endpointValue(const ColumnEndpoints& endpoints, const EndpointKey& key);
// "peak", "twa_4", "minutes_above", ...: the JSON key (the window apart).
const char* endpointJsonName(EndpointMeasure measure);
// "최대 농도", "최대 4일 평균 농도", ...: the endpoints table's label.
std::string endpointLabel(const EndpointKey& key);
// A value of the endpoint as the tables print it: concentrations and ratios
// "%e", minutes and events as whole numbers (a median or percentile between
// two whole numbers with one decimal).
std::string endpointValueText(EndpointMeasure measure, double value);
// Every endpoint of a column: the peak, the nine means, and the four
// threshold endpoints when `withThreshold`.
std::vector<EndpointKey> endpointKeys(int valueIndex, bool withThreshold);

struct Distribution {
    std::size_t count = 0;  // values it is made of
    double minimum = 0;
    double median = 0;
    double p90 = 0;
    double maximum = 0;
    std::size_t maximumAt = 0;  // index (in the given order) of the value giving the maximum
};

// The p-th percentile (0 <= p <= 1) of values sorted ascending, as above.
double percentileOfSorted(const std::vector<double>& sorted, double p);
// The distribution of values in variant order; none for no values.
std::optional<Distribution> distributionOf(const std::vector<double>& values);

struct EndpointDistribution {
    EndpointKey key;
    Distribution distribution;
    std::size_t maximumVariant = 0;  // index into the sweep's variants
};

// For every column and endpoint, over the finished variants that have it,
// in column order then endpoint order. Endpoints no finished variant has
// are left out.
std::vector<EndpointDistribution> summarizeSweep(const SweepOutcome& sweep);

}  // namespace verdanel
