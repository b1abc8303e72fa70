// Fuzzes the number texts: the property number check, the atof reading
// (against strtod in the C locale, decimal forms only) and the "%e",
// "%1.2e" and round-trip formatters read back through the same parser.
//
// Input: any bytes, taken as a text; its first eight bytes are also taken
// as the bits of a double for the formatters.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "core/chemicals/chemical_rules.hpp"
#include "core/common/number_text.hpp"
#include "fuzz_support.hpp"

using namespace verdanel;

namespace {

// The 24 signs and the lower-case letters other than e and f.
bool failsNumberCheck(std::string_view text) {
    for (char c : text) {
        if (std::string_view("~!@#$%^&*()_|`=\\,/<>?;':").find(c) != std::string_view::npos) return true;
        if (c >= 'a' && c <= 'z' && c != 'e' && c != 'f') return true;
    }
    return false;
}

void checkNumberCheck(std::string_view text) {
    const NumberCheck nc = numberCheck(text);
    FUZZ_CHECK(nc.passes == !failsNumberCheck(text), "number check verdict %d", nc.passes);
    if (nc.passes) {
        FUZZ_CHECK(fuzz::sameFloat(nc.value, static_cast<float>(parseAtof(text))), "number check value %.9g",
                   static_cast<double>(nc.value));
    } else {
        FUZZ_CHECK(nc.value == 0.0f, "failing text has value %.9g", static_cast<double>(nc.value));
    }
}

void checkAtof(std::string_view text) {
    const double got = parseAtof(text);
    const double want = fuzz::referenceDecimalAtof(text);
    FUZZ_CHECK(fuzz::sameDouble(got, want), "parseAtof %.17g, strtod %.17g", got, want);
    FUZZ_CHECK(!std::isnan(got), "parseAtof gave NaN");
}

// "-?d.<decimals digits>e[+-]ddd": the exponent has exactly three digits for a double.
bool hasScientificShape(const std::string& s, int decimals) {
    std::size_t i = 0;
    if (i < s.size() && s[i] == '-') ++i;
    auto digit = [&](std::size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
    if (!digit(i++)) return false;
    if (decimals > 0) {
        if (i >= s.size() || s[i++] != '.') return false;
        for (int d = 0; d < decimals; ++d)
            if (!digit(i++)) return false;
    }
    if (i >= s.size() || s[i++] != 'e') return false;
    if (i >= s.size() || (s[i] != '+' && s[i] != '-')) return false;
    ++i;
    for (int d = 0; d < 3; ++d)
        if (!digit(i++)) return false;
    return i == s.size();
}

void checkScientific(double x, int decimals) {
    const std::string s = formatScientific(x, decimals);
    if (decimals == 6) FUZZ_CHECK(s == formatE(x), "formatE differs from formatScientific(6)");
    if (decimals == 2) FUZZ_CHECK(s == formatE2(x), "formatE2 differs from formatScientific(2)");
    if (!std::isfinite(x)) {
        FUZZ_CHECK(!numberCheck(s).passes, "'%s' passes the number check", s.c_str());
        return;
    }
    FUZZ_CHECK(hasScientificShape(s, decimals), "'%s' is not a %d-decimal scientific text", s.c_str(), decimals);
    const double y = parseAtof(s);
    FUZZ_CHECK(std::signbit(y) == std::signbit(x), "'%s' reads back with the other sign", s.c_str());
    const double ax = std::fabs(x);
    const double ulp = std::nextafter(ax, std::numeric_limits<double>::infinity()) - ax;
    const double tol = 0.5000001 * std::pow(10.0, -decimals) * ax + ulp;
    if (std::isinf(y)) {
        // Rounding the largest doubles up to the shown digits passes the largest double.
        FUZZ_CHECK(ax + tol >= DBL_MAX, "'%s' reads back as %.17g from %.17g", s.c_str(), y, x);
    } else {
        FUZZ_CHECK(std::fabs(y - x) <= tol, "'%s' reads back as %.17g from %.17g", s.c_str(), y, x);
    }
    const NumberCheck nc = numberCheck(s);
    FUZZ_CHECK(nc.passes && fuzz::sameFloat(nc.value, static_cast<float>(y)), "'%s' fails the number check", s.c_str());
}

void checkFormatters(double x) {
    checkScientific(x, 6);
    checkScientific(x, 2);
    checkScientific(x, 0);
    const std::string r = formatRoundTrip(x);
    if (std::isfinite(x)) {
        FUZZ_CHECK(fuzz::sameDouble(parseAtof(r), x), "round trip '%s' of %.17g", r.c_str(), x);
    } else {
        FUZZ_CHECK(r == (std::isnan(x) ? "nan" : (x < 0 ? "-inf" : "inf")), "round trip text '%s'", r.c_str());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkNumberCheck(text);
    checkAtof(text);
    // Every suffix too: the reading of "12.5mm" starts wherever a piece starts.
    for (std::size_t i = 1; i < size && i < 64; ++i) checkAtof(text.substr(i));

    if (size >= sizeof(double)) {
        double x;
        std::memcpy(&x, data, sizeof x);
        checkFormatters(x);
        checkFormatters(static_cast<double>(static_cast<float>(x)));
    }
    checkFormatters(parseAtof(text));
    return 0;
}
