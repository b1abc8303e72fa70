#pragma once
// The texts of the mass balance: the result window's "물질 수지" page, its
// table and chart legend, the command line's table and the CSV file. UTF-8.
#include <array>

#include "core/common/mass_balance.hpp"
#include "core/results/result_messages.hpp"

namespace verdanel::msg {

inline constexpr const char* kMassBalanceTab = "물질 수지";

// The entries of a mass-balance row, in its order (kMassBalanceEntries).
inline constexpr std::array<const char*, kBalanceEntryCount> kMassBalanceLabels{
    "대기 중",          // air, all air boxes
    "식물 중",          // plants
    "토양 중",          // soils
    "수체 중",          // water
    "살포 유입",        // applied
    "분해",             // degraded
    "식물 흡수",        // penetration and root uptake
    "용탈",             // leached
    "하류 유출",        // outflow
    "바람·비산 이탈",   // carried away
    "수지 오차",        // closure
};

// The table of the final hour: entry, mass, share of what was applied.
inline constexpr const char* kBalanceEntryHeader = "항목";
inline constexpr const char* kBalanceMassHeader = "질량 [㎍]";
inline constexpr const char* kBalanceFractionHeader = "살포 유입 대비 [%]";
inline constexpr const char* kBalanceFinalHourFormat = "마지막 시각: %s";
inline constexpr const char* kBalanceChartTitle = "살포 유입량 대비 비율 (누적)";
// The page's line of what its table leaves out: applied and closure (label, mass, share).
inline constexpr const char* kBalanceTotalsFormat = "%s %s ㎍ · %s %s ㎍ (%s %)";
// Shown on the page when the search found output rows but no balance rows.
inline constexpr const char* kNoMassBalanceRows =
    "이 시나리오에는 물질 수지 기록이 없습니다. 물질 수지를 기록하기 전에 실행된 시나리오이면 다시 실행하면 기록됩니다.";
inline constexpr const char* kMassBalanceReadFailedFormat = "물질 수지를 읽지 못했습니다: %s";

// The CSV file of every hourly row.
inline constexpr const char* kMassBalanceCsvSection = "##물질수지##";
inline constexpr const char* kMassBalanceCsvScenario = "시나리오";
inline constexpr const char* kMassBalanceCsvUnit = "단위: ㎍";

}  // namespace verdanel::msg
