#include "core/results/exposure_endpoints.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/common/civil_time.hpp"
#include "core/common/cp949.hpp"
#include "core/common/number_text.hpp"
#include "core/results/exposure_messages.hpp"
#include "core/results/result_columns.hpp"
#include "core/results/result_csv.hpp"

namespace verdanel {

namespace {

constexpr std::size_t kRowsPerDay = 1440;

// Month and day as one number that orders like the calendar.
int monthDayOrder(const ResultRow& row) { return row.month * 32 + row.day; }

// Whether `b` (in year yb) is the minute after `a` (in year ya).
bool isNextMinute(const ResultRow& a, int ya, const ResultRow& b, int yb) {
    int minute = a.minute + 1, hour = a.hour, day = a.day, month = a.month, year = ya;
    if (minute == 60) {
        minute = 0;
        if (++hour == 24) {
            hour = 0;
            if (++day > daysInMonth(year, month)) {
                day = 1;
                if (++month > 12) {
                    month = 1;
                    ++year;
                }
            }
        }
    }
    return b.minute == minute && b.hour == hour && b.day == day && b.month == month && yb == year;
}

// Running sums kept as two doubles (hi + lo) with every rounding error of hi
// carried in lo, so a window's sum, the difference of two of them, keeps
// nearly full precision even when the sums before it are a hundred thousand
// times larger than the window itself.
struct PrefixSums {
    std::vector<double> hi, lo;
    explicit PrefixSums(const std::vector<double>& x) : hi(x.size() + 1), lo(x.size() + 1) {
        double h = 0, l = 0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double s = h + x[i];
            const double back = s - h;
            l += (h - (s - back)) + (x[i] - back);  // the exact error of s (two-sum)
            h = s;
            hi[i + 1] = h;
            lo[i + 1] = l;
        }
    }
    // The greatest sum of `w` consecutive values starting in [first, last].
    double greatestWindow(std::size_t first, std::size_t last, std::size_t w) const {
        // Four independent maxima keep the loop from waiting on one compare.
        double best[4] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
        const double* H = hi.data();
        const double* L = lo.data();
        std::size_t i = first;
        for (; i + 3 <= last; i += 4) {
            for (std::size_t k = 0; k < 4; ++k) {
                const double d = (H[i + k + w] - H[i + k]) + (L[i + k + w] - L[i + k]);
                best[k] = d > best[k] ? d : best[k];
            }
        }
        for (; i <= last; ++i) {
            const double d = (H[i + w] - H[i]) + (L[i + w] - L[i]);
            best[0] = d > best[0] ? d : best[0];
        }
        return std::max(std::max(best[0], best[1]), std::max(best[2], best[3]));
    }
};

std::string timeText(const ResultRow& r) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d %02d:%02d", r.month, r.day, r.hour, r.minute);
    return buf;
}

std::string integerText(std::int64_t v) { return std::to_string(v); }

// A CSV field as the exports write it; quoted only when it would split the line.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

const ResultColumn* valueColumn(ModelKind kind, int valueIndex) {
    for (const ResultColumn& c : detailColumns(kind))
        if (c.field == ColumnField::Value && c.valueIndex == valueIndex) return &c;
    return nullptr;
}

}  // namespace

std::vector<std::size_t> minuteRunStarts(const ResultBuffer& rows, int year) {
    std::vector<std::size_t> starts;
    if (rows.empty()) return starts;
    starts.push_back(0);
    int y = year;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const ResultRow& a = rows.rows[i - 1];
        const ResultRow& b = rows.rows[i];
        const int yb = monthDayOrder(b) < monthDayOrder(a) ? y + 1 : y;
        if (!isNextMinute(a, y, b, yb)) starts.push_back(i);
        y = yb;
    }
    return starts;
}

ColumnEndpoints columnEndpoints(const ResultBuffer& rows, int valueIndex, int year, std::optional<double> threshold) {
    return columnEndpoints(rows, valueIndex, minuteRunStarts(rows, year), threshold);
}

ColumnEndpoints columnEndpoints(const ResultBuffer& rows, int valueIndex, const std::vector<std::size_t>& runStarts,
                                std::optional<double> threshold) {
    ColumnEndpoints e;
    e.valueIndex = valueIndex;
    e.rows = rows.size();
    if (valueIndex < 0 || valueIndex >= rows.valueCount) return e;
    const std::size_t n = rows.size();
    const auto k = static_cast<std::size_t>(valueIndex);
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i) x[i] = rows.rows[i].values[k];

    // The peak as the summary finds it: the greatest printed value, the first row that prints it.
    double greatest = 0;
    for (double v : x) greatest = v > greatest ? v : greatest;
    if (greatest > 0) {
        const double printsAsGreatest = std::isfinite(greatest) ? leastPrintedAlike(greatest) : greatest;
        const auto at = static_cast<std::size_t>(
            std::find_if(x.begin(), x.end(), [&](double v) { return v >= printsAsGreatest; }) - x.begin());
        e.peak = x[at];
        e.peakRow = at;
        e.peakAt = timeText(rows.rows[at]);
    }

    // Runs of consecutive minutes, as [start, end).
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t r = 0; r < runStarts.size(); ++r)
        runs.emplace_back(runStarts[r], r + 1 < runStarts.size() ? runStarts[r + 1] : n);

    if (n >= kRowsPerDay) {
        const PrefixSums sums(x);
        for (std::size_t w = 0; w < kAveragingDays.size(); ++w) {
            const std::size_t window = static_cast<std::size_t>(kAveragingDays[w]) * kRowsPerDay;
            std::optional<double> best;
            for (const auto& [start, end] : runs) {
                if (end - start < window) continue;
                const double sum = sums.greatestWindow(start, end - window, window);
                if (!best || sum > *best) best = sum;
            }
            if (best) e.highestMean[w] = *best / static_cast<double>(window);
        }
    }

    if (threshold) {
        ThresholdEndpoints t;
        t.threshold = *threshold;
        // Above: prints greater than the threshold prints.
        const double printsAsThreshold = greatestPrintedAlike(*threshold);
        std::int64_t current = 0;
        for (const auto& [start, end] : runs) {
            current = 0;  // no event reaches across a cut
            for (std::size_t i = start; i < end; ++i) {
                if (x[i] > printsAsThreshold) {
                    if (current++ == 0) ++t.events;
                    ++t.minutesAbove;
                    t.longestEventMinutes = std::max(t.longestEventMinutes, current);
                } else {
                    current = 0;
                }
            }
        }
        t.peakToThreshold = e.peak / *threshold;
        e.threshold = t;
    }
    return e;
}

