// Weather files that are not what they should be: wrong piece counts,
// binary bytes, a 10 MB line, old Mac line ends, no file at all. The reader
// says what is wrong, stays fast and small, and a run either goes on with the
// tables as they stand or stops before the store changes.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>

#include "badinput_fixture.hpp"
#include "core/common/messages.hpp"
#include "core/common/text_format.hpp"
#include "core/weather/weather_messages.hpp"

using namespace verdanel;
using namespace verdanel::testing;

namespace {

constexpr std::size_t kTenMegabytes = 10u << 20;
const std::string kTwelve = "1 2 3 4 5 6 7 8 9 10 11 12";

// Writes a file from repeated chunks, so no 10 MB text is ever held here.
std::string writeRepeated(const TempFolder& folder, const std::string& name, const std::string& head,
                          const std::string& chunk, std::size_t total, const std::string& tail) {
    const std::string path = folder.file(name);
    std::ofstream out(path, std::ios::binary);
    out << head;
    for (std::size_t written = 0; written < total; written += chunk.size()) out << chunk;
    out << tail;
    return path;
}

std::string repeatLine(const std::string& line, const std::string& end, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += line + end;
    return s;
}

// Peak resident memory added while work runs, in kB; -1 when the system cannot say.
long peakGrowthKb(const std::function<void()>& work) {
    auto status = [](const char* key) {
        std::ifstream in("/proc/self/status");
        std::string line;
        while (std::getline(in, line))
            if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
        return -1L;
    };
    {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5";  // starts the peak afresh
        if (!reset) {
            work();
            return -1;
        }
    }
    const long before = status("VmRSS:");
    work();
    const long peak = status("VmHWM:");
    return before < 0 || peak < 0 ? -1 : peak - before;
}

}  // namespace

TEST(OddWeatherFiles, EachIsReportedQuicklyWithoutBeingHeldAndRunsBehaveAccordingly) {
    InputFixture f;
    const TempFolder& folder = f.app.folder;
    std::mt19937 random(19700101);
    std::string noise(64 * 1024, '\0');
    for (char& c : noise) c = static_cast<char>(random() & 0xFF);
    noise.replace(100, 3, std::string("\0\0\0", 3));

    struct Case {
        const char* what;
        std::string path;
        bool opens;
        bool malformed;
        int lines;
        bool big;
    };
    const std::string huge = writeRepeated(folder, "huge.txt", "", std::string(64 * 1024, '7'), kTenMegabytes, "\n");
    const std::string pieces = writeRepeated(folder, "pieces.txt", "", "1 ", kTenMegabytes, "\n");
    const std::string blanks = writeRepeated(folder, "blanks.txt", "1 2 3 4 5 6 7 8 9 10 11",
                                             std::string(64 * 1024, ' ') + "\t", kTenMegabytes, " 12\n");
    folder.write("folder.txt/inside", "x");
    const std::string folderInPlace = folder.file("folder.txt");
    const Case cases[] = {
        {"11 pieces on line 2", folder.write("eleven.txt", kTwelve + "\n1 2 3 4 5 6 7 8 9 10 11\n" + kTwelve + "\n"),
         true, true, 1, false},
        {"13 pieces on line 1", folder.write("thirteen.txt", kTwelve + " 13\n" + kTwelve + "\n"), true, true, 0, false},
        {"binary bytes", folder.write("noise.txt", noise), true, true, 0, false},
        {"a 10 MB line without a blank", huge, true, true, 0, true},
        {"a 10 MB line of short pieces", pieces, true, true, 0, true},
        {"twelve values 10 MB apart", blanks, true, false, 1, true},
        {"CR-only line ends", folder.write("mac.txt", repeatLine(kTwelve, "\r", 31)), true, true, 0, false},
        {"CR LF line ends", folder.write("dos.txt", repeatLine(kTwelve, "\r\n", 31)), true, false, 31, false},
        {"an empty file", folder.write("empty.txt", ""), true, false, 0, false},
        {"a missing file", folder.file("no such.txt"), false, false, 0, false},
        {"a folder in place of the file", folderInPlace, false, false, 0, false},
    };
    ASSERT_EQ(f.run(f.scenario(ModelKind::Ditch, "weather")).status, RunStatus::Completed);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The reader alone.
        ScriptedPrompter prompter;
        WeatherSet set;
        WeatherFileOutcome read;
        const auto started = std::chrono::steady_clock::now();
        const long growth = peakGrowthKb([&] { read = readWeatherFile(set, WeatherFile::WindSpeed, c.path, prompter); });
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_EQ(read.opened, c.opens);
        EXPECT_EQ(read.malformed, c.malformed);
        EXPECT_EQ(read.linesStored, c.lines);
        if (!c.opens) {
            EXPECT_NE(read.error.find(c.path), std::string::npos) << read.error;
            EXPECT_EQ(prompter.texts(), std::vector<std::string>{read.error});
        } else if (c.malformed) {
            EXPECT_EQ(prompter.texts(), std::vector<std::string>{msg::kWindSpeedFileMalformed});
        } else {
            EXPECT_TRUE(prompter.shown.empty());
        }
        if (c.big) {
            // A line is scanned, never held: a reader that kept the line would need 10 MB and more.
            if (growth >= 0) {
                EXPECT_LT(growth, 4 * 1024) << "kB";
            }
            EXPECT_LT(std::chrono::duration_cast<std::chrono::seconds>(took).count(), 5);
        }

        // The same file as the wind speed of a run that replaces an earlier one.
        ScenarioDefinition s = f.scenario(ModelKind::Ditch, "weather");
        s.weather.windSpeed = c.path;
        const StoreDigest before = f.digest();
        f.prompter.shown.clear();
        RunOutcome outcome = f.run(s);
        if (!c.opens) {
            EXPECT_EQ(outcome.status, RunStatus::WeatherUnreadable);
            EXPECT_EQ(f.prompter.texts(), std::vector<std::string>{read.error});
            EXPECT_TRUE(f.digest() == before);
        } else {
            ASSERT_EQ(outcome.status, RunStatus::Completed);
            std::vector<std::string> expected;
            if (c.malformed) expected.push_back(msg::kWindSpeedFileMalformed);
            expected.push_back(fillMessage(msg::kRunCompleteFormat, "weather"));
            EXPECT_EQ(f.prompter.texts(), expected);
        }
    }
}

TEST(OddWeatherFiles, ValuesTenMegabytesApartAreStillReadInTheirMonths) {
    TempFolder folder;
    const std::string path = writeRepeated(folder, "blanks.txt", "0.5 1 2 3 4 5 6 7 8 9 10",
                                           std::string(64 * 1024, ' ') + "\t", kTenMegabytes, " 12.5\n");
    ScriptedPrompter prompter;
    WeatherSet set;
    ASSERT_EQ(readWeatherFile(set, WeatherFile::Temperature, path, prompter).linesStored, 1);
    EXPECT_EQ(set.temperature[0][0], 0.5f);
    EXPECT_EQ(set.temperature[0][10], 10.0f);
    EXPECT_EQ(set.temperature[0][11], 12.5f);
    EXPECT_EQ(set.temperature[1][11], 0.0f);
}
