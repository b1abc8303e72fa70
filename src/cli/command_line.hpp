#pragma once
// What commands of verdanel-cli kept in files of their own share: reading
// their arguments, opening the store, and the search a command names
// (--model, --scenario, --from, --to, --year), with the scenario's period and
// start year as defaults, as selecting the scenario in the result window
// sets them and as `export` takes them.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/common/model_kind.hpp"
#include "core/results/result_buffer.hpp"

namespace verdanel {
class Prompter;
class StoreConnection;
}  // namespace verdanel

namespace verdanel::cli {

// Values of "--flag value" pairs and lone flags of one command. Each read
// takes what it found out of the arguments, so a repeated flag is read again.
class ArgReader {
public:
    explicit ArgReader(std::vector<std::string> args) : args_(std::move(args)) {}
    std::optional<std::string> value(const std::string& flag);
    bool flag(const std::string& name);
    std::optional<std::string> positional();
    // What is left over is a usage error.
    std::string leftover() const;

private:
    std::vector<std::string> args_;
    std::string bad_;
};

// Opens the store the connection text names; says so on stderr when it cannot.
bool openStore(StoreConnection& connection, Prompter& prompter, const std::string& connectionText);

// "MM-DD", any day of a leap year.
std::optional<std::pair<int, int>> monthDay(const std::string& text);
// "YYYY" from 1 to 9999.
std::optional<int> yearNumber(const std::string& text);

struct SearchRequest {
    ModelKind kind = ModelKind::Stream;
    std::string name;
    std::optional<std::pair<int, int>> from, to;
    std::optional<int> year;
};

// Takes --model, --scenario, --from, --to and --year out of `args`. A bad
// value gives none and the reason in `why`; a missing --model or --scenario
// gives none with `why` empty (the command names what it needs).
std::optional<SearchRequest> readSearchRequest(ArgReader& args, std::string& why);

struct SearchedRows {
    ResultBuffer rows;
    std::pair<int, int> from, to;  // month and day
    int year = 0;                  // of the first row
};

// Finds the scenario (a missing one is said on stderr), fills in its period
// and start year where the request leaves them open, and searches. None when
// the scenario cannot be read; an empty search has been reported by the core.
std::optional<SearchedRows> searchScenario(StoreConnection& connection, Prompter& prompter,
                                           const SearchRequest& request);

// Columns a text takes on a terminal: Hangul and the CJK unit signs take two.
std::size_t displayWidth(const std::string& utf8);
// `text` padded with blanks to `width` columns, on the left (right-aligned) or the right.
std::string padded(const std::string& text, std::size_t width, bool alignRight);

}  // namespace verdanel::cli
