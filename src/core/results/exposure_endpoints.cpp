#include "core/results/exposure_endpoints.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/common/civil_time.hpp"
#include "core/common/processor_features.hpp"
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
    // Within the hour, as for 59 of every 60 rows.
    if (b.minute == a.minute + 1)
        return a.minute < 59 && b.hour == a.hour && b.day == a.day && b.month == a.month && yb == ya;
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

// Whether row b, which follows row a in the buffer, begins a new run of
// consecutive minutes. `year` is a's year and becomes b's: the next year
// when b's month and day come before a's.
bool beginsRun(const ResultRow& a, const ResultRow& b, int& year) {
    const int ya = year;
    if (monthDayOrder(b) < monthDayOrder(a)) ++year;
    return !isNextMinute(a, ya, b, year);
}

// A buffer of doubles that is not cleared when made: every entry is written before it is read.
using Doubles = std::unique_ptr<double[]>;
Doubles uninitialised(std::size_t n) { return Doubles(new double[n]); }

// Running sums kept as two doubles (hi + lo) with every rounding error of hi
// carried in lo (two-sum), so a window's sum, the difference of two of them,
// keeps nearly full precision even when the sums before it are a hundred
// thousand times larger than the window itself (a plain running sum loses
// as many digits as the sums before the window are larger than it).
//
// Only the sum at the start of every block of kBlock sums is kept, with the
// least and the greatest sum of the block; the sums a window needs are
// worked out again from there, with the same additions in the same order,
// so they are the same doubles. The best mean over a day or more of a series
// that rises after each spray and falls away lies near a few of its peaks:
// only the blocks of starts whose bound can beat the best so far are
// searched at all.
class PrefixSums {
public:
    // The running sums of the columns x[k][0..n), k < count <= 4, each into
    // sums[k], with the greatest value of each block. A running sum waits on
    // one addition per row, so several columns go side by side, one to a
    // lane: each lane makes the additions of its column alone, in the same
    // order, and so the same doubles. The x must outlive the searches.
    static void sumColumns(PrefixSums* sums, const double* const* x, int count, std::size_t n) {
        for (int k = 0; k < count; ++k) sums[k].start(x[k], n);
#ifdef VERDANEL_HAS_AVX_PATHS
        if (processorHasAvx()) {
            const double* lanes[4];
            // Spare lanes repeat column 0: the same doubles into the same blocks.
            for (int k = 0; k < 4; ++k) lanes[k] = x[k < count ? k : 0];
            Block* blocks[4];
            for (int k = 0; k < 4; ++k) blocks[k] = sums[k < count ? k : 0].blocks_.data();
            sumFourAvx(lanes, blocks, n);
            for (int k = 0; k < count; ++k) sums[k].finish();
            return;
        }
#endif
        for (int k = 0; k < count; ++k) {
            sums[k].sumOne();
            sums[k].finish();
        }
    }

    // What one pass over a series finds besides its running sums.
    struct Scan {
        double greatest = -HUGE_VAL;
        std::int64_t above = 0, events = 0, longest = 0;  // rows above the edge and their runs
    };

    // After sumColumns: the greatest value and the rows above `edge` (none
    // when it is infinite) over the runs of consecutive minutes [start,
    // end), which cover the series from 0 on.
    Scan scan(const std::vector<std::pair<std::size_t, std::size_t>>& runs, double edge) const {
        Scan scan;
        for (const Block& block : blocks_)
            scan.greatest = block.greatestValue > scan.greatest ? block.greatestValue : scan.greatest;
        if (!(edge < HUGE_VAL)) return scan;
        for (const auto& [start, end] : runs) {
            std::int64_t current = 0;  // no event reaches across a cut
            for (std::size_t i = start; i < end; ++i) {
                if (x_[i] > edge) {
                    if (current++ == 0) ++scan.events;
                    ++scan.above;
                    scan.longest = std::max(scan.longest, current);
                } else {
                    current = 0;
                }
            }
        }
        return scan;
    }

    // The first row whose value is at least v (n_ when none).
    std::size_t firstAtLeast(double v) const {
        for (std::size_t b = 0; b < blocks_.size(); ++b) {
            if (!(blocks_[b].greatestValue >= v)) continue;
            for (std::size_t i = b * kBlock; i < std::min(n_, b * kBlock + kBlock); ++i)
                if (x_[i] >= v) return i;
        }
        return n_;
    }

