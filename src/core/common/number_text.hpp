#pragma once
// Number texts as the store, the lists and the exports write them, and the
// lenient number reading used for texts from the store, files and records.
#include <string>
#include <string_view>

namespace verdanel {

// "%e": six decimals and an exponent of at least three digits (1.234560e-005).
std::string formatE(double value);
// "%1.2e": two decimals, same exponent rule (1.20e-003).
std::string formatE2(double value);
// Any precision in the same style; the shared engine of the two above.
std::string formatScientific(double value, int decimals);

// The atof rule: leading blanks skipped, the longest decimal number at the
// start taken (sign, point, exponent), 0 when there is none. Independent of
// the process locale, so a GUI toolkit changing LC_NUMERIC cannot alter it.
double parseAtof(std::string_view text);

// Shortest text that reads back to exactly the same double ("0.5", "1e-07").
std::string formatRoundTrip(double value);

}  // namespace verdanel
