#pragma once
#include <cstdint>
#include <string>
#include <variant>

namespace verdanel {

// A value bound to a statement's "?" placeholder.
using StoreValue = std::variant<std::nullptr_t, std::int64_t, double, std::string>;

}  // namespace verdanel
