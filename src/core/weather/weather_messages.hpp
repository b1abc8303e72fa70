#pragma once
// The texts of the weather files. UTF-8; "%1" stands for the file's path.

namespace verdanel::msg {

// A line that does not give exactly 12 values stops the reading of that file.
inline constexpr const char* kWindSpeedFileMalformed = "풍속 입력파일 불러오기 실패! 파일형식을 확인해주세요.";
inline constexpr const char* kWindDirectionFileMalformed = "풍향 입력파일 불러오기 실패! 파일형식을 확인해주세요.";
inline constexpr const char* kTemperatureFileMalformed = "기온 입력파일 불러오기 실패! 파일형식을 확인해주세요.";
inline constexpr const char* kRainfallFileMalformed = "강우 입력파일 불러오기 실패! 파일형식을 확인해주세요.";
inline constexpr const char* kHumidityFileMalformed = "습도 입력파일 불러오기 실패! 파일형식을 확인해주세요.";

// A file that cannot be opened stops the whole reading.
inline constexpr const char* kWeatherFileNotFound = "%1 을(를) 찾을 수 없음.";
inline constexpr const char* kWeatherFileIsFolder = "%1 은(는) 파일이 아니라 폴더이므로 열 수 없음.";
inline constexpr const char* kWeatherFileAccessDenied = "%1 을(를) 열 수 없음. 파일을 읽을 권한이 없습니다.";
inline constexpr const char* kWeatherFileOpenFailed = "%1 을(를) 열 수 없음.";

// The file chooser of the scenario window.
inline constexpr const char* kWeatherFileFilter = "Verdanel Input File (*.txt)";

}  // namespace verdanel::msg
