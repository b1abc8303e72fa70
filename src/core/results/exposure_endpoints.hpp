#pragma once
// Exposure endpoints of a search: for one value column, the peak and its
// time, the highest time-weighted averages over fixed windows of days, and,
// for a threshold, how long and how often the value stays above it.
//
// The rows are a search's rows in buffer order, which is time order (a range
// across New Year included). Each row is one minute. Windows and exceedance
// events run over consecutive minutes only: where the next row is not the
// minute after the row before it (a search of 01-01 ~ 12-31 over a run that
// crosses New Year puts the later January before the earlier December),
// the series is cut, and no window or event reaches across the cut. The
// years of the rows are counted as the summary counts them: from the
// search's start year, the next year from a row whose month and day come
// before those of the row above it.
//
// Threshold comparisons are made on the values as "%e" prints them: a row is
// above the threshold when its printed value is greater than the printed
// threshold. A value that prints exactly as the threshold is not above it.
//
//     const ColumnEndpoints e = columnEndpoints(rows, rows.waterIndex(), 2010, 0.05);
//     for (const EndpointLine& line : endpointLines(e, rows.kind)) ...
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/civil_time.hpp"
#include "core/results/result_buffer.hpp"

namespace verdanel {

class Prompter;

// The averaging windows, in days (1,440 rows a day).
inline constexpr std::array<int, 9> kAveragingDays = {1, 2, 4, 7, 14, 21, 28, 60, 90};

struct ThresholdEndpoints {
    double threshold = 0;
    std::int64_t minutesAbove = 0;         // rows above the threshold
    std::int64_t events = 0;               // maximal runs of consecutive rows above
    std::int64_t longestEventMinutes = 0;  // rows in the longest run
    double peakToThreshold = 0;            // peak / threshold
};

struct ColumnEndpoints {
    int valueIndex = 0;
    std::size_t rows = 0;
    // The greatest value as printed (its first row's value); 0 when no value
    // prints above 0, and then there is no peak time.
    double peak = 0;
    std::optional<std::size_t> peakRow;
    std::string peakAt;  // "MM-DD HH:MM" of peakRow; empty without one
    // The highest mean over any kAveragingDays[i] x 1,440 consecutive
    // minutes; none when no run of consecutive minutes is that long (in an
    // ordinary search: when there are fewer rows).
    std::array<std::optional<double>, kAveragingDays.size()> highestMean;
    std::optional<ThresholdEndpoints> threshold;
};

// Where a new run of consecutive minutes begins: index 0 and every row that
// is not the minute after the row before it. `year` is the first row's year.
std::vector<std::size_t> minuteRunStarts(const ResultBuffer& rows, int year);

// The endpoints of value column `valueIndex`; `threshold` when the user gave
// one (a finite value above 0, see parseThreshold). O(rows).
ColumnEndpoints columnEndpoints(const ResultBuffer& rows, int valueIndex, int year,
                                std::optional<double> threshold = std::nullopt);
// The same with the runs of minuteRunStarts already found.
ColumnEndpoints columnEndpoints(const ResultBuffer& rows, int valueIndex, const std::vector<std::size_t>& runStarts,
                                std::optional<double> threshold = std::nullopt);

// Every value column, in value order; thresholds[k] for column k (missing
// entries: none).
std::vector<ColumnEndpoints> allEndpoints(const ResultBuffer& rows, int year,
                                          const std::vector<std::optional<double>>& thresholds = {});

// The value columns of a run's consecutive minutes from `first` on, column
// after column, as a run that keeps no rows collects them: value k of row i
// is values[k * rows + i]. The same endpoints as allEndpoints finds in a
// search of the whole run.
struct MinuteSeries {
    ModelKind kind = ModelKind::Stream;
    CivilTime first;  // the minute of row 0
    std::size_t rows = 0;
    const double* values = nullptr;
    const double* column(int k) const { return values + static_cast<std::size_t>(k) * rows; }
};
std::vector<ColumnEndpoints> allEndpoints(const MinuteSeries& series,
                                          const std::vector<std::optional<double>>& thresholds = {});

// A threshold as a user types it: a decimal number, blanks around it
// allowed, finite and above 0. Anything else (empty, "0,05", "1e", "-1") is none.
std::optional<double> parseThreshold(std::string_view text);

// One line of the endpoints table as the page shows it and its export writes
// it: the endpoint's name, its value ("%e", whole numbers with "%d", the time
// as "MM-DD HH:MM", "-" when there is none, empty for the threshold lines
// without a threshold) and its unit.
struct EndpointLine {
    std::string label;
    std::string value;
    std::string unit;
    bool concentration = false;  // in the column's unit
};
std::vector<EndpointLine> endpointLines(const ColumnEndpoints& endpoints, ModelKind kind);

// The page's CSV export: the column, its unit, the search range and the
// threshold, then the endpoints table. CP949, CRLF, "%e" numbers, as the
// result export writes them. `range` is "MM-DD ~ MM-DD".
std::string endpointsCsv(const ColumnEndpoints& endpoints, ModelKind kind, const std::string& scenarioName,
                         const std::string& range);
// Writes endpointsCsv into a file; the messages of the result export when
// the file cannot be opened or written.
bool exportEndpointsCsv(const std::filesystem::path& path, const ColumnEndpoints& endpoints, ModelKind kind,
                        const std::string& scenarioName, const std::string& range, Prompter& prompter);
// "Cwater 06-01 ~ 11-29 노출평가.csv"
std::string defaultEndpointsCsvFileName(ModelKind kind, int valueIndex, int startMonth, int startDay, int endMonth,
                                        int endDay);

}  // namespace verdanel
