#pragma once
// Replaces the first "%s" (or "%1") of a message format with a value.
#include <string>

namespace verdanel {

std::string fillMessage(const std::string& format, const std::string& value);

}  // namespace verdanel
