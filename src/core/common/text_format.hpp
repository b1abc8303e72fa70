#pragma once
// Replaces the first "%s" (or "%1") of a message format with a value.
#include <initializer_list>
#include <string>

namespace verdanel {

std::string fillMessage(const std::string& format, const std::string& value);
// Replaces the "%s" of a format one after the other with the values.
std::string fillMessage(const std::string& format, std::initializer_list<std::string> values);

}  // namespace verdanel
