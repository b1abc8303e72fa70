#pragma once
// The texts of getting a chosen base folder ready. UTF-8; "%s" stands for a path.

namespace verdanel::msg {

// The folder itself, or one of its INI, Database and input folders, cannot be made.
inline constexpr const char* kBaseFolderNotMadeFormat =
    "작업 폴더를 만들 수 없습니다. 상위 폴더의 쓰기 권한을 확인하십시오: %s";
// The disk (or the user's quota) has no room for the copies.
inline constexpr const char* kBaseFolderDiskFullFormat =
    "디스크 공간이 부족하여 작업 폴더를 준비하지 못했습니다. 공간을 확보한 뒤 다시 시작하십시오: %s";
// A file cannot be written into the folder for another reason.
inline constexpr const char* kBaseFolderFileNotWrittenFormat =
    "작업 폴더에 파일을 만들 수 없습니다. 폴더의 쓰기 권한을 확인하십시오: %s";
// The program's own sample file is missing or unreadable (a damaged installation).
inline constexpr const char* kSampleFileMissingFormat =
    "프로그램의 샘플 파일을 읽을 수 없습니다. 프로그램을 다시 설치하십시오: %s";

}  // namespace verdanel::msg
