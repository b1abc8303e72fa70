#include "core/store/sqlite_handle.hpp"

#include <sqlite3.h>

namespace verdanel {

void SqliteCloser::operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
void SqliteFinalizer::operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }

bool SqliteDatabase::open(const std::string& path, int flags, std::string& error) {
    db_.reset();
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    // SQLite hands back a handle even when the open fails; it must be closed too.
    std::unique_ptr<sqlite3, SqliteCloser> owned(raw);
    if (rc != SQLITE_OK) {
        error = std::string(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)) + ": " + path;
        return false;
    }
    db_ = std::move(owned);
    return true;
}

bool SqliteDatabase::exec(const char* sql, std::string* error) const {
    if (!db_) {
        if (error) *error = sqlite3_errstr(SQLITE_MISUSE);
        return false;
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(db_.get(), sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        if (error) *error = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        return false;
    }
    return true;
}

SqliteStatementHandle SqliteDatabase::prepare(std::string_view sql, std::string* error) const {
    sqlite3_stmt* raw = nullptr;
    if (!db_) {
        if (error) *error = sqlite3_errstr(SQLITE_MISUSE);
        return {};
    }
    const int rc = sqlite3_prepare_v2(db_.get(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr);
    SqliteStatementHandle owned(raw);
    if (rc != SQLITE_OK) {
        if (error) *error = sqlite3_errmsg(db_.get());
        return {};
    }
    return owned;
}

}  // namespace verdanel