    // The greatest sum of `w` consecutive values starting in [first, last].
    double greatestWindow(std::size_t first, std::size_t last, std::size_t w) {
        if (!bounded_ || w % kBlock != 0) return greatestWindowOfAll(first, last, w);
        const std::size_t shift = w / kBlock;
        const std::size_t b0 = first / kBlock, b1 = last / kBlock;
        bound_.resize(b1 - b0 + 1);
        std::size_t most = 0;
        for (std::size_t b = b0; b <= b1; ++b) {
            bound_[b - b0] = blocks_[b + shift].greatest - blocks_[b].least;
            if (bound_[b - b0] > bound_[most]) most = b - b0;
        }
        double best = greatestWindowOfBlock(b0 + most, first, last, w);
        for (std::size_t b = b0; b <= b1; ++b) {
            if (b - b0 == most || bound_[b - b0] + slack_ < best) continue;
            const double d = greatestWindowOfBlock(b, first, last, w);
            best = d > best ? d : best;
        }
        return best;
    }

private:
    static constexpr std::size_t kBlock = 32;  // a day (1,440 minutes) is 45 blocks
    struct Block {
        double hi = 0, lo = 0;           // the running sum at the block's first index
        double least = 0, greatest = 0;  // of the block's sums (hi + lo)
        double greatestValue = -HUGE_VAL;  // of the values that lead to the block's sums
    };

    void start(const double* x, std::size_t n) {
        x_ = x;
        n_ = n;
        full_ = false;
        blocks_.assign(n / kBlock + 1, Block{});  // the sums 0..n
    }

    // The blocks of one column, one value at a time.
    void sumOne() {
        double h = 0, l = 0;
        for (std::size_t b = 0; b < blocks_.size(); ++b) {
            Block& block = blocks_[b];
            block.hi = h;
            block.lo = l;
            double least = h + l, greatest = least, greatestValue = -HUGE_VAL;
            const std::size_t next = b * kBlock + kBlock;  // the next block's first sum
            for (std::size_t i = b * kBlock; i < std::min(n_, next); ++i) {
                const double v = x_[i];
                step(h, l, v);  // the sum i + 1
                if (i + 1 < next) {
                    const double total = h + l;
                    least = total < least ? total : least;
                    greatest = total > greatest ? total : greatest;
                }
                greatestValue = v > greatestValue ? v : greatestValue;
            }
            block.least = least;
            block.greatest = greatest;
            block.greatestValue = greatestValue;
        }
    }

#ifdef VERDANEL_HAS_AVX_PATHS
    // sumOne for four columns, one to a lane: the same operations on each
    // (minpd and maxpd choose as the comparisons above do).
    __attribute__((target("avx"))) static void sumFourAvx(const double* const* x, Block* const* blocks,
                                                          std::size_t n) {
        __m256d h = _mm256_setzero_pd(), l = _mm256_setzero_pd();
        const std::size_t count = n / kBlock + 1;
        for (std::size_t b = 0; b < count; ++b) {
            __m256d least = _mm256_add_pd(h, l), greatest = least, greatestValue = _mm256_set1_pd(-HUGE_VAL);
            const __m256d hiAtStart = h, loAtStart = l;
            const std::size_t next = b * kBlock + kBlock;
            const std::size_t end = std::min(n, next);
            for (std::size_t i = b * kBlock; i < end; ++i) {
                const __m256d v = _mm256_set_pd(x[3][i], x[2][i], x[1][i], x[0][i]);
                const __m256d s = _mm256_add_pd(h, v);
                const __m256d back = _mm256_sub_pd(s, h);
                l = _mm256_add_pd(l, _mm256_add_pd(_mm256_sub_pd(h, _mm256_sub_pd(s, back)), _mm256_sub_pd(v, back)));
                h = s;
                if (i + 1 < next) {
                    const __m256d total = _mm256_add_pd(h, l);
                    least = _mm256_min_pd(total, least);
                    greatest = _mm256_max_pd(total, greatest);
                }
                greatestValue = _mm256_max_pd(v, greatestValue);
            }
            double lanes[6][4];
            _mm256_storeu_pd(lanes[0], hiAtStart);
            _mm256_storeu_pd(lanes[1], loAtStart);
            _mm256_storeu_pd(lanes[2], least);
            _mm256_storeu_pd(lanes[3], greatest);
            _mm256_storeu_pd(lanes[4], greatestValue);
            for (int k = 0; k < 4; ++k)
                blocks[k][b] = {lanes[0][k], lanes[1][k], lanes[2][k], lanes[3][k], lanes[4][k]};
        }
    }
#endif

