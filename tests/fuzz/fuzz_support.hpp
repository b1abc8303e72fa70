#pragma once
// Small helpers shared by the fuzz targets: a hard check that aborts with a
// message (so libFuzzer records the input), a silent prompter that counts
// what it was told, a reference reading of a decimal number prefix, and a
// private temporary folder.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <locale.h>
#include <stdlib.h>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/prompter.hpp"

#define FUZZ_CHECK(cond, ...)                                                        \
    do {                                                                             \
        if (!(cond)) {                                                               \
            std::fprintf(stderr, "FUZZ_CHECK failed at %s:%d: %s\n", __FILE__,       \
                         __LINE__, #cond);                                           \
            std::fprintf(stderr, "  " __VA_ARGS__);                                  \
            std::fprintf(stderr, "\n");                                              \
            std::abort();                                                            \
        }                                                                            \
    } while (0)

namespace fuzz {

// Records every message instead of showing it; answers every question with OK.
class SilentPrompter final : public verdanel::Prompter {
public:
    void inform(const std::string& text, const std::string& caption, verdanel::PromptIcon icon) override {
        texts.push_back(text);
        captions.push_back(caption);
        icons.push_back(icon);
    }
    bool confirm(const std::string& text, const std::string&) override {
        questions.push_back(text);
        return true;
    }
    std::vector<std::string> texts;
    std::vector<std::string> captions;
    std::vector<verdanel::PromptIcon> icons;
    std::vector<std::string> questions;
};

inline locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

// White space as the C locale's isspace sees it.
inline bool isCSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline std::string trimC(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isCSpace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && isCSpace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

// What atof gives when only decimal numbers count: strtod in the C locale,
// except that a hexadecimal number reads as its leading "0" (keeping the
// sign) and infinity or NaN spellings read as no number at all (0).
inline double referenceDecimalAtof(std::string_view text) {
    const std::string copy(text);  // stops at an embedded NUL, as the parser does
    char* end = nullptr;
    const double value = strtod_l(copy.c_str(), &end, cLocale());
    const std::string_view used(copy.c_str(), static_cast<std::size_t>(end - copy.c_str()));
    if (used.find_first_of("iInN") != std::string_view::npos) return 0.0;
    if (used.find_first_of("xX") != std::string_view::npos) return std::copysign(0.0, value);
    return value;
}

inline bool sameDouble(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

inline bool sameFloat(float a, float b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

// A fresh folder below TMPDIR, else /dev/shm (memory, when there is one),
// else /tmp; made once per process.
inline std::string makeTempFolder(const char* tag) {
    const char* tmp = std::getenv("TMPDIR");
    std::string root = tmp && *tmp ? tmp : (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    std::string pattern = root + "/verdanel-fuzz-" + tag + "-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    return std::string(buf.data());
}

inline void writeFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    FUZZ_CHECK(out.good(), "cannot write %s", path.c_str());
}

}  // namespace fuzz
