#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/common/messages.hpp"
#include "core/weather/weather_reader.hpp"
#include "core/weather/weather_messages.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TempFolder;

namespace {

// The line of day d: the value of month m is d * 100 + m ("301 302 ... 312").
std::string dayLine(int day, const char* separator = " ") {
    std::string line;
    for (int m = 1; m <= 12; ++m) {
        if (m > 1) line += separator;
        line += std::to_string(day * 100 + m);
    }
    return line;
}

std::string dailyFile(int lines, const std::string& eol = "\n") {
    std::string text;
    for (int d = 1; d <= lines; ++d) text += dayLine(d) + eol;
    return text;
}

// Every cell set to a value no file here writes, so "kept" and "written" differ.
DailyTable filled(float value) {
    DailyTable t;
    for (auto& row : t) row.fill(value);
    return t;
}

std::array<float, 12> dayValues(int day) {
    std::array<float, 12> v{};
    for (int m = 1; m <= 12; ++m) v[static_cast<std::size_t>(m - 1)] = static_cast<float>(day * 100 + m);
    return v;
}

void expectRows(const DailyTable& t, int firstDay, int lastDay, const char* what) {
    for (int d = firstDay; d <= lastDay; ++d) EXPECT_EQ(t[static_cast<std::size_t>(d - 1)], dayValues(d)) << what << " day " << d;
}

void expectKept(const DailyTable& t, int firstDay, int lastDay, float value, const char* what) {
    std::array<float, 12> same;
    same.fill(value);
    for (int d = firstDay; d <= lastDay; ++d) EXPECT_EQ(t[static_cast<std::size_t>(d - 1)], same) << what << " day " << d;
}

struct DailyKind {
    WeatherFile file;
    DailyTable WeatherSet::*table;
    const char* message;
};

const DailyKind kDailyKinds[] = {
    {WeatherFile::WindSpeed, &WeatherSet::windSpeed, msg::kWindSpeedFileMalformed},
    {WeatherFile::Temperature, &WeatherSet::temperature, msg::kTemperatureFileMalformed},
    {WeatherFile::Rainfall, &WeatherSet::rainfall, msg::kRainfallFileMalformed},
    {WeatherFile::Humidity, &WeatherSet::humidity, msg::kHumidityFileMalformed},
};

}  // namespace

TEST(WeatherLine, TwelvePiecesSeparatedByAnyRunOfSpacesAndTabs) {
    const auto v = parseWeatherLine("\t  1  2\t\t3 \t4 5 6 7 8 9 10 11 -12e-1   ");
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ((*v)[0], 1.0f);
    EXPECT_EQ((*v)[2], 3.0f);
    EXPECT_EQ((*v)[11], -1.2f);

    for (const char* bad : {"", "   \t ", "1 2 3 4 5 6 7 8 9 10 11", "1 2 3 4 5 6 7 8 9 10 11 12 13",
                            "1,2,3,4,5,6,7,8,9,10,11,12"}) {
        EXPECT_FALSE(parseWeatherLine(bad).has_value()) << "'" << bad << "'";
    }
}

TEST(WeatherLine, EachPieceIsReadByTheAtofRule) {
    const auto v = parseWeatherLine("1,5 12.5mm abc .5 +3 -0.25 1e2 2E-1 7. x9 9x 0012");
    ASSERT_TRUE(v.has_value());
    const std::array<float, 12> expected{1.0f, 12.5f, 0.0f, 0.5f, 3.0f, -0.25f, 100.0f, 0.2f, 7.0f, 0.0f, 9.0f, 12.0f};
    EXPECT_EQ(*v, expected);
}

