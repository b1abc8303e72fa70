#pragma once
// Paths travel through the program as UTF-8 text (SQLite, the store, the
// messages); every file is opened through a std::filesystem::path made from
// that text, never from the narrow string itself, which Windows would read
// in its ANSI code page.
#include <filesystem>
#include <string>
#include <string_view>

namespace verdanel {

std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path& path);

// Position of the last folder separator ('/', and '\' where the system uses
// it), or npos.
std::size_t lastPathSeparator(std::string_view path);

}  // namespace verdanel
