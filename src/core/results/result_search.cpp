#include "core/results/result_search.hpp"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "core/common/messages.hpp"
#include "core/common/prompter.hpp"
#include "core/common/text_format.hpp"
#include "core/results/result_messages.hpp"
#include "core/store/output_rows.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_statement.hpp"

namespace verdanel {

namespace {
// Columns 0 to 4 of an output row: name, month, day, hour, minute.
constexpr int kFirstValueColumn = 5;
// How many rows are loaded between two progress reports.
constexpr std::size_t kRowsPerReport = 4096;
constexpr std::size_t kMinutesPerDay = 1440;
// Days of the leap year that dayOrdinal counts in.
constexpr int kDaysPerYear = 366;

// The decimal text-to-integer reading of a stored "06": leading blanks,
// an optional sign, then digits; 0 when there are none.
int decimalInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

// Day of a leap year (1 January is 0), so any stored month and day has a place.
int dayOrdinal(int month, int day) {
    static constexpr int kBefore[] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};
    month = std::clamp(month, 1, 12);
    return kBefore[month - 1] + std::max(day, 1) - 1;
}

void reportStoreError(Prompter& prompter, const std::string& description) {
    prompter.inform(fillMessage(msg::kStoreErrorFormat, description), msg::kProgramTitle, PromptIcon::Error);
}

void reportNothingFound(Prompter& prompter) {
    prompter.inform(msg::kNoDataFound, msg::kProgramTitle, PromptIcon::Information);
}
}  // namespace

std::string monthDayBound(int month, int day) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d%02d", month, day);
    return buf;
}

ResultBuffer ResultSearch::search(StoreConnection& connection, Prompter& prompter, ModelKind kind,
                                  const std::string& scenarioName, int startMonth, int startDay, int endMonth,
                                  int endDay, ProgressSink* progress) {
    ResultBuffer buffer(kind);
    // Without a connection object nothing can be asked and nothing is said about the store.
    if (!connection.isPresent()) {
        reportNothingFound(prompter);
        return buffer;
    }
    const std::string from = monthDayBound(startMonth, startDay);
    const std::string to = monthDayBound(endMonth, endDay);
    // The bounds compare as texts, as the store compares them.
    const bool acrossNewYear = from > to;
    // Within the run's rows where it recorded them; else by name.
    const std::optional<OutputRows> rows = outputRowsOf(connection, kind, scenarioName);
    StoreStatement statement(connection, rows ? std::string_view(sql::searchOutputInRows(kind, acrossNewYear))
                                         : acrossNewYear ? sql::searchAcrossNewYearFor(kind)
                                                         : sql::statementsFor(kind).searchOutput);
    if (!statement.valid()) {
        reportStoreError(prompter, statement.error());
        reportNothingFound(prompter);
        return buffer;
    }
    statement.bindText(1, from);
    statement.bindText(2, to);
    statement.bindText(3, scenarioName);
    if (rows) {
        statement.bindInt(4, rows->first);
        statement.bindInt(5, rows->last);
    }

    const int valueCount = std::clamp(statement.columnCount() - kFirstValueColumn, 0, buffer.valueCount);
    const int firstDay = dayOrdinal(startMonth, startDay);
    // Days from the start, counted on past the end of the year when the range wraps.
    auto daysIn = [&](int month, int day) {
        const int days = dayOrdinal(month, day) - firstDay;
        return acrossNewYear && days < 0 ? days + kDaysPerYear : days;
    };
    const int rangeDays = daysIn(endMonth, endDay) + 1;
    const int dayCount = std::max(rangeDays, 1);
    // A run stores one row per minute, so the range's days bound the row count
    // of an ordinary run. Reserving that much up front means every row is
    // written once into memory touched once; growing the buffer would copy
    // and touch it again several times, which costs more than the store.
    buffer.rows.reserve(static_cast<std::size_t>(std::max(rangeDays, 0)) * kMinutesPerDay);

    while (statement.nextRow()) {
        ResultRow& row = buffer.rows.emplace_back();
        row.month = decimalInt(statement.columnTextView(1));
        row.day = decimalInt(statement.columnTextView(2));
        row.hour = decimalInt(statement.columnTextView(3));
        row.minute = decimalInt(statement.columnTextView(4));
        for (int v = 0; v < valueCount; ++v) {
            row.values[static_cast<std::size_t>(v)] = statement.columnDouble(kFirstValueColumn + v);
        }
        if (progress && buffer.rows.size() % kRowsPerReport == 0) {
            const int done = daysIn(row.month, row.day);
            progress->progress(std::clamp(done * 100 / dayCount, 0, 99));
            if (progress->abandoned()) return ResultBuffer(kind);
        }
    }
    if (statement.failed()) {
        reportStoreError(prompter, statement.error());
        buffer.rows.clear();
    }
    if (buffer.rows.empty()) {
        reportNothingFound(prompter);
        return ResultBuffer(kind);  // without the reservation
    }
    // Month, day, hour and minute order, ties in stored order. A run that stays
    // within one year is stored in that order already. Across New Year the
    // rows stay in the order the run stored them: that is time order.
    auto earlier = [](const ResultRow& a, const ResultRow& b) {
        if (a.month != b.month) return a.month < b.month;
        if (a.day != b.day) return a.day < b.day;
        if (a.hour != b.hour) return a.hour < b.hour;
        return a.minute < b.minute;
    };
    if (!acrossNewYear && !std::is_sorted(buffer.rows.begin(), buffer.rows.end(), earlier))
        std::stable_sort(buffer.rows.begin(), buffer.rows.end(), earlier);
    // Give back a reservation that the scenario filled only a small part of.
    if (buffer.rows.size() < buffer.rows.capacity() / 8) buffer.rows.shrink_to_fit();
    if (progress) progress->progress(100);
    return buffer;
}

}  // namespace verdanel