TEST(DailyWeatherFile, FillsTheDaysItGivesAndKeepsTheOthers) {
    TempFolder dir;
    ScriptedPrompter prompter;
    WeatherSet set;
    set.rainfall = filled(-7.0f);
    const auto outcome = readWeatherFile(set, WeatherFile::Rainfall, dir.write("rain.txt", dailyFile(28)), prompter);
    EXPECT_TRUE(outcome.opened);
    EXPECT_FALSE(outcome.malformed);
    EXPECT_EQ(outcome.linesStored, 28);
    expectRows(set.rainfall, 1, 28, "rainfall");
    expectKept(set.rainfall, 29, 31, -7.0f, "rainfall");
    expectKept(set.temperature, 1, 31, 0.0f, "temperature");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(DailyWeatherFile, LinesAfterTheThirtyFirstAreNeverLookedAt) {
    TempFolder dir;
    ScriptedPrompter prompter;
    WeatherSet set;
    std::string text = dailyFile(31);
    for (int i = 32; i <= 40; ++i) text += "not a weather line\n";
    const auto outcome = readWeatherFile(set, WeatherFile::Temperature, dir.write("temp.txt", text), prompter);
    EXPECT_EQ(outcome.linesStored, 31);
    EXPECT_FALSE(outcome.malformed);
    expectRows(set.temperature, 1, 31, "temperature");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(DailyWeatherFile, ABadLineStopsThatFileWithItsOwnMessage) {
    const std::string badLines[] = {"1 2 3 4 5 6 7 8 9 10 11", "1 2 3 4 5 6 7 8 9 10 11 12 13", ""};
    for (const DailyKind& kind : kDailyKinds) {
        for (const std::string& bad : badLines) {
            TempFolder dir;
            ScriptedPrompter prompter;
            WeatherSet set;
            set.*kind.table = filled(-7.0f);
            const std::string text = dailyFile(4) + bad + "\n" + dayLine(6) + "\n";
            const auto outcome = readWeatherFile(set, kind.file, dir.write("daily.txt", text), prompter);
            EXPECT_TRUE(outcome.opened);
            EXPECT_TRUE(outcome.malformed);
            EXPECT_EQ(outcome.linesStored, 4);
            expectRows(set.*kind.table, 1, 4, kind.message);
            expectKept(set.*kind.table, 5, 31, -7.0f, kind.message);
            ASSERT_EQ(prompter.shown.size(), 1u) << kind.message;
            EXPECT_EQ(prompter.shown[0].text, kind.message);
            EXPECT_EQ(prompter.shown[0].caption, msg::kProgramTitle);
        }
    }
}

TEST(DailyWeatherFile, SeparatorsAndLineEndsOfAnyUsualEditorAreAccepted) {
    TempFolder dir;
    ScriptedPrompter prompter;
    std::string text;
    for (int d = 1; d <= 31; ++d) {
        const std::string separator = d % 3 == 0 ? "\t" : d % 3 == 1 ? "  " : " \t ";
        text += (d % 2 ? "   " : "") + dayLine(d, separator.c_str()) + (d % 4 == 0 ? " \n" : d % 4 == 1 ? " \t\r\n" : "\r\n");
    }
    text.erase(text.size() - 2);  // the last line without a line end
    WeatherSet set;
    EXPECT_EQ(readWeatherFile(set, WeatherFile::Humidity, dir.write("Humi.txt", "\xEF\xBB\xBF" + text), prompter)
                  .linesStored,
              31);
    expectRows(set.humidity, 1, 31, "humidity");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(DailyWeatherFile, CarriageReturnsAloneDoNotEndLines) {
    TempFolder dir;
    ScriptedPrompter prompter;
    WeatherSet set;
    const auto outcome = readWeatherFile(set, WeatherFile::WindSpeed, dir.write("wind.txt", dailyFile(31, "\r")), prompter);
    EXPECT_TRUE(outcome.malformed);
    EXPECT_EQ(outcome.linesStored, 0);
    expectKept(set.windSpeed, 1, 31, 0.0f, "wind speed");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{msg::kWindSpeedFileMalformed});
}

TEST(DailyWeatherFile, AnEmptyFileChangesNothingAndSaysNothing) {
    TempFolder dir;
    ScriptedPrompter prompter;
    WeatherSet set;
    set.rainfall = filled(3.0f);
    const auto outcome = readWeatherFile(set, WeatherFile::Rainfall, dir.write("rain.txt", ""), prompter);
    EXPECT_TRUE(outcome.opened);
    EXPECT_FALSE(outcome.malformed);
    EXPECT_EQ(outcome.linesStored, 0);
    expectKept(set.rainfall, 1, 31, 3.0f, "rainfall");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(DailyWeatherFile, AShorterSecondFileKeepsTheLaterDaysOfTheFirst) {
    TempFolder dir;
    ScriptedPrompter prompter;
    WeatherSet set;
    readWeatherFile(set, WeatherFile::Rainfall, dir.write("rain1.txt", dailyFile(31)), prompter);
    std::string second;
    for (int d = 1; d <= 10; ++d) second += "0 0 0 0 0 0 0 0 0 0 0 0\n";
    readWeatherFile(set, WeatherFile::Rainfall, dir.write("rain2.txt", second), prompter);
    expectKept(set.rainfall, 1, 10, 0.0f, "second file");
    expectRows(set.rainfall, 11, 31, "first file");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(WindDirectionFile, TheSecondLineReplacesTheFirstAndTheRestIsIgnored) {
    TempFolder dir;
    const std::string one = dayLine(1) + "\n";
    const std::string two = one + dayLine(2) + "\n";
    const std::string three = two + "this line is never read\n";
    const std::pair<std::string, int> cases[] = {{one, 1}, {two, 2}, {three, 2}};
    for (const auto& [text, day] : cases) {
        ScriptedPrompter prompter;
        WeatherSet set;
        const auto outcome = readWeatherFile(set, WeatherFile::WindDirection, dir.write("winddir.txt", text), prompter);
        EXPECT_EQ(set.windDirection, dayValues(day));
        EXPECT_EQ(outcome.linesStored, day);
        EXPECT_TRUE(prompter.shown.empty());
        expectKept(set.windSpeed, 1, 31, 0.0f, "wind speed");
    }

    ScriptedPrompter prompter;
    WeatherSet set;
    readWeatherFile(set, WeatherFile::WindDirection, dir.write("winddir.txt", one + "1 2 3\n"), prompter);
    EXPECT_EQ(set.windDirection, dayValues(1));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{msg::kWindDirectionFileMalformed});
}

TEST(WeatherFileOpening, AMissingFileNamesItsPath) {
    TempFolder dir;
    ScriptedPrompter prompter;
    WeatherSet set;
    const std::string path = dir.file("no such folder/rain.txt");
    const auto outcome = readWeatherFile(set, WeatherFile::Rainfall, path, prompter);
    EXPECT_FALSE(outcome.opened);
    EXPECT_EQ(outcome.error, path + " 을(를) 찾을 수 없음.");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, outcome.error);
}

TEST(WeatherFileOpening, AFolderInPlaceOfTheFileIsRefused) {
    TempFolder dir;
    ScriptedPrompter prompter;
    WeatherSet set;
    std::filesystem::create_directories(dir.path() / "temp.txt");
    const auto outcome = readWeatherFile(set, WeatherFile::Temperature, dir.file("temp.txt"), prompter);
    EXPECT_FALSE(outcome.opened);
    EXPECT_EQ(outcome.error, dir.file("temp.txt") + " 은(는) 파일이 아니라 폴더이므로 열 수 없음.");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{outcome.error});
}

TEST(WeatherFileOpening, AnUnreadableFileIsRefused) {
    TempFolder dir;
    const std::string path = dir.write("wind.txt", dailyFile(31));
    std::error_code ec;
    std::filesystem::permissions(path, std::filesystem::perms::none, ec);
    ASSERT_FALSE(ec) << ec.message();
    if (std::ifstream(path).is_open()) GTEST_SKIP() << "this user reads files whatever their permissions";
    ScriptedPrompter prompter;
    WeatherSet set;
    const auto outcome = readWeatherFile(set, WeatherFile::WindSpeed, path, prompter);
    EXPECT_FALSE(outcome.opened);
    EXPECT_EQ(outcome.error, path + " 을(를) 열 수 없음. 파일을 읽을 권한이 없습니다.");
    expectKept(set.windSpeed, 1, 31, 0.0f, "wind speed");
}

TEST(WeatherSetReading, ReadsInOrderAndStopsAtAFileThatCannotBeOpened) {
    TempFolder dir;
    WeatherPaths paths = defaultWeatherPaths(dir.str());
    dir.write("input/Humi.txt", dailyFile(31));
    dir.write("input/rain.txt", dailyFile(31));
    dir.write("input/winddir.txt", dayLine(1));
    dir.write("input/wind.txt", dailyFile(31));
    // temp.txt is missing: humidity and rainfall come before it, the wind after it.
    ScriptedPrompter prompter;
    WeatherSet set;
    const WeatherReadOutcome outcome = readWeatherSet(set, paths, prompter);
    EXPECT_FALSE(outcome.opened);
    EXPECT_EQ(outcome.error, paths.temperature + " 을(를) 찾을 수 없음.");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{outcome.error});
    expectRows(set.humidity, 1, 31, "humidity");
    expectRows(set.rainfall, 1, 31, "rainfall");
    expectKept(set.windSpeed, 1, 31, 0.0f, "wind speed");
    EXPECT_EQ(set.windDirection, (std::array<float, 12>{}));
}

