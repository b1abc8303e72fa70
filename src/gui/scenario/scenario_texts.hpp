#pragma once
// Texts of the scenario definition window's own checks and controls. UTF-8.
// The run's messages (refusals, replace question, completion) belong to the
// core and are shown by it.

namespace verdanel::gui::scenario_text {

// Start sequence, in the order it checks.
inline constexpr const char* kEnterNumber = "숫자를 입력하십시오.";
inline constexpr const char* kEnterScenarioName = "시나리오 명을 입력하여 주십시오.";
inline constexpr const char* kChooseWindSpeedFile = "풍속 입력파일을 지정해주세요.";
inline constexpr const char* kChooseTemperatureFile = "기온 입력파일을 지정해주세요.";
inline constexpr const char* kChooseRainfallFile = "강우 입력파일을 지정해주세요.";
inline constexpr const char* kChooseHumidityFile = "습도 입력파일을 지정해주세요.";
inline constexpr const char* kChooseWindDirectionFile = "풍향 입력파일을 지정해주세요.";
inline constexpr const char* kEnterSprayDate = "살포 날짜를 입력해주세요.";

// Controls
inline constexpr const char* kScenarioGroup = "시나리오";
inline constexpr const char* kScenarioNameLabel = "시나리오 명";
inline constexpr const char* kChemicalLabel = "화학 물질";
inline constexpr const char* kMaterialManagerButton = "물질정보 관리...";
inline constexpr const char* kPrintResults = "시뮬레이션 완료 후 결과 출력";
inline constexpr const char* kStartButton = "시뮬레이션 시작";
inline constexpr const char* kWeatherGroup = "기상자료";
inline constexpr const char* kWindDirectionLabel = "풍향";
inline constexpr const char* kWindSpeedLabel = "풍속";
inline constexpr const char* kTemperatureLabel = "기온";
inline constexpr const char* kRainfallLabel = "강우량";
inline constexpr const char* kHumidityLabel = "습도";
inline constexpr const char* kChooseFileButton = "...";
inline constexpr const char* kSprayDateGroup = "살포 날짜";
inline constexpr const char* kAddSprayDate = "추가...";
inline constexpr const char* kDeleteSprayDate = "삭제";
inline constexpr const char* kParameterGroup = "매개변수";
inline constexpr const char* kCalendarTitle = "살포 날짜 추가";

}  // namespace verdanel::gui::scenario_text
