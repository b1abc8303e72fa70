#pragma once
// Civil date-time arithmetic: every day has 86,400 seconds, whatever the
// machine's time zone or daylight-saving rules. Only "now" reads the clock.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace verdanel {

struct CivilTime {
    int year = 1970;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

// Seconds since 1970-01-01 00:00:00 of the civil calendar; fields that
// overflow (month 13, day 32, second 60) carry over as mktime would.
std::int64_t toCivilSeconds(const CivilTime& t);
CivilTime fromCivilSeconds(std::int64_t seconds);
CivilTime addDays(const CivilTime& t, int days);
std::int64_t secondsBetween(const CivilTime& from, const CivilTime& to);
int daysInMonth(int year, int month);
bool isValidDate(int year, int month, int day);

// The local wall clock, used only for defaults (spray dates, date pickers).
CivilTime localNow();

// "%04d-%02d-%02d %02d:%02d", the spray date list entry.
std::string formatSprayDate(const CivilTime& t);
std::optional<CivilTime> parseSprayDate(std::string_view text);
// "%04d-%02d-%02d", the scenario's start and end dates.
std::string formatDate(const CivilTime& t);
std::optional<CivilTime> parseDate(std::string_view text);

}  // namespace verdanel
