#pragma once
// The summary values of a search: the maxima of Cair(spray1), Csoil(spray1)
// and Cwater, the time from 10:00 of the maximum's day to the maximum, and
// how long the water stays above 0.04 after its maximum.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/common/civil_time.hpp"
#include "core/results/printed_peak.hpp"
#include "core/results/result_buffer.hpp"

namespace verdanel {

// The greatest value of one series as "%e" prints it and the time of the
// first row that prints it; day 0 (an empty time stamp) when no value was
// above 0.
struct SeriesPeak {
    double maximum = 0;   // the value of that row (it prints as the greatest)
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    std::size_t row = 0;  // its index in the buffer
    int year = 0;         // its calendar year
    bool found() const { return day != 0; }
};

struct ResultSummary {
    SeriesPeak water;
    SeriesPeak air;
    SeriesPeak soil;
    // Whole minutes; 0 stands for "no value" and is shown as "-".
    std::int64_t waterMinutesToMaximum = 0;
    std::int64_t airMinutesToMaximum = 0;
    std::int64_t soilMinutesToMaximum = 0;
    // May be negative when the water falls back before 10:00 of the maximum's day.
    std::int64_t residenceMinutes = 0;
};

// The seven texts of the final results page, as shown and exported. All
// empty means a cleared page (before any search, after a delete or an
// empty search).
struct SummaryTexts {
    std::string waterMaximum;
    std::string waterTimeToMaximum;
    std::string waterResidence;
    std::string airMaximum;
    std::string airTimeToMaximum;
    std::string soilMaximum;
    std::string soilTimeToMaximum;
    friend bool operator==(const SummaryTexts&, const SummaryTexts&) = default;
};

// The water level at or below which the residence ends.
inline constexpr double kResidenceThreshold = 0.04;

// The rows are read in buffer order, which is time order. year: the year of
// the first row (the search's start date). A row whose month and day come
// before those of the row above it begins the next year, so a search across
// New Year (rows of the earlier year, then the later's) and a whole run are
// counted in their own years; a search in month and day order stays in one.
// Maxima, their ties and the residence threshold are judged on the values
// as "%e" prints them, so that the summary agrees with the printed rows.
ResultSummary computeSummary(const ResultBuffer& buffer, int year);

// The same summary taken row by row as a run hands its rows over, so that
// the run need not keep them: add the rows in time order, then read it.
class SummaryAccumulator {
public:
    SummaryAccumulator(ModelKind kind, int year);
    void add(int month, int day, int hour, int minute, const double* values);
    void add(const ResultRow& row) { add(row.month, row.day, row.hour, row.minute, row.values.data()); }
    ResultSummary summary() const;

private:
    struct PeakTime {
        int month, day, hour, minute;
        std::size_t row;
        int year;
        bool left;  // the water only: a row from this one on prints at most the residence threshold
        CivilTime leftAt;
    };
    SeriesPeak peakOf(const PrintedPeak<PeakTime>& peak) const;

    int waterIndex_, airIndex_, soilIndex_;
    PrintedPeak<PeakTime> water_, air_, soil_;
    std::size_t rows_ = 0;
    int year_ = 0;
    int previousMonthDay_ = 0;
};
SummaryTexts summaryTexts(const ResultSummary& summary);
inline SummaryTexts summarize(const ResultBuffer& buffer, int year) {
    return summaryTexts(computeSummary(buffer, year));
}

// "%e" for a maximum, "-" for 0.
std::string maximumText(double maximum);
// "-", "%02d분" or "%02d시간 %02d분".
std::string timeToMaximumText(std::int64_t minutes);
// As above, and "%02d일 %02d시간 %02d분" from one day on.
std::string residenceText(std::int64_t minutes);

}  // namespace verdanel
