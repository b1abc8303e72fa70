#include "core/results/mass_balance_series.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/common/cp949.hpp"
#include "core/common/number_text.hpp"
#include "core/results/mass_balance_messages.hpp"
#include "core/results/result_csv.hpp"
#include "core/results/result_search.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_statement.hpp"

namespace verdanel {

namespace {

// Columns of a search row: month, day, hour, minute, then the entries.
constexpr int kFirstEntryColumn = 4;

int twoDigitValue(std::string_view text) {
    int value = 0;
    for (char c : text)
        if (c >= '0' && c <= '9') value = value * 10 + (c - '0');
    return value;
}

}  // namespace

MassBalanceRows searchMassBalance(StoreConnection& connection, ModelKind kind, const std::string& scenarioName,
                                  int startMonth, int startDay, int endMonth, int endDay) {
    MassBalanceRows found;
    if (!connection.isOpen()) return found;
    const std::string from = monthDayBound(startMonth, startDay);
    const std::string to = monthDayBound(endMonth, endDay);
    // Compared as texts, as the store compares them (see ResultSearch).
    const bool acrossNewYear = from > to;
    StoreStatement statement(connection, sql::searchMassBalance(kind, acrossNewYear));
    if (!statement.valid()) {
        found.error = statement.error();
        return found;
    }
    statement.bindText(1, from);
    statement.bindText(2, to);
    statement.bindText(3, scenarioName);
    while (statement.nextRow()) {
        MassBalanceRecord& r = found.rows.emplace_back();
        r.month = twoDigitValue(statement.columnTextView(0));
        r.day = twoDigitValue(statement.columnTextView(1));
        r.hour = twoDigitValue(statement.columnTextView(2));
        r.minute = twoDigitValue(statement.columnTextView(3));
        for (int e = 0; e < kBalanceEntryCount; ++e)
            r.balance.*kMassBalanceEntries[static_cast<std::size_t>(e)].value =
                statement.columnDouble(kFirstEntryColumn + e);
    }
    if (statement.failed()) {
        found.error = statement.error();
        found.rows.clear();
        return found;
    }
    // Within one year: month, day, hour and minute order, as the output search.
    auto earlier = [](const MassBalanceRecord& a, const MassBalanceRecord& b) {
        if (a.month != b.month) return a.month < b.month;
        if (a.day != b.day) return a.day < b.day;
        if (a.hour != b.hour) return a.hour < b.hour;
        return a.minute < b.minute;
    };
    if (!acrossNewYear && !std::is_sorted(found.rows.begin(), found.rows.end(), earlier))
        std::stable_sort(found.rows.begin(), found.rows.end(), earlier);
    return found;
}

double balanceShare(const MassBalanceRow& balance, int entry) {
    return balance.applied > 0 ? balance.*kMassBalanceEntries[static_cast<std::size_t>(entry)].value / balance.applied
                               : 0.0;
}

std::vector<BandTops> stackedShares(const MassBalanceRows& rows) {
    std::vector<BandTops> tops;
    tops.reserve(rows.rows.size());
    for (const MassBalanceRecord& r : rows.rows) {
        BandTops& t = tops.emplace_back();
        double sum = 0;
        for (std::size_t b = 0; b < kBalanceBands.size(); ++b) {
            sum += balanceShare(r.balance, kBalanceBands[b]);
            t[b] = sum;
        }
    }
    return tops;
}

std::string balanceTimeText(const MassBalanceRecord& r) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d %02d:%02d", r.month, r.day, r.hour, r.minute);
    return text;
}

std::vector<BalanceLine> balanceLines(const MassBalanceRow& balance) {
    std::vector<BalanceLine> lines;
    for (int e = 0; e < kBalanceEntryCount; ++e) {
        const double mass = balance.*kMassBalanceEntries[static_cast<std::size_t>(e)].value;
        std::string percent;
        if (e != kBalanceApplied && balance.applied > 0) {
            // The closure is a matter of rounding: its share shows in the exponent form.
            const double share = 100 * mass / balance.applied;
            if (e == kBalanceClosure) {
                percent = formatE2(share);
            } else {
                char text[32];
                std::snprintf(text, sizeof text, "%.4f", share);
                percent = text;
            }
        }
        lines.push_back({msg::kMassBalanceLabels[static_cast<std::size_t>(e)], formatE(mass), percent});
    }
    return lines;
}

void writeMassBalanceCsv(std::ostream& out, const MassBalanceRows& rows, const std::string& scenarioName) {
    constexpr const char* kEol = kCsvLineEnd;
    std::string head = std::string(msg::kMassBalanceCsvSection) + kEol;
    head += std::string(msg::kMassBalanceCsvScenario) + "," + scenarioName + kEol;
    head += std::string(msg::kMassBalanceCsvUnit) + kEol;
    head += std::string(msg::kCsvMonth) + "," + msg::kCsvDay + "," + msg::kCsvHour + "," + msg::kCsvMinute;
    for (const char* label : msg::kMassBalanceLabels) {
        head += ',';
        head += label;
    }
    head += kEol;
    out << utf8ToCp949(head);

    std::string chunk;
    for (const MassBalanceRecord& r : rows.rows) {
        chunk += std::to_string(r.month);
        chunk += ',';
        chunk += std::to_string(r.day);
        chunk += ',';
        chunk += std::to_string(r.hour);
        chunk += ',';
        chunk += std::to_string(r.minute);
        for (const MassBalanceEntry& e : kMassBalanceEntries) {
            chunk += ',';
            chunk += formatE(r.balance.*e.value);
        }
        chunk += kEol;
    }
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
}

bool exportMassBalanceCsv(const std::filesystem::path& path, const MassBalanceRows& rows,
                          const std::string& scenarioName, Prompter& prompter) {
    return writeCsvFile(path, prompter, [&](std::ostream& out) { writeMassBalanceCsv(out, rows, scenarioName); });
}

}  // namespace verdanel
