#include "core/results/result_summary.hpp"

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

SeriesPeak peakOf(const ResultBuffer& buffer, int index) {
    SeriesPeak peak;
    for (const ResultRow& row : buffer.rows) {
        const double value = row.values[static_cast<std::size_t>(index)];
        // Strictly greater: of equal maxima the earliest row keeps the time stamp.
        if (value > peak.maximum) peak = {value, row.month, row.day, row.hour, row.minute};
    }
    return peak;
}

std::int64_t minutesToMaximum(const SeriesPeak& peak, int year) {
    if (peak.day == 0) return 0;
    const CivilTime from{year, peak.month, peak.day, kSprayHour, 0, 0};
    const CivilTime to{year, peak.month, peak.day, peak.hour, peak.minute, 0};
    std::int64_t seconds = secondsBetween(from, to);
    // A maximum before 10:00 belongs to the spray of the day before.
    if (seconds / 60 < 0) seconds += kSecondsPerDay;
    return seconds / 60;
}

std::int64_t residenceMinutes(const ResultBuffer& buffer, const SeriesPeak& water, int year) {
    if (!water.found()) return 0;
    const int index = buffer.waterIndex();
    bool reached = false;
    for (const ResultRow& row : buffer.rows) {
        if (!reached) {
            reached = row.month == water.month && row.day == water.day && row.hour == water.hour &&
                      row.minute == water.minute;
            if (!reached) continue;
        }
        if (row.values[static_cast<std::size_t>(index)] <= kResidenceThreshold) {
            const CivilTime from{year, water.month, water.day, kSprayHour, 0, 0};
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
    summary.water = peakOf(buffer, buffer.waterIndex());
    summary.air = peakOf(buffer, buffer.airIndex());
    summary.soil = peakOf(buffer, buffer.soilIndex());
    summary.waterMinutesToMaximum = minutesToMaximum(summary.water, year);
    summary.airMinutesToMaximum = minutesToMaximum(summary.air, year);
    summary.soilMinutesToMaximum = minutesToMaximum(summary.soil, year);
    summary.residenceMinutes = residenceMinutes(buffer, summary.water, year);
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
