#include "core/results/result_csv.hpp"

#include <cstdio>
#include <fstream>

#include "core/common/cp949.hpp"
#include "core/common/messages.hpp"
#include "core/common/number_text.hpp"
#include "core/common/prompter.hpp"
#include "core/results/result_columns.hpp"
#include "core/results/result_messages.hpp"

namespace verdanel {

namespace {
constexpr const char* kEol = kCsvLineEnd;
// Row lines are gathered and written in pieces of about this size.
constexpr std::size_t kChunkBytes = 1 << 16;

void appendInt(std::string& out, int value) { out += std::to_string(value); }

// Month, day, hour and minute with "%d", comma separated, no trailing comma.
void appendTime(std::string& out, const ResultRow& row) {
    appendInt(out, row.month);
    out += ',';
    appendInt(out, row.day);
    out += ',';
    appendInt(out, row.hour);
    out += ',';
    appendInt(out, row.minute);
}

// Korean labels and summary texts are gathered as UTF-8 and converted at once.
void writeText(std::ostream& out, const std::string& utf8) { out << utf8ToCp949(utf8); }

void flushIfFull(std::ostream& out, std::string& chunk) {
    if (chunk.size() >= kChunkBytes) {
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        chunk.clear();
    }
}

void flush(std::ostream& out, std::string& chunk) {
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    chunk.clear();
}
}  // namespace

void writeResultsCsv(std::ostream& out, const ResultBuffer& buffer, const SummaryTexts& summary) {
    const std::size_t water = static_cast<std::size_t>(buffer.waterIndex());
    const std::size_t valueCount = static_cast<std::size_t>(buffer.valueCount);

    std::string head;
    head += std::string(msg::kCsvFinalSection) + kEol;
    head += std::string(",") + msg::kMaximumPpbHeader + "," + msg::kTimeToMaximumHeader + "," +
            msg::kResidenceHeader + kEol;
    head += std::string(msg::kWaterRow) + "," + summary.waterMaximum + "," + summary.waterTimeToMaximum + "," +
            summary.waterResidence + kEol + kEol;
    head += std::string(",") + msg::kMaximumAirSoilHeader + "," + msg::kTimeToMaximumHeader + kEol;
    head += std::string(msg::kAirRow) + "," + summary.airMaximum + "," + summary.airTimeToMaximum + kEol;
    head += std::string(msg::kSoilRow) + "," + summary.soilMaximum + "," + summary.soilTimeToMaximum + kEol + kEol;
    head += std::string(kEol) + kEol + msg::kCsvBriefSection + kEol;
    head += std::string(msg::kCsvMonth) + "," + msg::kCsvDay + "," + msg::kCsvHour + "," + msg::kCsvMinute +
            ",Cwater" + kEol;
    writeText(out, head);

    std::string chunk;
    chunk.reserve(kChunkBytes + 512);
    for (const ResultRow& row : buffer.rows) {
        appendTime(chunk, row);
        chunk += ',';
        chunk += formatE(row.values[water]);
        chunk += kEol;
        flushIfFull(out, chunk);
    }
    flush(out, chunk);

    std::string detailHead = std::string(kEol) + kEol + msg::kCsvDetailSection + kEol;
    detailHead += std::string(msg::kCsvMonth) + "," + msg::kCsvDay + "," + msg::kCsvHour + "," + msg::kCsvMinute;
    const auto& series = resultSeries(buffer.kind);
    for (std::size_t v = 0; v < valueCount && v < series.size(); ++v) {
        detailHead += ',';
        detailHead += series[v].name;
    }
    detailHead += kEol;
    writeText(out, detailHead);

    for (const ResultRow& row : buffer.rows) {
        appendTime(chunk, row);
        for (std::size_t v = 0; v < valueCount; ++v) {
            chunk += ',';
            chunk += formatE(row.values[v]);
        }
        chunk += kEol;
        flushIfFull(out, chunk);
    }
    flush(out, chunk);
}

std::string defaultCsvFileName(int startMonth, int startDay, int endMonth, int endDay) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d-%02d ~ %02d-%02d.csv", startMonth, startDay, endMonth, endDay);
    return buf;
}

bool exportResultsCsv(const std::filesystem::path& path, const ResultBuffer& buffer, const SummaryTexts& summary,
                      Prompter& prompter) {
    return writeCsvFile(path, prompter, [&](std::ostream& out) { writeResultsCsv(out, buffer, summary); });
}

bool writeCsvFile(const std::filesystem::path& path, Prompter& prompter,
                  const std::function<void(std::ostream&)>& write) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        prompter.inform(msg::kCsvCannotOpen, msg::kErrorCaption, PromptIcon::Error);
        return false;
    }
    write(file);
    file.close();
    if (file.fail()) {
        prompter.inform(msg::kCsvWriteFailed, msg::kErrorCaption, PromptIcon::Error);
        return false;
    }
    return true;
}

}  // namespace verdanel
