#include "core/common/civil_time.hpp"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "core/common/platform.hpp"

namespace verdanel {

namespace {
constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
    using namespace std::chrono;
    // Month overflow is folded into the year first; day overflow is plain day arithmetic.
    std::int64_t m0 = static_cast<std::int64_t>(month) - 1;
    year += floorDiv(m0, 12);
    m0 -= floorDiv(m0, 12) * 12;
    sys_days first = sys_days{std::chrono::year{static_cast<int>(year)} /
                              std::chrono::month{static_cast<unsigned>(m0 + 1)} / 1};
    return first.time_since_epoch().count() + (day - 1);
}
}  // namespace

std::int64_t toCivilSeconds(const CivilTime& t) {
    std::int64_t days = daysFromCivil(t.year, t.month, t.day);
    return days * kSecondsPerDay + static_cast<std::int64_t>(t.hour) * 3600 +
           static_cast<std::int64_t>(t.minute) * 60 + t.second;
}

CivilTime fromCivilSeconds(std::int64_t seconds) {
    using namespace std::chrono;
    std::int64_t days = floorDiv(seconds, kSecondsPerDay);
    std::int64_t rest = seconds - days * kSecondsPerDay;
    year_month_day ymd{sys_days{std::chrono::days{days}}};
    CivilTime t;
    t.year = static_cast<int>(ymd.year());
    t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>((rest % 3600) / 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

CivilTime addDays(const CivilTime& t, int days) {
    return fromCivilSeconds(toCivilSeconds(t) + static_cast<std::int64_t>(days) * kSecondsPerDay);
}

std::int64_t secondsBetween(const CivilTime& from, const CivilTime& to) {
    return toCivilSeconds(to) - toCivilSeconds(from);
}

int daysInMonth(int year, int month) {
    using namespace std::chrono;
    if (month < 1 || month > 12) return 0;
    year_month_day_last last{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} / std::chrono::last};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

bool isValidDate(int year, int month, int day) {
    return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

CivilTime localNow() {
    const std::tm local = platform::localTime(std::time(nullptr));
    return CivilTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                     local.tm_hour, local.tm_min, local.tm_sec};
}

std::string formatSprayDate(const CivilTime& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
    return buf;
}

std::string formatDate(const CivilTime& t) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.year, t.month, t.day);
    return buf;
}

namespace {
// Reads exactly `width` digits at text[pos].
bool readDigits(std::string_view text, std::size_t pos, std::size_t width, int& out) {
    if (pos + width > text.size()) return false;
    int v = 0;
    for (std::size_t i = 0; i < width; ++i) {
        char c = text[pos + i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}
}  // namespace

std::optional<CivilTime> parseDate(std::string_view text) {
    CivilTime t;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    if (!readDigits(text, 0, 4, t.year) || !readDigits(text, 5, 2, t.month) ||
        !readDigits(text, 8, 2, t.day))
        return std::nullopt;
    if (!isValidDate(t.year, t.month, t.day)) return std::nullopt;
    return t;
}

std::optional<CivilTime> parseSprayDate(std::string_view text) {
    if (text.size() != 16 || text[10] != ' ' || text[13] != ':') return std::nullopt;
    auto date = parseDate(text.substr(0, 10));
    if (!date) return std::nullopt;
    CivilTime t = *date;
    if (!readDigits(text, 11, 2, t.hour) || !readDigits(text, 14, 2, t.minute)) return std::nullopt;
    if (t.hour > 23 || t.minute > 59) return std::nullopt;
    return t;
}

}  // namespace verdanel
