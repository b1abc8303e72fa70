#include "core/engines/simulation_period.hpp"

#include <algorithm>
#include <cmath>

namespace verdanel {

namespace {
std::int64_t dayNumber(const CivilTime& t) {
    CivilTime midnight{t.year, t.month, t.day, 0, 0, 0};
    return toCivilSeconds(midnight) / 86400;
}
}  // namespace

SimulationPeriod simulationPeriod(const std::vector<CivilTime>& sprayDates) {
    SimulationPeriod p;
    if (sprayDates.empty()) return p;
    const CivilTime& first = sprayDates.front();
    const CivilTime& last = sprayDates.back();
    p.start = CivilTime{first.year, first.month, first.day, first.hour, 0, 0};
    p.end = addDays(CivilTime{last.year, last.month, last.day, last.hour, 0, 0}, 90);
    p.firstSecond = CivilTime{first.year, first.month, first.day, 0, 0, 0};
    p.days = std::max<std::int64_t>(0, dayNumber(p.end) - dayNumber(p.start) + 1);
    return p;
}

SpraySchedule::SpraySchedule(const std::vector<CivilTime>& sprayDates, double sprayDuration) {
    if (std::isfinite(sprayDuration) && sprayDuration >= 0) {
        lastMinute_ = static_cast<int>(std::min(59.0, std::floor(sprayDuration / 60.0)));
        lastSecond_ = static_cast<int>(std::min(59.0, std::floor(sprayDuration)));
    } else if (std::isinf(sprayDuration) && sprayDuration > 0) {
        lastMinute_ = 59;
        lastSecond_ = 59;
    }
    for (const auto& t : sprayDates) {
        if (t.hour < 0 || t.hour > 23) continue;
        const std::int64_t day = dayNumber(t);
        auto it = std::find_if(days_.begin(), days_.end(), [&](const DayHours& d) { return d.day == day; });
        if (it == days_.end()) days_.push_back({day, 1u << t.hour});
        else it->mask |= 1u << t.hour;
    }
    std::sort(days_.begin(), days_.end(), [](const DayHours& a, const DayHours& b) { return a.day < b.day; });
}

std::uint32_t SpraySchedule::hoursOn(const CivilTime& date) const {
    const std::int64_t day = dayNumber(date);
    auto it = std::lower_bound(days_.begin(), days_.end(), day,
                               [](const DayHours& d, std::int64_t v) { return d.day < v; });
    return it != days_.end() && it->day == day ? it->mask : 0u;
}

}  // namespace verdanel
