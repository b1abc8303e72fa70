#pragma once
// The texts of the result windows, their search, delete and exports. UTF-8.
#include "core/common/messages.hpp"

namespace verdanel::msg {

// Window titles, by model.
inline constexpr const char* kStreamResultTitle = "Stream Model";
inline constexpr const char* kDitchResultTitle = "Ditch Model";
inline constexpr const char* kPondResultTitle = "Pond Model";

// Search, scenario query and delete.
inline constexpr const char* kSelectScenario = "시나리오를 선택하여 주세요.";
inline constexpr const char* kNoDataFound = "검색된 데이터가 없습니다.";
inline constexpr const char* kDuplicateScenario =
    "동일한 시나리오가 두개이상 발견되었습니다. 관리자에게 문의 바랍니다.";
inline constexpr const char* kSelectScenarioToDelete = "삭제할 시나리오를 선택하여 주세요.";
inline constexpr const char* kDeleteTooltip = "선택한 시나리오를 삭제합니다.";
// Asked (OK, Cancel) before a scenario and all its rows are removed.
inline constexpr const char* kDeleteScenarioQuestion = "선택한 시나리오를 삭제하시겠습니까?";
inline constexpr const char* kDeleteScenarioCaption = kReplaceCaption;
// The command line's delete and compact.
inline constexpr const char* kScenarioNotFoundFormat = "시나리오를 찾을 수 없습니다: %s (%s)";
inline constexpr const char* kScenarioDeletedFormat = "시나리오를 삭제했습니다: %s (%s)";
inline constexpr const char* kStoreCompactedFormat = "저장소를 압축했습니다: %s MB -> %s MB";
inline constexpr const char* kNothingToReclaimFormat = "빈 공간이 파일의 %s 뿐이라 압축하지 않았습니다.";
inline constexpr const char* kCompactionFailedFormat = "저장소를 압축하지 못했습니다. 저장소는 그대로입니다: %s";

// Scenario info fields of the result window, in Scenario_Info column order.
inline constexpr const char* kChemicalLabel = "화학물질";
inline constexpr const char* kPeriodLabel = "시뮬레이션 기간";
inline constexpr const char* kPeriodSeparator = "~";
// The parameters' labels and tooltips are in the scenario parameter table.

// Chart.
inline constexpr const char* kNoModellingData = "검색된 모델링 데이터가 없습니다.";
inline constexpr const char* kSelectSeries = "항목을 선택하여 주세요.";

// Result pages.
inline constexpr const char* kFinalResultsTab = "최종 결과";
inline constexpr const char* kDetailedResultsTab = "상세 결과";
inline constexpr const char* kMaximumPpbHeader = "최대농도[ppb]";
inline constexpr const char* kMaximumAirSoilHeader = "최대농도[㎍/㎥]";
inline constexpr const char* kTimeToMaximumHeader = "최대농도 도달시간";
inline constexpr const char* kResidenceHeader = "잔류시간";
inline constexpr const char* kWaterRow = "Water";
inline constexpr const char* kAirRow = "Air";
inline constexpr const char* kSoilRow = "Soil";

// Summary time texts (printf formats).
inline constexpr const char* kMinutesFormat = "%02d분";
inline constexpr const char* kHoursMinutesFormat = "%02d시간 %02d분";
inline constexpr const char* kDaysHoursMinutesFormat = "%02d일 %02d시간 %02d분";
inline constexpr const char* kNoValue = "-";

// CSV export.
inline constexpr const char* kCsvFinalSection = "##최종결과##";
inline constexpr const char* kCsvBriefSection = "##간략정보##";
inline constexpr const char* kCsvDetailSection = "##상세정보##";
inline constexpr const char* kCsvMonth = "월";
inline constexpr const char* kCsvDay = "일";
inline constexpr const char* kCsvHour = "시각";
inline constexpr const char* kCsvMinute = "분";
inline constexpr const char* kCsvSaveTitle = "조회 결과 저장";
inline constexpr const char* kCsvDefaultExtension = "csv";
inline constexpr const char* kCsvFilter = "Comma Seperated Files (*.csv)|*.csv|All Files (*.*)|*.*||";
inline constexpr const char* kCsvCannotOpen = "저장할 파일을 열 수 없습니다.";
// Writing failed after the file was opened (a full disk, a removed medium).
inline constexpr const char* kCsvWriteFailed = "파일을 저장하는 중 오류가 발생했습니다. 저장된 파일은 완전하지 않습니다.";

// Picture of the window (bitmap export).
inline constexpr const char* kImageCannotBeCreated = "이미지를 생성할 수 없습니다.";

}  // namespace verdanel::msg
