#pragma once
// Exported files are CP949 so that Korean spreadsheet users open them as they are.
#include <string>
#include <string_view>

namespace verdanel {

// Converts UTF-8 text to CP949. A character CP949 cannot hold becomes "?",
// and a malformed UTF-8 byte becomes "?" too, so an export never stops half way.
std::string utf8ToCp949(std::string_view utf8);
// The reverse, for reading back what was written (tests, imports).
std::string cp949ToUtf8(std::string_view cp949);

}  // namespace verdanel
