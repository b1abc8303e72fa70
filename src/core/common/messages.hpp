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

// Command-line store creation
inline constexpr const char* kStoreFileExists = "파일이 이미 있습니다. 기존 저장소를 덮어쓰지 않습니다: %s";
inline constexpr const char* kSampleFileUnreadable = "물질 자료 파일을 읽을 수 없습니다: %s";

}  // namespace verdanel::msg