    // After the blocks: whether they may bound the windows, and by how much to spare.
    void finish() {
        const Block& last = blocks_.back();
        double h = last.hi, l = last.lo;
        for (std::size_t i = (blocks_.size() - 1) * kBlock; i < n_; ++i) step(h, l, x_[i]);
        // A series with a value that is not a finite number is searched whole.
        bounded_ = std::isfinite(h + l);
        double largest = 0;
        for (const Block& block : blocks_) {
            const double magnitude = std::max(std::fabs(block.least), std::fabs(block.greatest));
            largest = magnitude > largest ? magnitude : largest;
        }
        // A window's sum as worked out below lies within a few roundings of
        // the largest running sum of the difference of the two sums as the
        // blocks hold them; this is far more than those.
        slack_ = 1e-13 * largest;
    }

    // One value more in the running sum.
    static void step(double& h, double& l, double v) {
        const double s = h + v;
        const double back = s - h;
        l += (h - (s - back)) + (v - back);  // the exact error of s
        h = s;
    }

    // The sum of the window of w values at i.
    static double windowSum(const double* H, const double* L, std::size_t i, std::size_t w) {
        return (H[i + w] - H[i]) + (L[i + w] - L[i]);
    }

    // The running sums from..to (within one block) into H and L.
    void sumsOf(std::size_t from, std::size_t to, double* H, double* L) const {
        const Block& block = blocks_[from / kBlock];
        double h = block.hi, l = block.lo;
        for (std::size_t i = from / kBlock * kBlock; i < from; ++i) step(h, l, x_[i]);
        for (std::size_t j = from; j <= to; ++j) {
            H[j - from] = h;
            L[j - from] = l;
            if (j < to) step(h, l, x_[j]);
        }
    }

    // The greatest window starting in block b and in [first, last].
    double greatestWindowOfBlock(std::size_t b, std::size_t first, std::size_t last, std::size_t w) const {
        const std::size_t s0 = std::max(first, b * kBlock), s1 = std::min(last, b * kBlock + kBlock - 1);
        double startH[kBlock], startL[kBlock], endH[kBlock], endL[kBlock];
        sumsOf(s0, s1, startH, startL);
        sumsOf(s0 + w, s1 + w, endH, endL);
        double best = -HUGE_VAL;
        for (std::size_t i = 0; i <= s1 - s0; ++i) {
            const double d = (endH[i] - startH[i]) + (endL[i] - startL[i]);
            best = d > best ? d : best;
        }
        return best;
    }

    // Every start, from the whole running sums.
    double greatestWindowOfAll(std::size_t first, std::size_t last, std::size_t w) {
        if (!full_) {
            hi_ = uninitialised(n_ + 1);
            lo_ = uninitialised(n_ + 1);
            double h = 0, l = 0;
            hi_[0] = lo_[0] = 0;
            for (std::size_t i = 0; i < n_; ++i) {
                step(h, l, x_[i]);
                hi_[i + 1] = h;
                lo_[i + 1] = l;
            }
            full_ = true;
        }
#ifdef VERDANEL_HAS_AVX_PATHS
        if (processorHasAvx()) return greatestWindowAvx(hi_.get(), lo_.get(), first, last, w);
#endif
        return greatestWindowSse2(hi_.get(), lo_.get(), first, last, w);
    }

