#pragma once
// The period a run steps through and the seconds at which it sprays.
#include <cstdint>
#include <vector>

#include "core/common/civil_time.hpp"

namespace verdanel {

struct SimulationPeriod {
    CivilTime start;        // the first spray date at its hour
    CivilTime end;          // the last spray date plus 90 days, at its hour
    CivilTime firstSecond;  // 00:00:00 of the start date
    std::int64_t days = 0;  // whole days from the start date to the end date, both included
    std::int64_t seconds() const { return days * 86400; }
    std::int64_t rows() const { return days * 1440; }
};

// Spray dates in list order (ascending). Empty list: a period of no days.
SimulationPeriod simulationPeriod(const std::vector<CivilTime>& sprayDates);

// Which seconds spray. A second sprays when a spray time of the same
// calendar date (year included) has its hour, the minute is at most
// floor(D / 60) and the second of the minute at most D. Several spray times
// on one day each spray in their own hour; nothing carries over midnight.
class SpraySchedule {
public:
    SpraySchedule(const std::vector<CivilTime>& sprayDates, double sprayDuration);
    // The spray hours of a date as a bit mask (bit h for hour h).
    std::uint32_t hoursOn(const CivilTime& date) const;
    bool spraysAt(std::uint32_t hourMask, int hour, int minute, int second) const {
        return ((hourMask >> hour) & 1u) != 0 && minute <= lastMinute_ && second <= lastSecond_;
    }
    int lastMinute() const { return lastMinute_; }
    int lastSecond() const { return lastSecond_; }

private:
    struct DayHours {
        std::int64_t day;
        std::uint32_t mask;
    };
    std::vector<DayHours> days_;  // sorted by day
    int lastMinute_ = -1;
    int lastSecond_ = -1;
};

}  // namespace verdanel
