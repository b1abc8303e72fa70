#include "core/common/cp949.hpp"

#include "core/common/platform.hpp"

namespace verdanel {

std::string utf8ToCp949(std::string_view utf8) { return platform::utf8ToCp949(utf8); }
std::string cp949ToUtf8(std::string_view cp949) { return platform::cp949ToUtf8(cp949); }

}  // namespace verdanel
