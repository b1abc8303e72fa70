#pragma once
// The texts of sweeps: the scenario window's "민감도 분석" dialog, the
// command line's sweep, their exports and the chart. UTF-8.
#include "core/results/exposure_messages.hpp"

namespace verdanel::msg {

// What a sweep varies.
inline constexpr const char* kShiftDaysLabel = "살포일 이동 (일)";
inline constexpr const char* kShiftDaysUnit = "일";

// Ranges and lists as the user types them.
inline constexpr const char* kSweepNotANumberFormat = "숫자가 아닙니다: %s";
inline constexpr const char* kSweepStepNotPositive = "간격은 0보다 커야 합니다.";
inline constexpr const char* kSweepToBeforeFrom = "끝 값이 시작 값보다 작습니다.";
inline constexpr const char* kSweepShiftNotWhole = "살포일 이동은 정수 일수로 입력하십시오.";
inline constexpr const char* kSweepTooManyFormat = "변형이 너무 많습니다 (%s개, 최대 %s개).";
inline constexpr const char* kSweepNoValues = "값을 하나 이상 입력하십시오.";
inline constexpr const char* kSweepUnknownParameterFormat = "알 수 없는 매개변수입니다: %s";
inline constexpr const char* kSweepCancelled = "민감도 분석이 취소되었습니다.";

// A variant's outcome.
inline constexpr const char* kVariantFinished = "완료";
inline constexpr const char* kVariantRefused = "거부";
inline constexpr const char* kVariantFailed = "실패";
inline constexpr const char* kVariantCancelled = "취소";

// Tables, summary and exports.
inline constexpr const char* kSweepVariantHeader = "변형";
inline constexpr const char* kSweepStatusHeader = "상태";
inline constexpr const char* kSweepMessageHeader = "메시지";
inline constexpr const char* kSweepMeetsHeader = "기준 충족";
inline constexpr const char* kSweepYes = "예";
inline constexpr const char* kSweepNo = "아니오";
inline constexpr const char* kSweepColumnHeader = "항목";
inline constexpr const char* kSweepEndpointHeader = "지표";
inline constexpr const char* kSweepMinimumHeader = "최소";
inline constexpr const char* kSweepMedianHeader = "중앙값";
inline constexpr const char* kSweepP90Header = "90 백분위수";
inline constexpr const char* kSweepMaximumHeader = "최대";
inline constexpr const char* kSweepMaximumVariantHeader = "최대인 변형";
inline constexpr const char* kSweepCsvSection = "##민감도분석##";
inline constexpr const char* kSweepCsvSummarySection = "##분포##";
inline constexpr const char* kSweepCsvScenario = "시나리오";
inline constexpr const char* kSweepCsvVaried = "변화 항목";
inline constexpr const char* kSweepMeetingAllNone = "모든 기준을 충족하는 변형이 없습니다.";

// The chart.
inline constexpr const char* kSweepChartValueTitleFormat = "Cwater (%s, 로그 눈금)";
inline constexpr const char* kSweepChartPeak = "최대 농도";
inline constexpr const char* kSweepChartMean4 = "최대 4일 평균";
inline constexpr const char* kSweepChartMean21 = "최대 21일 평균";
inline constexpr const char* kSweepChartP90 = "90 백분위수";
inline constexpr const char* kSweepChartNoData = "그릴 결과가 없습니다.";
inline constexpr const char* kSweepImageWriteFailedFormat = "그림을 저장할 수 없습니다: %s";

}  // namespace verdanel::msg

namespace verdanel::msg {

// The scenario window's button and its dialog.
inline constexpr const char* kSweepButton = "민감도 분석...";
inline constexpr const char* kSweepDialogTitle = "민감도 분석";
inline constexpr const char* kSweepVaryLabel = "변화 항목";
inline constexpr const char* kSweepFromLabel = "시작";
inline constexpr const char* kSweepToLabel = "끝";
inline constexpr const char* kSweepStepLabel = "간격";
inline constexpr const char* kSweepThresholdLabelFormat = "Cwater 기준 농도 (%s)";
inline constexpr const char* kSweepThresholdTooltip = "비워 두면 기준 농도 없이 분석합니다.";
inline constexpr const char* kSweepRunButton = "실행";
inline constexpr const char* kSweepCancelButton = "취소";
inline constexpr const char* kSweepCloseButton = "닫기";
inline constexpr const char* kSweepCsvButton = "CSV 저장...";
inline constexpr const char* kSweepImageButton = "그림 저장...";
inline constexpr const char* kSweepCsvSaveTitle = "민감도 분석 저장";
inline constexpr const char* kSweepImageSaveTitle = "민감도 분석 그림 저장";
inline constexpr const char* kSweepImageFilter = "PNG 그림 (*.png)";
inline constexpr const char* kSweepCsvFilter = "CSV 파일 (*.csv)";
inline constexpr const char* kSweepVariantsTab = "변형별 결과";
inline constexpr const char* kSweepSummaryTab = "분포 요약";
inline constexpr const char* kSweepBadThreshold = "기준 농도는 0보다 큰 숫자로 입력하십시오.";
inline constexpr const char* kSweepRunningFormat = "%s개 변형을 계산하고 있습니다...";
inline constexpr const char* kSweepDoneFormat = "%s개 변형, %s개 완료, %s초 (%s개 스레드)";
inline constexpr const char* kSweepNoVariantRan = "계산된 변형이 없습니다. 첫 번째 변형: %s";

}  // namespace verdanel::msg
