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
int monthDayOrder(const ResultRow& row) { return row.month * 32 + row.day; }

// The rows are in time order. A row whose month and day lie before those of
// the row above it starts the next calendar year: a search across New Year
// or a whole run gives the later year's rows after the earlier's.
int yearOfRow(const ResultBuffer& buffer, std::size_t index, int startYear) {
    int year = startYear;
    for (std::size_t i = 1; i <= index && i < buffer.rows.size(); ++i) {
        if (monthDayOrder(buffer.rows[i]) < monthDayOrder(buffer.rows[i - 1])) ++year;
    }
    return year;
}

// The greatest value as printed, and the first row that prints it. The
// values are compared as "%e" prints them: rows that print the same maximum
// are tied, and the earliest of them keeps the time stamp.
SeriesPeak peakOf(const ResultBuffer& buffer, int index, int startYear) {
    const auto k = static_cast<std::size_t>(index);
    double greatest = 0;
    for (const ResultRow& row : buffer.rows) greatest = std::max(greatest, row.values[k]);
    SeriesPeak peak;
    // Nothing above 0 (every positive value prints above 0): no maximum.
    if (!(greatest > 0)) return peak;
    // Rounding to the printed digits keeps the order, so the rows that print
    // like the greatest value are exactly those from this value up.
    const double printsAsGreatest = std::isfinite(greatest) ? leastPrintedAlike(greatest) : greatest;
    for (std::size_t i = 0; i < buffer.rows.size(); ++i) {
        const ResultRow& row = buffer.rows[i];
        if (row.values[k] >= printsAsGreatest) {
            peak = {row.values[k], row.month, row.day, row.hour, row.minute, i, yearOfRow(buffer, i, startYear)};
            break;
        }
    }
    return peak;
}

std::int64_t minutesToMaximum(const SeriesPeak& peak) {
    if (peak.day == 0) return 0;
    const CivilTime from{peak.year, peak.month, peak.day, kSprayHour, 0, 0};
    const CivilTime to{peak.year, peak.month, peak.day, peak.hour, peak.minute, 0};
    std::int64_t seconds = secondsBetween(from, to);
    // A maximum before 10:00 belongs to the spray of the day before.
    if (seconds / 60 < 0) seconds += kSecondsPerDay;
    return seconds / 60;
}

std::int64_t residenceMinutes(const ResultBuffer& buffer, const SeriesPeak& water) {
    if (!water.found()) return 0;
    const auto k = static_cast<std::size_t>(buffer.waterIndex());
    // The water has left when its printed value is at most the printed threshold.
    static const double kLeft = greatestPrintedAlike(kResidenceThreshold);
    int year = water.year;
    for (std::size_t i = water.row; i < buffer.rows.size(); ++i) {
        const ResultRow& row = buffer.rows[i];
        if (i > water.row && monthDayOrder(row) < monthDayOrder(buffer.rows[i - 1])) ++year;
        if (row.values[k] <= kLeft) {
            const CivilTime from{water.year, water.month, water.day, kSprayHour, 0, 0};
            const CivilTime to{year, row.month, row.day, row.hour, row.minute, 0};
            return secondsBetween(from, to) / 60;
        }
    }
    return 0;
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

ResultSummary computeSummary(const ResultBuffer& buffer, int year) {
    ResultSummary summary;
    summary.water = peakOf(buffer, buffer.waterIndex(), year);
    summary.air = peakOf(buffer, buffer.airIndex(), year);
    summary.soil = peakOf(buffer, buffer.soilIndex(), year);
    summary.waterMinutesToMaximum = minutesToMaximum(summary.water);
    summary.airMinutesToMaximum = minutesToMaximum(summary.air);
    summary.soilMinutesToMaximum = minutesToMaximum(summary.soil);
    summary.residenceMinutes = residenceMinutes(buffer, summary.water);
    return summary;
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
