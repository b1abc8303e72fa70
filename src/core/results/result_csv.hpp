#pragma once
// The comma-separated export of a search: the summary, a short list of the
// water concentration and every value of every row. CP949 text with CRLF
// line ends, fields without quoting, integers with "%d", values with "%e".
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "core/results/result_buffer.hpp"
#include "core/results/result_summary.hpp"

namespace verdanel {

class Prompter;

// Every line of an export ends so.
inline constexpr const char* kCsvLineEnd = "\r\n";

// Writes the three sections "##최종결과##", "##간략정보##" and "##상세정보##".
// The summary texts are written as the final results page shows them (all
// empty before any search); the rows come from the buffer in its order.
void writeResultsCsv(std::ostream& out, const ResultBuffer& buffer, const SummaryTexts& summary);

// "%02d-%02d ~ %02d-%02d.csv" from the start and end month and day.
std::string defaultCsvFileName(int startMonth, int startDay, int endMonth, int endDay);

// Creates (or empties) the file and writes the export into it. A file that
// cannot be opened shows "저장할 파일을 열 수 없습니다." with the caption
// "에러" and writes nothing; a write that fails later says the file is
// incomplete. Nothing is shown on success.
bool exportResultsCsv(const std::filesystem::path& path, const ResultBuffer& buffer, const SummaryTexts& summary,
                      Prompter& prompter);

// The same for any export: creates (or empties) the file, lets `write` fill
// it, and says so, as above, when the file cannot be opened or written.
bool writeCsvFile(const std::filesystem::path& path, Prompter& prompter,
                  const std::function<void(std::ostream&)>& write);

}  // namespace verdanel