std::vector<ColumnEndpoints> allEndpoints(const ResultBuffer& rows, int year,
                                          const std::vector<std::optional<double>>& thresholds) {
    const std::vector<std::size_t> runStarts = minuteRunStarts(rows, year);
    std::vector<ColumnEndpoints> all;
    for (int k = 0; k < rows.valueCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        all.push_back(columnEndpoints(rows, k, runStarts, i < thresholds.size() ? thresholds[i] : std::nullopt));
    }
    return all;
}

std::optional<double> parseThreshold(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value) || !(value > 0)) return std::nullopt;
    return value;
}

std::vector<EndpointLine> endpointLines(const ColumnEndpoints& e, ModelKind kind) {
    const std::string unit = valueUnit(kind, e.valueIndex);
    std::vector<EndpointLine> lines;
    lines.push_back({msg::kEndpointPeak, formatE(e.peak), unit, true});
    lines.push_back({msg::kEndpointPeakAt, e.peakAt.empty() ? std::string(msg::kNoValue) : e.peakAt, "", false});
    for (std::size_t w = 0; w < kAveragingDays.size(); ++w) {
        char label[64];
        std::snprintf(label, sizeof label, msg::kEndpointHighestMeanFormat, kAveragingDays[w]);
        lines.push_back(
            {label, e.highestMean[w] ? formatE(*e.highestMean[w]) : std::string(msg::kNoValue), unit, true});
    }
    const ThresholdEndpoints* t = e.threshold ? &*e.threshold : nullptr;
    lines.push_back({msg::kEndpointThreshold, t ? formatE(t->threshold) : "", unit, true});
    lines.push_back({msg::kEndpointMinutesAbove, t ? integerText(t->minutesAbove) : "", msg::kEndpointMinutesUnit,
                     false});
    lines.push_back({msg::kEndpointEvents, t ? integerText(t->events) : "", msg::kEndpointEventsUnit, false});
    lines.push_back({msg::kEndpointLongestEvent, t ? integerText(t->longestEventMinutes) : "",
                     msg::kEndpointMinutesUnit, false});
    lines.push_back({msg::kEndpointPeakToThreshold, t ? formatE(t->peakToThreshold) : "", "", false});
    return lines;
}

std::string endpointsCsv(const ColumnEndpoints& e, ModelKind kind, const std::string& scenarioName,
                         const std::string& range) {
    const ResultColumn* column = valueColumn(kind, e.valueIndex);
    std::string text;
    auto line = [&text](std::initializer_list<std::string> fields) {
        bool first = true;
        for (const std::string& f : fields) {
            if (!first) text += ',';
            text += csvField(f);
            first = false;
        }
        text += kCsvLineEnd;
    };
    line({msg::kEndpointsCsvSection});
    line({msg::kEndpointsCsvScenario, scenarioName});
    line({msg::kEndpointsCsvRange, range});
    line({msg::kEndpointsCsvColumn, column ? column->header : ""});
    line({msg::kEndpointsCsvRows, integerText(static_cast<std::int64_t>(e.rows))});
    text += kCsvLineEnd;
    line({msg::kEndpointsCsvName, msg::kEndpointsCsvValue, msg::kEndpointsCsvUnit});
    for (const EndpointLine& l : endpointLines(e, kind)) line({l.label, l.value, l.unit});
    return utf8ToCp949(text);
}

bool exportEndpointsCsv(const std::filesystem::path& path, const ColumnEndpoints& endpoints, ModelKind kind,
                        const std::string& scenarioName, const std::string& range, Prompter& prompter) {
    const std::string text = endpointsCsv(endpoints, kind, scenarioName, range);
    return writeCsvFile(path, prompter,
                        [&](std::ostream& out) { out.write(text.data(), static_cast<std::streamsize>(text.size())); });
}

std::string defaultEndpointsCsvFileName(ModelKind kind, int valueIndex, int startMonth, int startDay, int endMonth,
                                        int endDay) {
    const ResultColumn* column = valueColumn(kind, valueIndex);
    char buf[128];
    std::snprintf(buf, sizeof buf, msg::kEndpointsCsvFileFormat, column ? column->header : "", startMonth, startDay,
                  endMonth, endDay);
    return buf;
}

}  // namespace verdanel
