#pragma once
// Owners of SQLite's two handles. Every database and statement handle of the
// program is held by one of these, so no path can forget to close or finalize.
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace verdanel {

struct SqliteCloser {
    void operator()(sqlite3* db) const noexcept;
};
struct SqliteFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept;
};
using SqliteStatementHandle = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

// One open database file.
class SqliteDatabase {
public:
    SqliteDatabase() = default;

    // Opens with SQLite's open flags; on failure the object stays closed and
    // `error` holds the store's words and the path.
    bool open(const std::string& path, int flags, std::string& error);
    void close() { db_.reset(); }

    bool isOpen() const { return db_ != nullptr; }
    sqlite3* get() const { return db_.get(); }

    // Runs statements that return nothing of interest; false with the store's
    // words in `error` when one is refused.
    bool exec(const char* sql, std::string* error = nullptr) const;
    // Prepares one statement; an empty handle with the store's words in
    // `error` when it is refused.
    SqliteStatementHandle prepare(std::string_view sql, std::string* error = nullptr) const;

private:
    std::unique_ptr<sqlite3, SqliteCloser> db_;
};

}  // namespace verdanel