    // Several starts at a time in independent maxima, so the loop never waits
    // on one comparison. A NaN never wins: maxpd keeps its second operand,
    // the maximum so far, when either is NaN.
    static double greatestWindowSse2(const double* H, const double* L, std::size_t i, std::size_t last,
                                     std::size_t w) {
        double best = -HUGE_VAL;
#if defined(__SSE2__)
        __m128d best0 = _mm_set1_pd(-HUGE_VAL), best1 = best0;
        for (; i + 3 <= last; i += 4) {
            const __m128d d0 = _mm_add_pd(_mm_sub_pd(_mm_loadu_pd(H + i + w), _mm_loadu_pd(H + i)),
                                          _mm_sub_pd(_mm_loadu_pd(L + i + w), _mm_loadu_pd(L + i)));
            const __m128d d1 = _mm_add_pd(_mm_sub_pd(_mm_loadu_pd(H + i + 2 + w), _mm_loadu_pd(H + i + 2)),
                                          _mm_sub_pd(_mm_loadu_pd(L + i + 2 + w), _mm_loadu_pd(L + i + 2)));
            best0 = _mm_max_pd(d0, best0);
            best1 = _mm_max_pd(d1, best1);
        }
        alignas(16) double lanes[4];
        _mm_store_pd(lanes, best0);
        _mm_store_pd(lanes + 2, best1);
        for (double v : lanes) best = v > best ? v : best;
#endif
        for (; i <= last; ++i) {
            const double d = windowSum(H, L, i, w);
            best = d > best ? d : best;
        }
        return best;
    }

#ifdef VERDANEL_HAS_AVX_PATHS
    // The same, four starts to a register, on processors that have AVX.
    __attribute__((target("avx"))) static double greatestWindowAvx(const double* H, const double* L, std::size_t i,
                                                                   std::size_t last, std::size_t w) {
        __m256d best0 = _mm256_set1_pd(-HUGE_VAL), best1 = best0;
        for (; i + 7 <= last; i += 8) {
            const __m256d d0 = _mm256_add_pd(_mm256_sub_pd(_mm256_loadu_pd(H + i + w), _mm256_loadu_pd(H + i)),
                                             _mm256_sub_pd(_mm256_loadu_pd(L + i + w), _mm256_loadu_pd(L + i)));
            const __m256d d1 =
                _mm256_add_pd(_mm256_sub_pd(_mm256_loadu_pd(H + i + 4 + w), _mm256_loadu_pd(H + i + 4)),
                              _mm256_sub_pd(_mm256_loadu_pd(L + i + 4 + w), _mm256_loadu_pd(L + i + 4)));
            best0 = _mm256_max_pd(d0, best0);
            best1 = _mm256_max_pd(d1, best1);
        }
        alignas(32) double lanes[8];
        _mm256_store_pd(lanes, best0);
        _mm256_store_pd(lanes + 4, best1);
        double best = -HUGE_VAL;
        for (double v : lanes) best = v > best ? v : best;
        for (; i <= last; ++i) {
            const double d = windowSum(H, L, i, w);
            best = d > best ? d : best;
        }
        return best;
    }
#endif

    const double* x_ = nullptr;
    std::size_t n_ = 0;
    std::vector<Block> blocks_;
    std::vector<double> bound_;
    double slack_ = 0;
    bool bounded_ = false;
    bool full_ = false;
    Doubles hi_, lo_;  // the whole running sums, made only for a series searched whole
};

std::string timeText(const ResultRow& r) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d %02d:%02d", r.month, r.day, r.hour, r.minute);
    return buf;
}

// The time texts of a search's rows.
auto rowTimes(const ResultBuffer& rows) {
    return [&rows](std::size_t i) { return timeText(rows.rows[i]); };
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
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (beginsRun(rows.rows[i - 1], rows.rows[i], year)) starts.push_back(i);
    return starts;
}

ColumnEndpoints columnEndpoints(const ResultBuffer& rows, int valueIndex, int year, std::optional<double> threshold) {
    return columnEndpoints(rows, valueIndex, minuteRunStarts(rows, year), threshold);
}

namespace {

std::vector<std::pair<std::size_t, std::size_t>> runsOf(const std::vector<std::size_t>& runStarts, std::size_t n) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t r = 0; r < runStarts.size(); ++r)
        runs.emplace_back(runStarts[r], r + 1 < runStarts.size() ? runStarts[r + 1] : n);
    return runs;
}

// The endpoints of value column `valueIndex`, whose values are x[0..n),
// over its runs of consecutive minutes [start, end); timeOf(i) is the
// "MM-DD HH:MM" of row i.
template <class TimeOf>
ColumnEndpoints seriesEndpoints(std::size_t n, const TimeOf& timeOf, int valueIndex, const double* x,
                                const std::vector<std::pair<std::size_t, std::size_t>>& runs, PrefixSums& sums,
                                std::optional<double> threshold) {
    ColumnEndpoints e;
    e.valueIndex = valueIndex;
    e.rows = n;

    // Above the threshold: printing greater than the threshold prints.
    const double edge = threshold ? greatestPrintedAlike(*threshold) : HUGE_VAL;
    const PrefixSums::Scan scan = sums.scan(runs, edge);

    // The peak as the summary finds it: the greatest printed value, the first row that prints it.
    const double greatest = std::max(0.0, scan.greatest);
    if (greatest > 0) {
        const double printsAsGreatest = std::isfinite(greatest) ? leastPrintedAlike(greatest) : greatest;
        const std::size_t at = sums.firstAtLeast(printsAsGreatest);
        e.peak = x[at];
        e.peakRow = at;
        e.peakAt = timeOf(at);
    }

    constexpr std::size_t kWindows = kAveragingDays.size();
    std::array<std::optional<double>, kWindows> best;
    for (const auto& [start, end] : runs) {
        for (std::size_t w = 0; w < kWindows; ++w) {
            const std::size_t window = static_cast<std::size_t>(kAveragingDays[w]) * kRowsPerDay;
            if (start + window > end) break;  // the longer windows do not fit either
            const double sum = sums.greatestWindow(start, end - window, window);
            if (!best[w] || sum > *best[w]) best[w] = sum;
        }
    }
    for (std::size_t w = 0; w < kWindows; ++w)
        if (best[w]) e.highestMean[w] = *best[w] / static_cast<double>(kAveragingDays[w] * kRowsPerDay);

    if (threshold) {
        ThresholdEndpoints t;
        t.threshold = *threshold;
        t.minutesAbove = scan.above;
        t.events = scan.events;
        t.longestEventMinutes = scan.longest;
        t.peakToThreshold = e.peak / *threshold;
        e.threshold = t;
    }
    return e;
}

