#include "core/common/text_format.hpp"

namespace verdanel {

std::string fillMessage(const std::string& format, const std::string& value) {
    for (const char* marker : {"%s", "%1"}) {
        auto pos = format.find(marker);
        if (pos != std::string::npos) return format.substr(0, pos) + value + format.substr(pos + 2);
    }
    return format;
}

}  // namespace verdanel
