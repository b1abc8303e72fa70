#include "core/results/result_summary.hpp"

#include <cmath>
#include <cstdio>

#include "core/common/civil_time.hpp"
#include "core/common/number_text.hpp"
#include "core/results/result_messages.hpp"

namespace verdanel {

namespace {
constexpr std::int64_t kMinutesPerHour = 60;
constexpr std::int64_t kMinutesPerDay = 1440;
constexpr std::int64_t kSecondsPerDay = 86400;
// Times to the maximum and the residence are counted from this hour of the maximum's day.
constexpr int kSprayHour = 10;

// Month and day as one number that orders like the calendar.
int monthDayOrder(int month, int day) { return month * 32 + day; }

std::int64_t minutesToMaximum(const SeriesPeak& peak) {
    if (peak.day == 0) return 0;
    const CivilTime from{peak.year, peak.month, peak.day, kSprayHour, 0, 0};
    const CivilTime to{peak.year, peak.month, peak.day, peak.hour, peak.minute, 0};
    std::int64_t seconds = secondsBetween(from, to);
    // A maximum before 10:00 belongs to the spray of the day before.
    if (seconds / 60 < 0) seconds += kSecondsPerDay;
    return seconds / 60;
}

std::string printed(const char* format, long long a) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, static_cast<int>(a));
    return buf;
}
std::string printed(const char* format, long long a, long long b) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, static_cast<int>(a), static_cast<int>(b));
    return buf;
}
std::string printed(const char* format, long long a, long long b, long long c) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, static_cast<int>(a), static_cast<int>(b), static_cast<int>(c));
    return buf;
}
}  // namespace

SummaryAccumulator::SummaryAccumulator(ModelKind kind, int year)
    : waterIndex_(waterSeriesIndex(kind)), airIndex_(airSeriesIndex(kind)), soilIndex_(soilSeriesIndex(kind)),
      year_(year) {}

void SummaryAccumulator::add(int month, int day, int hour, int minute, const double* values) {
    // A row whose month and day lie before those of the row above it starts
    // the next calendar year: a search across New Year or a whole run gives
    // the later year's rows after the earlier's.
    const int monthDay = monthDayOrder(month, day);
    if (rows_ > 0 && monthDay < previousMonthDay_) ++year_;
    previousMonthDay_ = monthDay;
    const PeakTime here{month, day, hour, minute, rows_, year_, false, {}};
    air_.add(values[airIndex_], here);
    soil_.add(values[soilIndex_], here);
    water_.add(values[waterIndex_], here);
    // The water has left when its printed value is at most the printed
    // threshold, counted from the row of its maximum on: this row for every
    // row that may still be the maximum and has not seen such a row.
    static const double kLeft = greatestPrintedAlike(kResidenceThreshold);
    if (values[waterIndex_] <= kLeft) {
        water_.markSince([&](PeakTime& t) {
            t.left = true;
            t.leftAt = {year_, month, day, hour, minute, 0};
        });
    }
    ++rows_;
}

SeriesPeak SummaryAccumulator::peakOf(const PrintedPeak<PeakTime>& peak) const {
    const auto* first = peak.first();
    if (!first) return {};
    const PeakTime& t = first->where;
    return {first->value, t.month, t.day, t.hour, t.minute, t.row, t.year};
}

ResultSummary SummaryAccumulator::summary() const {
    ResultSummary summary;
    summary.water = peakOf(water_);
    summary.air = peakOf(air_);
    summary.soil = peakOf(soil_);
    summary.waterMinutesToMaximum = minutesToMaximum(summary.water);
    summary.airMinutesToMaximum = minutesToMaximum(summary.air);
    summary.soilMinutesToMaximum = minutesToMaximum(summary.soil);
    if (const auto* first = water_.first(); first && first->where.left) {
        const SeriesPeak& w = summary.water;
        summary.residenceMinutes = secondsBetween({w.year, w.month, w.day, kSprayHour, 0, 0}, first->where.leftAt) / 60;
    }
    return summary;
}

ResultSummary computeSummary(const ResultBuffer& buffer, int year) {
    SummaryAccumulator accumulator(buffer.kind, year);
    for (const ResultRow& row : buffer.rows) accumulator.add(row);
    return accumulator.summary();
}

std::string maximumText(double maximum) { return maximum != 0 ? formatE(maximum) : std::string(msg::kNoValue); }

std::string timeToMaximumText(std::int64_t minutes) {
    if (minutes == 0) return msg::kNoValue;
    if (minutes < kMinutesPerHour) return printed(msg::kMinutesFormat, minutes);
    return printed(msg::kHoursMinutesFormat, minutes / kMinutesPerHour, minutes % kMinutesPerHour);
}

std::string residenceText(std::int64_t minutes) {
    if (minutes == 0) return msg::kNoValue;
    if (minutes < kMinutesPerHour) return printed(msg::kMinutesFormat, minutes);
    if (minutes < kMinutesPerDay) {
        return printed(msg::kHoursMinutesFormat, minutes / kMinutesPerHour, minutes % kMinutesPerHour);
    }
    return printed(msg::kDaysHoursMinutesFormat, minutes / kMinutesPerDay,
                   (minutes % kMinutesPerDay) / kMinutesPerHour, minutes % kMinutesPerHour);
}

SummaryTexts summaryTexts(const ResultSummary& summary) {
    SummaryTexts texts;
    texts.waterMaximum = maximumText(summary.water.maximum);
    texts.waterTimeToMaximum = timeToMaximumText(summary.waterMinutesToMaximum);
    texts.waterResidence = residenceText(summary.residenceMinutes);
    texts.airMaximum = maximumText(summary.air.maximum);
    texts.airTimeToMaximum = timeToMaximumText(summary.airMinutesToMaximum);
    texts.soilMaximum = maximumText(summary.soil.maximum);
    texts.soilTimeToMaximum = timeToMaximumText(summary.soilMinutesToMaximum);
    return texts;
}

}  // namespace verdanel