// The endpoints of the columns x[0..count) of n rows, as value columns 0..count;
// thresholds[k] for column k.
template <class TimeOf>
std::vector<ColumnEndpoints> columnsEndpoints(std::size_t n, const TimeOf& timeOf, const double* const* x, int count,
                                              const std::vector<std::pair<std::size_t, std::size_t>>& runs,
                                              const std::vector<std::optional<double>>& thresholds) {
    std::vector<PrefixSums> sums(static_cast<std::size_t>(count));
    for (int k = 0; k < count; k += 4)
        PrefixSums::sumColumns(&sums[static_cast<std::size_t>(k)], x + k, std::min(4, count - k), n);
    std::vector<ColumnEndpoints> all;
    for (int k = 0; k < count; ++k) {
        const auto column = static_cast<std::size_t>(k);
        all.push_back(seriesEndpoints(n, timeOf, k, x[k], runs, sums[column],
                                      column < thresholds.size() ? thresholds[column] : std::nullopt));
    }
    return all;
}

}  // namespace

ColumnEndpoints columnEndpoints(const ResultBuffer& rows, int valueIndex, const std::vector<std::size_t>& runStarts,
                                std::optional<double> threshold) {
    if (valueIndex < 0 || valueIndex >= rows.valueCount) {
        ColumnEndpoints none;
        none.valueIndex = valueIndex;
        none.rows = rows.size();
        return none;
    }
    const std::size_t n = rows.size();
    const Doubles x = uninitialised(n + 1);
    for (std::size_t i = 0; i < n; ++i) x[i] = rows.rows[i].values[static_cast<std::size_t>(valueIndex)];
    const double* column = x.get();
    ColumnEndpoints e = columnsEndpoints(n, rowTimes(rows), &column, 1, runsOf(runStarts, n), {threshold}).front();
    e.valueIndex = valueIndex;
    return e;
}

std::vector<ColumnEndpoints> allEndpoints(const ResultBuffer& rows, int year,
                                          const std::vector<std::optional<double>>& thresholds) {
    const std::size_t n = rows.size();
    const auto columns = static_cast<std::size_t>(rows.valueCount);
    // Every column, and the runs of minutes, in one pass over the rows:
    // reading one value of each 128-byte row per column would fetch the
    // whole buffer from memory once for every column.
    const Doubles series = uninitialised(n * columns + 1);
    std::vector<std::size_t> runStarts;
    for (std::size_t i = 0; i < n; ++i) {
        const ResultRow& row = rows.rows[i];
        if (i == 0 || beginsRun(rows.rows[i - 1], row, year)) runStarts.push_back(i);
        for (std::size_t k = 0; k < columns; ++k) series[k * n + i] = row.values[k];
    }
    std::vector<const double*> x(columns);
    for (std::size_t k = 0; k < columns; ++k) x[k] = series.get() + k * n;
    return columnsEndpoints(n, rowTimes(rows), x.data(), static_cast<int>(columns), runsOf(runStarts, n), thresholds);
}

std::vector<ColumnEndpoints> allEndpoints(const MinuteSeries& series,
                                          const std::vector<std::optional<double>>& thresholds) {
    const std::size_t n = series.rows;
    const std::vector<std::pair<std::size_t, std::size_t>> runs{{0, n}};
    const auto timeOf = [&series](std::size_t i) {
        const CivilTime t = fromCivilSeconds(toCivilSeconds(series.first) + static_cast<std::int64_t>(i) * 60);
        return timeText(ResultRow{t.month, t.day, t.hour, t.minute, {}});
    };
    std::vector<const double*> x;
    for (int k = 0; k < resultValueCount(series.kind); ++k) x.push_back(series.column(k));
    return columnsEndpoints(n, timeOf, x.data(), static_cast<int>(x.size()), runs, thresholds);
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
