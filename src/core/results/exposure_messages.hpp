#pragma once
// The texts of the exposure endpoints: the result window's "노출 평가" page,
// its export and the chart's options. UTF-8.
#include "core/results/result_messages.hpp"

namespace verdanel::msg {

// The page.
inline constexpr const char* kExposureTab = "노출 평가";
inline constexpr const char* kExposureColumnLabel = "항목";
inline constexpr const char* kExposureThresholdLabel = "기준 농도";
inline constexpr const char* kExposureThresholdTooltip =
    "이 농도보다 높은(%e로 표시한 값이 더 큰) 시간을 셉니다. 비워 두면 기준 항목은 계산하지 않습니다.";
inline constexpr const char* kExposureCsvButton = "평가 결과 저장...";
inline constexpr const char* kExposureCsvSaveTitle = "노출 평가 저장";

// The endpoints table: name, value, unit.
inline constexpr const char* kEndpointsNameHeader = "지표";
inline constexpr const char* kEndpointsValueHeader = "값";
inline constexpr const char* kEndpointsUnitHeader = "단위";
inline constexpr const char* kEndpointPeak = "최대 농도";
inline constexpr const char* kEndpointPeakAt = "최대 농도 시각";
inline constexpr const char* kEndpointHighestMeanFormat = "최대 %d일 평균 농도";
inline constexpr const char* kEndpointThreshold = "기준 농도";
inline constexpr const char* kEndpointMinutesAbove = "기준 초과 시간";
inline constexpr const char* kEndpointEvents = "초과 횟수";
inline constexpr const char* kEndpointLongestEvent = "최장 초과 시간";
inline constexpr const char* kEndpointPeakToThreshold = "최대 농도 / 기준 농도";
inline constexpr const char* kEndpointMinutesUnit = "분";
inline constexpr const char* kEndpointEventsUnit = "회";

// The page's export.
inline constexpr const char* kEndpointsCsvSection = "##노출평가##";
inline constexpr const char* kEndpointsCsvScenario = "시나리오";
inline constexpr const char* kEndpointsCsvRange = "조회 기간";
inline constexpr const char* kEndpointsCsvColumn = "항목";
inline constexpr const char* kEndpointsCsvRows = "행 수";
inline constexpr const char* kEndpointsCsvName = kEndpointsNameHeader;
inline constexpr const char* kEndpointsCsvValue = kEndpointsValueHeader;
inline constexpr const char* kEndpointsCsvUnit = kEndpointsUnitHeader;
// Column header, then the search's start and end month and day.
inline constexpr const char* kEndpointsCsvFileFormat = "%s %02d-%02d ~ %02d-%02d 노출평가.csv";

// The chart's options.
inline constexpr const char* kLogScaleBox = "로그 눈금";
// The threshold line's label: column header, then "%1.2e" of the threshold.
inline constexpr const char* kThresholdLineFormat = "%s 기준 %s";

}  // namespace verdanel::msg
