#include "core/common/text_format.hpp"

namespace verdanel {

std::string fillMessage(const std::string& format, const std::string& value) {
    for (const char* marker : {"%s", "%1"}) {
        auto pos = format.find(marker);
        if (pos != std::string::npos) return format.substr(0, pos) + value + format.substr(pos + 2);
    }
    return format;
}

std::string fillMessage(const std::string& format, std::initializer_list<std::string> values) {
    std::string text = format;
    std::size_t from = 0;
    for (const std::string& value : values) {
        const auto pos = text.find("%s", from);
        if (pos == std::string::npos) break;
        text.replace(pos, 2, value);
        from = pos + value.size();  // a value holding "%s" is not filled again
    }
    return text;
}

}  // namespace verdanel
