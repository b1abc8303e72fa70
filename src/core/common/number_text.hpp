#pragma once
// Number texts as the store, the lists and the exports write them, and the
// lenient number reading used for texts from the store, files and records.
#include <cstdint>
#include <string>
#include <string_view>

namespace verdanel {

// "%e": six decimals and an exponent of at least three digits (1.234560e-005).
std::string formatE(double value);
// "%1.2e": two decimals, same exponent rule (1.20e-003).
std::string formatE2(double value);
// Any precision in the same style; the shared engine of the two above.
std::string formatScientific(double value, int decimals);

// The value as "%e" prints it, as an integer that orders like the printed
// numbers: values that print alike (equal to seven significant digits after
// rounding) get the same key, and a's key is below b's exactly when the
// number printed for a is below the one printed for b. 0 and -0 share the
// key 0 (so does NaN); the infinities lie beyond every finite key.
// Comparisons that decide what a user reads are made on this, so that the
// rows agree with their printed texts.
std::int64_t printedKey(double value);
// The least and the greatest double that print as the finite `value` does.
double leastPrintedAlike(double value);
double greatestPrintedAlike(double value);

// The atof rule: leading blanks skipped, the longest decimal number at the
// start taken (sign, point, exponent), 0 when there is none. Independent of
// the process locale, so a GUI toolkit changing LC_NUMERIC cannot alter it.
double parseAtof(std::string_view text);

// Shortest text that reads back to exactly the same double ("0.5", "1e-07").
std::string formatRoundTrip(double value);

}  // namespace verdanel
