#include "core/weather/weather_reader.hpp"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "core/common/messages.hpp"
#include "core/common/number_text.hpp"
#include "core/common/prompter.hpp"
#include "core/common/text_format.hpp"
#include "core/common/utf8_path.hpp"
#include "core/weather/weather_messages.hpp"

namespace verdanel {

namespace {

constexpr int kMonths = 12;
constexpr int kDailyRows = 31;
constexpr int kWindDirectionLines = 2;

// Only the start of a piece matters to the atof rule; a piece longer than
// this (no real weather value is) keeps its first characters, so a file
// without any separator cannot make the reader hold all of it.
constexpr std::size_t kMaxPieceLength = 64 * 1024;

// Splits one line into pieces as its characters arrive. It stops taking
// characters at the thirteenth piece: from there the line can only be bad,
// however long it goes on.
class LineSplitter {
public:
    // False once the line holds more than 12 pieces.
    bool add(char c) {
        if (c == ' ' || c == '\t') {
            inPiece_ = false;
            return true;
        }
        if (!inPiece_) {
            if (count_ == kMonths) return false;
            inPiece_ = true;
            ++count_;
        }
        std::string& piece = pieces_[static_cast<std::size_t>(count_ - 1)];
        if (piece.size() < kMaxPieceLength) piece.push_back(c);
        return true;
    }

    std::optional<std::array<float, 12>> values() const {
        if (count_ != kMonths) return std::nullopt;
        std::array<float, 12> v{};
        for (std::size_t m = 0; m < v.size(); ++m) v[m] = static_cast<float>(parseAtof(pieces_[m]));
        return v;
    }

private:
    std::array<std::string, 12> pieces_;
    int count_ = 0;
    bool inPiece_ = false;
};

// Buffered bytes of an open file.
class ByteSource {
public:
    explicit ByteSource(std::ifstream& in) : in_(in), buffer_(64 * 1024) {
        // A leading UTF-8 byte order mark (some editors write one) is not part of January.
        if (peek() == 0xEF && fill(3) && static_cast<unsigned char>(buffer_[pos_ + 1]) == 0xBB &&
            static_cast<unsigned char>(buffer_[pos_ + 2]) == 0xBF) {
            pos_ += 3;
        }
    }

    int peek() { return fill(1) ? static_cast<unsigned char>(buffer_[pos_]) : -1; }
    int get() {
        const int c = peek();
        if (c >= 0) ++pos_;
        return c;
    }

private:
    // True when at least n bytes are waiting (n is small).
    bool fill(std::size_t n) {
        if (len_ - pos_ >= n) return true;
        std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(pos_),
                  buffer_.begin() + static_cast<std::ptrdiff_t>(len_), buffer_.begin());
        len_ -= pos_;
        pos_ = 0;
        while (len_ < n && in_) {
            in_.read(buffer_.data() + len_, static_cast<std::streamsize>(buffer_.size() - len_));
            len_ += static_cast<std::size_t>(in_.gcount());
        }
        return len_ >= n;
    }

    std::ifstream& in_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
};

enum class LineRead { Values, Malformed, End };

// The next line, ended by LF or CR LF (a lone CR is an ordinary character).
LineRead readLine(ByteSource& source, std::array<float, 12>& values) {
    int c = source.get();
    if (c < 0) return LineRead::End;
    LineSplitter line;
    for (; c >= 0; c = source.get()) {
        if (c == '\n') break;
        if (c == '\r' && source.peek() == '\n') {
            source.get();
            break;
        }
        if (!line.add(static_cast<char>(c))) return LineRead::Malformed;
    }
    const auto v = line.values();
    if (!v) return LineRead::Malformed;
    values = *v;
    return LineRead::Values;
}

// Opens the file, or gives the message that says why it cannot be opened.
std::string openWeatherFile(const std::string& path, std::ifstream& in) {
    const std::filesystem::path p = pathFromUtf8(path);
    std::error_code ec;
    const auto status = std::filesystem::status(p, ec);
    if (status.type() == std::filesystem::file_type::not_found) return fillMessage(msg::kWeatherFileNotFound, path);
    if (status.type() == std::filesystem::file_type::directory) return fillMessage(msg::kWeatherFileIsFolder, path);
    if (ec == std::errc::permission_denied) return fillMessage(msg::kWeatherFileAccessDenied, path);
    errno = 0;
    in.open(p, std::ios::binary);
    if (in.is_open()) return {};
    if (errno == EACCES || errno == EPERM) return fillMessage(msg::kWeatherFileAccessDenied, path);
    return fillMessage(msg::kWeatherFileOpenFailed, path);
}

DailyTable& dailyTableOf(WeatherSet& set, WeatherFile file) {
    switch (file) {
        case WeatherFile::Rainfall: return set.rainfall;
        case WeatherFile::Temperature: return set.temperature;
        case WeatherFile::Humidity: return set.humidity;
        case WeatherFile::WindSpeed:
        case WeatherFile::WindDirection: break;
    }
    return set.windSpeed;
}

}  // namespace

