#include "core/results/result_summary.hpp"

#include <algorithm>
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

bool SummaryAccumulator::PeakSoFar::add(const double* values, int month, int day, int hour, int minute,
                                        std::size_t row, int year) {
    const double v = values[index];
    // Rounding to the printed digits keeps the order, so a row prints above
    // every earlier one exactly when it lies above the greatest double that
    // prints as the peak so far; a row that only ties it keeps the earlier
    // time stamp. Nothing above 0 (every positive value prints above 0) is
    // no maximum, and a value that is not a number never leads.
    if (!(v > printsAlikeUpTo)) return false;
    peak = {v, month, day, hour, minute, row, year};
    printsAlikeUpTo = std::isfinite(v) ? greatestPrintedAlike(v) : v;
    return true;
}

SummaryAccumulator::SummaryAccumulator(ModelKind kind, int year) : year_(year) {
    water_.index = waterSeriesIndex(kind);
    air_.index = airSeriesIndex(kind);
    soil_.index = soilSeriesIndex(kind);
}

void SummaryAccumulator::add(int month, int day, int hour, int minute, const double* values) {
    // A row whose month and day lie before those of the row above it starts
    // the next calendar year: a search across New Year or a whole run gives
    // the later year's rows after the earlier's.
    const int monthDay = monthDayOrder(month, day);
    if (rows_ > 0 && monthDay < previousMonthDay_) ++year_;
    previousMonthDay_ = monthDay;
    air_.add(values, month, day, hour, minute, rows_, year_);
    soil_.add(values, month, day, hour, minute, rows_, year_);
    // The water has left when its printed value is at most the printed
    // threshold, counted from the row of its maximum on.
    static const double kLeft = greatestPrintedAlike(kResidenceThreshold);
    if (water_.add(values, month, day, hour, minute, rows_, year_)) left_ = false;
    if (water_.peak.found() && !left_ && values[water_.index] <= kLeft) {
        left_ = true;
        leftAt_ = {year_, month, day, hour, minute, 0};
    }
    ++rows_;
}

ResultSummary SummaryAccumulator::summary() const {
    ResultSummary summary;
    summary.water = water_.peak;
    summary.air = air_.peak;
    summary.soil = soil_.peak;
    summary.waterMinutesToMaximum = minutesToMaximum(summary.water);
    summary.airMinutesToMaximum = minutesToMaximum(summary.air);
    summary.soilMinutesToMaximum = minutesToMaximum(summary.soil);
    if (left_) {
        const SeriesPeak& w = summary.water;
        summary.residenceMinutes = secondsBetween({w.year, w.month, w.day, kSprayHour, 0, 0}, leftAt_) / 60;
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
