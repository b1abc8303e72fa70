#include "core/store/store_statement.hpp"

#include <sqlite3.h>

#include <algorithm>

#include "core/common/messages.hpp"
#include "core/common/number_text.hpp"
#include "core/common/text_format.hpp"
#include "core/common/utf8_path.hpp"
#include "core/store/store_connection.hpp"

namespace verdanel {

StoreStatement::StoreStatement(StoreConnection& connection, std::string_view sql) {
    if (!connection.isOpen()) {
        error_ = connection.openError();
        return;
    }
    stmt_ = connection.database().prepare(sql, &error_);
}

StoreStatement::StoreStatement(const SqliteDatabase& database, std::string_view sql)
    : stmt_(database.prepare(sql, &error_)) {}

void StoreStatement::bindNull(int index) { sqlite3_bind_null(raw(), index); }
void StoreStatement::bindInt(int index, std::int64_t value) { sqlite3_bind_int64(raw(), index, value); }
void StoreStatement::bindDouble(int index, double value) { sqlite3_bind_double(raw(), index, value); }
void StoreStatement::bindText(int index, std::string_view value) {
    sqlite3_bind_text(raw(), index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

void StoreStatement::bindStaticText(int index, std::string_view value) {
    sqlite3_bind_text(raw(), index, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
}

void StoreStatement::bind(int index, const StoreValue& value) {
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::nullptr_t>) bindNull(index);
            else if constexpr (std::is_same_v<T, std::int64_t>) bindInt(index, v);
            else if constexpr (std::is_same_v<T, double>) bindDouble(index, v);
            else bindText(index, v);
        },
        value);
}

void StoreStatement::bindAll(const std::vector<StoreValue>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) bind(static_cast<int>(i + 1), values[i]);
}

namespace {
// "unable to open database file" from a statement on an open store means
// SQLite could not make its rollback journal beside the store: the folder
// takes no new file. The store's words alone would point at the store itself.
std::string runError(sqlite3* db) {
    std::string why = sqlite3_errmsg(db);
    if ((sqlite3_extended_errcode(db) & 0xFF) == SQLITE_CANTOPEN) {
        const char* file = sqlite3_db_filename(db, "main");
        std::string folder = file ? file : "";
        folder = folder.substr(0, std::min(folder.size(), lastPathSeparator(folder)));
        why += " - " + fillMessage(msg::kStoreFolderNotWritable, folder);
    }
    return why;
}
}  // namespace

bool StoreStatement::run() {
    if (!stmt_) return false;
    int rc;
    while ((rc = sqlite3_step(raw())) == SQLITE_ROW) {
    }
    bool ok = rc == SQLITE_DONE;
    if (!ok) error_ = runError(sqlite3_db_handle(raw()));
    sqlite3_reset(raw());
    return ok;
}

bool StoreStatement::nextRow() {
    if (!stmt_) {
        failed_ = true;
        return false;
    }
    int rc = sqlite3_step(raw());
    if (rc == SQLITE_ROW) return true;
    failed_ = rc != SQLITE_DONE;
    if (failed_) error_ = sqlite3_errmsg(sqlite3_db_handle(raw()));
    return false;
}

void StoreStatement::reset() {
    if (stmt_) {
        sqlite3_reset(raw());
        sqlite3_clear_bindings(raw());
    }
    failed_ = false;
}

int StoreStatement::columnCount() const { return raw() ? sqlite3_column_count(raw()) : 0; }
bool StoreStatement::columnIsNull(int column) const { return sqlite3_column_type(raw(), column) == SQLITE_NULL; }
double StoreStatement::columnDouble(int column) const { return sqlite3_column_double(raw(), column); }
std::int64_t StoreStatement::columnInt(int column) const { return sqlite3_column_int64(raw(), column); }

std::string StoreStatement::columnText(int column) const {
    const unsigned char* text = sqlite3_column_text(raw(), column);
    int bytes = sqlite3_column_bytes(raw(), column);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(bytes)) : std::string();
}

std::string_view StoreStatement::columnTextView(int column) const {
    const unsigned char* text = sqlite3_column_text(raw(), column);
    int bytes = sqlite3_column_bytes(raw(), column);
    return text ? std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(bytes))
                : std::string_view();
}

std::string StoreStatement::columnAsText(int column) const {
    switch (sqlite3_column_type(raw(), column)) {
        case SQLITE_NULL: return std::string();
        case SQLITE_INTEGER: return std::to_string(sqlite3_column_int64(raw(), column));
        case SQLITE_FLOAT: return formatRoundTrip(sqlite3_column_double(raw(), column));
        default: return columnText(column);
    }
}

}  // namespace verdanel
