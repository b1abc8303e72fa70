// Fuzzes the connection settings: the input is written as INI/CONNECTION.INI
// of a private base folder and the connection text is built from it; the
// store's connection text parser then reads that text, the raw input, and
// the input behind a fixed "Data Source=" prefix.
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/app/connection_settings.hpp"
#include "core/store/store_connection.hpp"
#include "fuzz_support.hpp"

using namespace verdanel;

namespace {

std::string g_base;
const std::string kStoreTail = "/Database/Verdanel.mdb";

// The first line that does not start with ';' (an empty line counts), with
// its line break when it has one; empty when every line is a comment.
std::string referencePrefix(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t nl = bytes.find('\n', pos);
        const std::size_t end = nl == std::string_view::npos ? bytes.size() : nl + 1;
        const std::string_view line = bytes.substr(pos, end - pos);
        if (line[0] != ';') return std::string(line);
        pos = end;
    }
    return std::string();
}

void checkTrimmed(const std::string& s, const char* what) {
    if (s.empty()) return;
    FUZZ_CHECK(!fuzz::isCSpace(static_cast<unsigned char>(s.front())) &&
                   !fuzz::isCSpace(static_cast<unsigned char>(s.back())),
               "%s: data source has surrounding white space", what);
}

// The data source of any text is trimmed and comes from inside the text.
std::string checkedDataSource(const std::string& text, const char* what) {
    const std::string ds = dataSourceOf(text);
    checkTrimmed(ds, what);
    FUZZ_CHECK(ds.empty() || text.find(ds) != std::string::npos, "%s: data source is not part of the text", what);
    if (text.find('=') == std::string::npos) {
        FUZZ_CHECK(ds == fuzz::trimC(text), "%s: a text without keys is not its own path", what);
    }
    return ds;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_base = fuzz::makeTempFolder("connection");
    FUZZ_CHECK(mkdir((g_base + "/INI").c_str(), 0700) == 0, "mkdir INI");
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(g_base, ec);
    });
    // No file: no connection text at all.
    FUZZ_CHECK(buildConnectionText(g_base).empty(), "connection text without CONNECTION.INI");
    // The shipped prefix names the store below the base folder.
    const std::string shipped = "; comment\nProvider=SQLite;Data Source=\n";
    fuzz::writeFile(connectionIniPath(g_base), reinterpret_cast<const uint8_t*>(shipped.data()), shipped.size());
    FUZZ_CHECK(dataSourceOf(buildConnectionText(g_base)) == g_base + kStoreTail, "shipped prefix");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    fuzz::writeFile(connectionIniPath(g_base), data, size);
    const std::string text = buildConnectionText(g_base);
    const std::string want = referencePrefix(bytes) + g_base + kStoreTail;
    FUZZ_CHECK(text.size() >= kStoreTail.size() && text.compare(text.size() - kStoreTail.size(), kStoreTail.size(), kStoreTail) == 0,
               "connection text does not end with the store file");
    FUZZ_CHECK(text == want, "connection text differs from prefix + base + store file (got %zu bytes, want %zu)",
               text.size(), want.size());

    checkedDataSource(text, "connection text");
    checkedDataSource(bytes, "raw input");

    // Whatever follows the data-source key is the path, trimmed; key case and
    // the blanks around the key do not matter.
    FUZZ_CHECK(dataSourceOf("Provider=SQLite;Data Source=" + bytes) == fuzz::trimC(bytes), "value after the key");
    FUZZ_CHECK(dataSourceOf("provider = sqlite ;\t DATA SOURCE \t=" + bytes) == fuzz::trimC(bytes),
               "value after a spaced upper-case key");
    return 0;
}