WeatherPaths defaultWeatherPaths(const std::string& baseFolder) {
    const std::string input = baseFolder + "/input/";
    WeatherPaths paths;
    paths.windSpeed = input + kWindSpeedFileName;
    paths.windDirection = input + kWindDirectionFileName;
    paths.temperature = input + kTemperatureFileName;
    paths.rainfall = input + kRainfallFileName;
    paths.humidity = input + kHumidityFileName;
    return paths;
}

const char* malformedFileMessage(WeatherFile file) {
    switch (file) {
        case WeatherFile::WindSpeed: return msg::kWindSpeedFileMalformed;
        case WeatherFile::WindDirection: return msg::kWindDirectionFileMalformed;
        case WeatherFile::Temperature: return msg::kTemperatureFileMalformed;
        case WeatherFile::Rainfall: return msg::kRainfallFileMalformed;
        case WeatherFile::Humidity: return msg::kHumidityFileMalformed;
    }
    return msg::kWindSpeedFileMalformed;
}

std::optional<std::array<float, 12>> parseWeatherLine(std::string_view line) {
    LineSplitter splitter;
    for (char c : line) {
        if (!splitter.add(c)) return std::nullopt;
    }
    return splitter.values();
}

WeatherFileOutcome readWeatherFile(WeatherSet& set, WeatherFile file, const std::string& path, Prompter& prompter) {
    WeatherFileOutcome outcome;
    std::ifstream in;
    outcome.error = openWeatherFile(path, in);
    if (!outcome.error.empty()) {
        prompter.inform(outcome.error, msg::kProgramTitle, PromptIcon::Error);
        return outcome;
    }
    outcome.opened = true;

    ByteSource source(in);
    const bool monthly = file == WeatherFile::WindDirection;
    const int maxLines = monthly ? kWindDirectionLines : kDailyRows;
    std::array<float, 12> values{};
    for (int line = 0; line < maxLines; ++line) {
        const LineRead read = readLine(source, values);
        if (read == LineRead::End) break;
        if (read == LineRead::Malformed) {
            outcome.malformed = true;
            prompter.inform(malformedFileMessage(file), msg::kProgramTitle, PromptIcon::Warning);
            break;
        }
        if (monthly) {
            set.windDirection = values;  // a second line replaces the first
        } else {
            dailyTableOf(set, file)[static_cast<std::size_t>(line)] = values;
        }
        ++outcome.linesStored;
    }
    return outcome;
}

WeatherReadOutcome readWeatherSet(WeatherSet& set, const WeatherPaths& paths, Prompter& prompter) {
    const std::pair<WeatherFile, const std::string*> order[] = {
        {WeatherFile::Humidity, &paths.humidity},
        {WeatherFile::Rainfall, &paths.rainfall},
        {WeatherFile::Temperature, &paths.temperature},
        {WeatherFile::WindDirection, &paths.windDirection},
        {WeatherFile::WindSpeed, &paths.windSpeed},
    };
    for (const auto& [file, path] : order) {
        WeatherFileOutcome one = readWeatherFile(set, file, *path, prompter);
        if (!one.opened) return {false, std::move(one.error)};
    }
    return {};
}

}  // namespace verdanel
