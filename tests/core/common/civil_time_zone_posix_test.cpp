// The time zone switched through TZ and tzset, as POSIX systems name zones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "core/common/civil_time.hpp"

using namespace verdanel;

TEST(CivilTime, DaysAlwaysHave86400SecondsWhateverTheTimeZone) {
    const char* old = std::getenv("TZ");
    std::string saved = old ? old : "";
    // A zone with daylight saving: the civil difference must not see the shift.
    setenv("TZ", "America/New_York", 1);
    tzset();
    CivilTime a{2010, 3, 13, 10, 0, 0};
    CivilTime b{2010, 3, 15, 10, 0, 0};
    EXPECT_EQ(secondsBetween(a, b), 2 * 86400);
    if (old) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
    tzset();
}
