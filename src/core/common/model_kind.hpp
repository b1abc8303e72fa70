#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace verdanel {

enum class ModelKind { Stream, Ditch, Pond };

// "stream", "ditch", "pond": the Model_Type of a scenario and the suffix of
// its output and mass-balance tables.
inline const char* modelTypeText(ModelKind kind) {
    switch (kind) {
        case ModelKind::Stream: return "stream";
        case ModelKind::Ditch: return "ditch";
        case ModelKind::Pond: return "pond";
    }
    return "stream";
}

inline std::optional<ModelKind> modelKindFromText(std::string_view text) {
    if (text == "stream") return ModelKind::Stream;
    if (text == "ditch") return ModelKind::Ditch;
    if (text == "pond") return ModelKind::Pond;
    return std::nullopt;
}

}  // namespace verdanel
