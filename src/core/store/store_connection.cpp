#include "core/store/store_connection.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "core/common/messages.hpp"
#include "core/common/prompter.hpp"
#include "core/common/utf8_path.hpp"
#include "core/store/schema.hpp"

namespace verdanel {

namespace {
std::string trim(const std::string& s) {
    auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    auto b = std::find_if_not(s.begin(), s.end(), isSpace);
    auto e = std::find_if_not(s.rbegin(), s.rend(), isSpace).base();
    return b < e ? std::string(b, e) : std::string();
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}
}  // namespace

std::string dataSourceOf(const std::string& connectionText) {
    const std::string text = trim(connectionText);
    if (text.find('=') == std::string::npos) return text;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t semi = text.find(';', start);
        std::size_t eq = text.find('=', start);
        if (eq != std::string::npos && (semi == std::string::npos || eq < semi)) {
            std::string key = lower(trim(text.substr(start, eq - start)));
            if (key == "data source") return trim(text.substr(eq + 1));
        }
        if (semi == std::string::npos) break;
        start = semi + 1;
    }
    return std::string();
}

StoreConnection::~StoreConnection() { release(); }

bool StoreConnection::open(const std::string& connectionText, Prompter& prompter) {
    release();
    state_ = State::Unopened;
    path_ = dataSourceOf(connectionText);
    openError_.clear();

    auto fail = [&](const std::string& why) {
        openError_ = why;
        db_.close();
        prompter.inform(why, msg::kProgramTitle, PromptIcon::Error);
        return false;
    };

    if (trim(connectionText).empty()) return fail(msg::kEmptyConnectionText);
    if (path_.empty()) return fail(msg::kNoDataSource);
    std::error_code ec;
    if (std::filesystem::is_directory(pathFromUtf8(path_), ec)) return fail("unable to open database file: " + path_);

    std::string why;
    if (!db_.open(path_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, why)) return fail(why);
    // A store held by another program is waited for a while, not forever.
    sqlite3_busy_timeout(db_.get(), 5000);
    // A run appends some 40 MB of rows in one transaction. A modest page cache
    // that lets SQLite write finished pages as it goes measured faster than
    // one large enough to hold them all (less memory to fault in and manage).
    db_.exec("PRAGMA cache_size = -8192");
    // Searches read tens of megabytes; mapping the file saves copying every page.
    db_.exec("PRAGMA mmap_size = 1073741824");
    // SQLite opens lazily; reading the schema proves the file is a store.
    // An empty file reads as a database without tables, which is no store either.
    SqliteStatementHandle count = db_.prepare("SELECT count(*) FROM sqlite_master WHERE type = 'table'", &why);
    const int rc = count ? sqlite3_step(count.get()) : SQLITE_ERROR;
    if (rc != SQLITE_ROW) {
        if (count) why = sqlite3_errmsg(db_.get());
        return fail(why + ": " + path_);
    }
    if (sqlite3_column_int(count.get(), 0) == 0) return fail(std::string(msg::kStoreHasNoTables) + ": " + path_);
    count.reset();
    // A store made before the mass balance was kept gains its columns now. A
    // store that cannot be written (a read-only file) still opens for reading;
    // a run then reports the store's refusal.
    std::string unchanged;
    addMissingColumns(db_, unchanged);
    state_ = State::Open;
    return true;
}

void StoreConnection::close() {
    db_.close();
    if (state_ == State::Open) {
        state_ = State::Unopened;
        openError_ = msg::kStoreNotOpen;
    }
}

void StoreConnection::release() {
    close();
    state_ = State::Absent;
}

}  // namespace verdanel
