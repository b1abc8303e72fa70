#pragma once
// Every text the system shows, in one place, so the windows, the command-line
// tool and the tests share one spelling. UTF-8.

namespace verdanel::msg {

// Captions
inline constexpr const char* kProgramTitle = "verdanel";  // the executable's name without extension
inline constexpr const char* kReplaceCaption = "Verdanel";
inline constexpr const char* kMaterialManagerCaption = "Material Manager";
inline constexpr const char* kErrorCaption = "에러";

// Start-up and store
inline constexpr const char* kAlreadyRunning = "Verdanel 이미 실행중입니다.";
inline constexpr const char* kConnectionFailed = "DB Server Connection Faild";
inline constexpr const char* kStoreErrorFormat = "Error:%s\n";
inline constexpr const char* kShuttingDown = "프로그램 종료 중입니다.";
inline constexpr const char* kSearching = "데이터를 검색 중입니다. 검색기간에 따라 수분의 시간이 소요됩니다.";
inline constexpr const char* kDeletingScenario = "시나리오를 삭제 중입니다.";

// Open failures of the store, in the store's own words (after "Error:" there is none).
inline constexpr const char* kEmptyConnectionText = "연결 문자열이 비어 있습니다. INI\\CONNECTION.INI 파일을 확인하십시오.";
inline constexpr const char* kNoDataSource = "연결 문자열에 Data Source 항목이 없습니다.";
inline constexpr const char* kStoreNotOpen = "데이터베이스 연결이 열려 있지 않습니다.";

// About box
inline constexpr const char* kAboutTitle = "Verdanel 정보";
inline constexpr const char* kAboutMenuText = "Verdanel 정보(&A)...";
inline constexpr const char* kAboutVersion = "Verdanel 버전 1.0";
inline constexpr const char* kAboutSecondLine = "농약 비산·유출 다매체 거동 모델";
inline constexpr const char* kOk = "확인";
inline constexpr const char* kCancel = "취소";

// Runs
inline constexpr const char* kStartAfterEnd = "시작일시는 종료일시보다 클 수 없습니다.";
inline constexpr const char* kReplaceQuestion = "동일한 시나리오 결과가 있습니다. 삭제 후 계속 실행하시겠습니까?";
inline constexpr const char* kRunCancelled = "시뮬레이션이 취소되었습니다.";
inline constexpr const char* kRunCompleteFormat = "%s 시뮬레이션 완료!";
inline constexpr const char* kNoSprayDates = "살포 일자를 추가하십시오.";
inline constexpr const char* kRunAbandoned = "시뮬레이션이 중단되었습니다. 저장소는 실행 전 그대로입니다.";
inline constexpr const char* kRunNotStored = "시뮬레이션 결과를 저장하지 못했습니다. 저장소는 실행 전 그대로입니다.";
// A run whose model produced a value that is not a finite number: the value's
// name (Cwater, Cair(spray1), ...), then the simulated time "YYYY-MM-DD HH:MM".
inline constexpr const char* kNotFiniteResultFormat =
    "모델 계산 값 %s이(가) 시뮬레이션 시각 %s에 올바른 숫자가 아닙니다(무한대 또는 NaN). "
    "화학 물질 또는 시나리오의 입력값이 모델이 다룰 수 있는 범위를 벗어났습니다. "
    "입력값을 확인하십시오. 결과는 저장하지 않았으며 저장소는 실행 전 그대로입니다.";

// Inputs that would break the model are refused before a run.
inline constexpr const char* kNoChemicalChosen = "화학 물질을 선택하십시오.";
inline constexpr const char* kMustBePositiveFormat = "%s 값은 0보다 커야 합니다.";
inline constexpr const char* kMustNotBeNegativeFormat = "%s 값은 0 이상이어야 합니다.";
inline constexpr const char* kNotFiniteFormat = "%s 값이 올바른 숫자가 아닙니다.";
inline constexpr const char* kFractionRangeFormat = "%s 값은 0보다 크고 1 이하여야 합니다.";
inline constexpr const char* kStreamBankNotWider = "하천변 폭은 살포 너비보다 커야 합니다.";
inline constexpr const char* kDitchBankNotWider = "하천변 폭은 하천 폭보다 커야 합니다.";
// A chemical that may not be used for a run (the scenario window offers only
// usable ones): the chemical's name, then the label of its first required
// property that is empty or not a number.
inline constexpr const char* kChemicalNotUsableFormat =
    "화학 물질 %s은(는) 사용할 수 없습니다. 필수 항목 %s 값이 비어 있거나 숫자가 아닙니다. "
    "물질정보관리 기능에서 물질정보를 편집하십시오.";
inline constexpr const char* kChemicalPropertyFormat = "화학 물질의 %s 값은 0보다 커야 합니다. 물질정보 관리에서 확인하십시오.";

// Field names used in those messages (the window's labels).
inline constexpr const char* kPropertyHalfLifeAir = "공기 중 반감기(hour)";
inline constexpr const char* kPropertyHalfLifeWater = "물 속 반감기(hour)";
inline constexpr const char* kPropertyHalfLifeSoil = "토양 속 반감기(hour)";
inline constexpr const char* kPropertyHenry = "헨리상수(atmm3/mole)";

// Command-line store creation
inline constexpr const char* kStoreFileExists = "파일이 이미 있습니다. 기존 저장소를 덮어쓰지 않습니다: %s";
inline constexpr const char* kSampleFileUnreadable = "물질 자료 파일을 읽을 수 없습니다: %s";

// Opening a file that holds no table at all (an empty file, say).
inline constexpr const char* kStoreHasNoTables = "저장소 파일에 테이블이 없습니다. 빈 파일이거나 Verdanel 저장소가 아닙니다";

// A write the store could not start because no file can be made in its folder.
inline constexpr const char* kStoreFolderNotWritable =
    "저장소 폴더에 작업 파일을 만들 수 없습니다. 폴더의 쓰기 권한과 남은 공간을 확인하십시오: %s";

}  // namespace verdanel::msg