TEST(WeatherSetReading, BadLinesAreShownButDoNotStopTheReading) {
    TempFolder dir;
    const WeatherPaths paths = defaultWeatherPaths(dir.str());
    dir.write("input/Humi.txt", "1 2 3\n");
    dir.write("input/rain.txt", dailyFile(31));
    dir.write("input/temp.txt", dailyFile(2) + "\n");
    dir.write("input/winddir.txt", dayLine(1));
    dir.write("input/wind.txt", dailyFile(31));
    ScriptedPrompter prompter;
    WeatherSet set;
    const WeatherReadOutcome outcome = readWeatherSet(set, paths, prompter);
    EXPECT_TRUE(outcome.opened);
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{msg::kHumidityFileMalformed, msg::kTemperatureFileMalformed}));
    expectRows(set.temperature, 1, 2, "temperature");
    expectRows(set.windSpeed, 1, 31, "wind speed");
    EXPECT_EQ(set.windDirection, dayValues(1));
}

TEST(WeatherSetReading, TheSampleInputFolderReadsCleanly) {
    const WeatherPaths paths = defaultWeatherPaths(VERDANEL_SOURCE_DIR);
    EXPECT_EQ(paths.humidity, std::string(VERDANEL_SOURCE_DIR) + "/input/Humi.txt");
    EXPECT_EQ(paths.windDirection, std::string(VERDANEL_SOURCE_DIR) + "/input/winddir.txt");
    ScriptedPrompter prompter;
    WeatherSet set;
    EXPECT_TRUE(readWeatherSet(set, paths, prompter).opened);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(set.humidity[0][0], 61.2f);
    EXPECT_EQ(set.temperature[1][1], -2.0f);
    EXPECT_EQ(set.windDirection[0], 315.0f);
    EXPECT_EQ(set.windDirection[11], 315.0f);
}

TEST(WeatherFileSize, HugeLinesAreScannedWithoutBeingHeld) {
    constexpr std::size_t kTenMegabytes = 10u << 20;
    TempFolder dir;
    struct Case {
        std::string text;
        bool malformed;
    };
    std::string manyPieces;
    manyPieces.reserve(kTenMegabytes);
    while (manyPieces.size() < kTenMegabytes) manyPieces += "1 ";
    const Case cases[] = {
        {manyPieces, true},
        {std::string(kTenMegabytes, '7'), true},
        {dayLine(1) + std::string(kTenMegabytes, ' ') + "\n" + dayLine(2), false},
        {std::string(kTenMegabytes, 'z') + " 102 103 104 105 106 107 108 109 110 111 112", false},
    };
    for (const Case& c : cases) {
        ScriptedPrompter prompter;
        WeatherSet set;
        const auto outcome = readWeatherFile(set, WeatherFile::Rainfall, dir.write("rain.txt", c.text), prompter);
        EXPECT_EQ(outcome.malformed, c.malformed);
        EXPECT_EQ(prompter.shown.size(), c.malformed ? 1u : 0u);
        if (!c.malformed) {
            EXPECT_EQ(set.rainfall[0][11], 112.0f);
        }
    }
}
