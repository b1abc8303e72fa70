#include "cli/command_line.hpp"

#include <iostream>

#include "core/common/civil_time.hpp"
#include "core/common/messages.hpp"
#include "core/common/text_format.hpp"
#include "core/results/result_messages.hpp"
#include "core/results/result_search.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/store_connection.hpp"

namespace verdanel::cli {

std::optional<std::string> ArgReader::value(const std::string& flag) {
    for (std::size_t i = 0; i < args_.size(); ++i) {
        if (args_[i] == flag) {
            if (i + 1 >= args_.size()) {
                bad_ = flag + " needs a value";
                return std::nullopt;
            }
            std::string v = args_[i + 1];
            args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i),
                        args_.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            return v;
        }
    }
    return std::nullopt;
}

bool ArgReader::flag(const std::string& name) {
    for (std::size_t i = 0; i < args_.size(); ++i) {
        if (args_[i] == name) {
            args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

std::optional<std::string> ArgReader::positional() {
    for (std::size_t i = 0; i < args_.size(); ++i) {
        if (args_[i].rfind("--", 0) != 0) {
            std::string v = args_[i];
            args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i));
            return v;
        }
    }
    return std::nullopt;
}

std::string ArgReader::leftover() const {
    if (!bad_.empty()) return bad_;
    return args_.empty() ? std::string() : "unexpected argument: " + args_.front();
}

bool openStore(StoreConnection& connection, Prompter& prompter, const std::string& connectionText) {
    if (connection.open(connectionText, prompter)) return true;
    std::cerr << msg::kConnectionFailed << '\n';
    return false;
}

std::optional<std::pair<int, int>> monthDay(const std::string& text) {
    if (text.size() != 5 || text[2] != '-') return std::nullopt;
    auto t = parseDate("2000-" + text);  // a leap year, so 02-29 is a valid bound
    if (!t) return std::nullopt;
    return std::make_pair(t->month, t->day);
}

std::optional<int> yearNumber(const std::string& text) {
    try {
        std::size_t used = 0;
        const int year = std::stoi(text, &used);
        if (used != text.size() || year < 1 || year > 9999) return std::nullopt;
        return year;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<SearchRequest> readSearchRequest(ArgReader& args, std::string& why) {
    auto model = args.value("--model");
    auto name = args.value("--scenario");
    auto from = args.value("--from");
    auto to = args.value("--to");
    auto year = args.value("--year");
    SearchRequest request;
    if (model) {
        auto kind = modelKindFromText(*model);
        if (!kind) {
            why = "unknown model: " + *model;
            return std::nullopt;
        }
        request.kind = *kind;
    }
    if (from && !(request.from = monthDay(*from))) {
        why = "--from must be MM-DD";
        return std::nullopt;
    }
    if (to && !(request.to = monthDay(*to))) {
        why = "--to must be MM-DD";
        return std::nullopt;
    }
    if (year && !(request.year = yearNumber(*year))) {
        why = "--year must be YYYY";
        return std::nullopt;
    }
    if (!model || !name) return std::nullopt;
    request.name = *name;
    return request;
}

std::optional<SearchedRows> searchScenario(StoreConnection& connection, Prompter& prompter,
                                           const SearchRequest& request) {
    auto found = queryScenario(connection, prompter, request.kind, request.name);
    if (found.status != ScenarioLookup::Found) {
        if (found.status == ScenarioLookup::NotFound)
            std::cerr << fillMessage(msg::kScenarioNotFoundFormat, {request.name, modelTypeText(request.kind)}) << '\n';
        return std::nullopt;
    }
    const ScenarioInfo& info = found.info;
    SearchedRows searched;
    searched.from = request.from.value_or(std::make_pair(info.start.month, info.start.day));
    searched.to = request.to.value_or(std::make_pair(info.end.month, info.end.day));
    searched.year = request.year.value_or(info.start.year);
    searched.rows = ResultSearch::search(connection, prompter, request.kind, request.name, searched.from.first,
                                         searched.from.second, searched.to.first, searched.to.second);
    return searched;
}

// Columns a text takes on a terminal: Hangul and the CJK unit signs take two.
std::size_t displayWidth(const std::string& utf8) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        char32_t code = length == 1 ? c : c & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
                          (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
                          (code >= 0xFF00 && code <= 0xFF60);
        width += wide ? 2 : 1;
        i += length;
    }
    return width;
}

// `text` padded with blanks to `width` columns, on the left (right-aligned) or the right.
std::string padded(const std::string& text, std::size_t width, bool alignRight) {
    const std::size_t used = displayWidth(text);
    const std::string fill(width > used ? width - used : 0, ' ');
    return alignRight ? fill + text : text + fill;
}

}  // namespace verdanel::cli
