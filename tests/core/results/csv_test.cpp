#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/common/cp949.hpp"
#include "core/results/result_csv.hpp"
#include "core/results/result_messages.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;

namespace {
std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string golden(const std::string& name) {
    return readFile(std::string(VERDANEL_TEST_DATA_DIR) + "/results/" + name);
}

std::string exported(const ResultBuffer& buffer, const SummaryTexts& summary) {
    std::ostringstream out;
    writeResultsCsv(out, buffer, summary);
    return out.str();
}

ResultRow row(int month, int day, int hour, int minute, std::initializer_list<double> values) {
    ResultRow r{month, day, hour, minute, {}};
    std::copy(values.begin(), values.end(), r.values.begin());
    return r;
}

ResultBuffer streamBuffer() {
    ResultBuffer b(ModelKind::Stream);
    b.rows.push_back(row(6, 1, 10, 0,
                         {0.0, 1.5e-05, 2.25e-3, 0.1, 1.0, 12.5, 123456.789, 9.87654321e-7, 1e-300, 1e100,
                          3.14159265358979, 2.718281828, 0.04, 7.77e-12}));
    ResultRow half{6, 1, 10, 1, {}};
    for (int k = 0; k < 14; ++k) half.values[static_cast<std::size_t>(k)] = k * 0.5;
    b.rows.push_back(half);
    ResultRow late{12, 31, 23, 59, {}};
    for (int k = 0; k < 14; ++k) late.values[static_cast<std::size_t>(k)] = 1e-5 * (k + 1);
    b.rows.push_back(late);
    return b;
}

ResultBuffer ditchBuffer() {
    ResultBuffer b(ModelKind::Ditch);
    b.rows.push_back(row(7, 4, 9, 5, {0.0, 0.04, 1.25e-3, 3.0, 4.5e+2, 6.0e-6, 7.0, 8.125}));
    b.rows.push_back(row(7, 4, 9, 6, {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 0.0}));
    return b;
}

// The file's lines (CRLF removed), and a check that no line ends in a bare LF.
std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t lf = bytes.find('\n', start);
        EXPECT_NE(lf, std::string::npos) << "last line without a line end";
        if (lf == std::string::npos) break;
        EXPECT_TRUE(lf > start && bytes[lf - 1] == '\r') << "line without CR at byte " << lf;
        lines.push_back(bytes.substr(start, lf > start ? lf - start - 1 : 0));
        start = lf + 1;
    }
    return lines;
}

std::size_t fieldCount(const std::string& line) { return static_cast<std::size_t>(std::count(line.begin(), line.end(), ',')) + 1; }

// Field counts of the brief and detailed sections, header lines included.
void expectFieldCounts(const std::string& bytes, std::size_t rows, std::size_t detailFields) {
    const std::vector<std::string> lines = linesOf(bytes);
    const auto brief = std::find(lines.begin(), lines.end(), utf8ToCp949(msg::kCsvBriefSection));
    const auto detail = std::find(lines.begin(), lines.end(), utf8ToCp949(msg::kCsvDetailSection));
    ASSERT_NE(brief, lines.end());
    ASSERT_NE(detail, lines.end());
    ASSERT_EQ(detail - brief, static_cast<long>(rows + 4));  // header, rows, two empty lines
    for (auto l = brief + 1; l != brief + 2 + static_cast<long>(rows); ++l) EXPECT_EQ(fieldCount(*l), 5u) << *l;
    ASSERT_EQ(lines.end() - detail, static_cast<long>(rows + 2));
    for (auto l = detail + 1; l != lines.end(); ++l) EXPECT_EQ(fieldCount(*l), detailFields) << *l;
}
}  // namespace

TEST(ResultsCsv, StreamExportMatchesTheGoldenFileByteForByte) {
    const SummaryTexts summary{"1.234560e-005", "03시간 30분", "02일 03시간 04분", "4.500000e+002", "05분", "-", "-"};
    const std::string bytes = exported(streamBuffer(), summary);
    const std::string expected = golden("stream_export.csv");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(bytes, expected);
    expectFieldCounts(bytes, 3, 18);
}

TEST(ResultsCsv, DitchExportMatchesTheGoldenFileByteForByte) {
    const SummaryTexts summary{"8.125000e+000", "23시간 00분", "-30분", "-", "-", "7.000000e+000", "59분"};
    const std::string bytes = exported(ditchBuffer(), summary);
    const std::string expected = golden("ditch_export.csv");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(bytes, expected);
    expectFieldCounts(bytes, 2, 12);
}

TEST(ResultsCsv, WithoutASearchOnlyTheLabelsAndEmptySummaryFieldsAreWritten) {
    const std::string bytes = exported(ResultBuffer(ModelKind::Pond), SummaryTexts{});
    const std::vector<std::string> lines = linesOf(bytes);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[2], "Water,,,");
    EXPECT_EQ(lines[6], "Soil,,");
    expectFieldCounts(bytes, 0, 12);
}

TEST(ResultsCsv, DefaultFileNameUsesTwoDigitMonthsAndDays) {
    EXPECT_EQ(defaultCsvFileName(5, 1, 5, 31), "05-01 ~ 05-31.csv");
    EXPECT_EQ(defaultCsvFileName(12, 20, 1, 9), "12-20 ~ 01-09.csv");
}

TEST(ResultsCsv, ExportToAFileWritesTheSameBytesOrSaysItCannotOpenIt) {
    verdanel::testing::TempFolder folder;
    verdanel::testing::ScriptedPrompter prompter;
    const SummaryTexts summary{"1.000000e+000", "-", "-", "-", "-", "-", "-"};
    const std::string path = folder.write("old.csv", std::string(100000, 'x'));  // emptied first

    EXPECT_TRUE(exportResultsCsv(path, ditchBuffer(), summary, prompter));
    EXPECT_EQ(readFile(path), exported(ditchBuffer(), summary));
    EXPECT_TRUE(prompter.shown.empty());

    EXPECT_FALSE(exportResultsCsv(folder.path() / "no such folder" / "x.csv", ditchBuffer(), summary, prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, msg::kCsvCannotOpen);
    EXPECT_EQ(prompter.shown[0].caption, "에러");
}
