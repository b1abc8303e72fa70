#include "core/store/store_statement.hpp"

#include <sqlite3.h>

#include <algorithm>

#include "core/common/messages.hpp"
#include "core/common/number_text.hpp"
#include "core/common/text_format.hpp"
#include "core/store/store_connection.hpp"

namespace verdanel {

StoreStatement::StoreStatement(StoreConnection& connection, std::string_view sql) : connection_(&connection) {
    if (!connection.isOpen()) {
        error_ = connection.openError();
        return;
    }
    if (sqlite3_prepare_v2(connection.handle(), sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
        SQLITE_OK) {
        error_ = sqlite3_errmsg(connection.handle());
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

StoreStatement::~StoreStatement() { sqlite3_finalize(stmt_); }

StoreStatement::StoreStatement(StoreStatement&& other) noexcept
    : stmt_(other.stmt_), error_(std::move(other.error_)), failed_(other.failed_), connection_(other.connection_) {
    other.stmt_ = nullptr;
}

StoreStatement& StoreStatement::operator=(StoreStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = other.stmt_;
        error_ = std::move(other.error_);
        failed_ = other.failed_;
        connection_ = other.connection_;
        other.stmt_ = nullptr;
    }
    return *this;
}

void StoreStatement::bindNull(int index) { sqlite3_bind_null(stmt_, index); }
void StoreStatement::bindInt(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
void StoreStatement::bindDouble(int index, double value) { sqlite3_bind_double(stmt_, index, value); }
void StoreStatement::bindText(int index, std::string_view value) {
    sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

void StoreStatement::bindStaticText(int index, std::string_view value) {
    sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
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
        folder = folder.substr(0, std::min(folder.size(), folder.find_last_of('/')));
        why += " - " + fillMessage(msg::kStoreFolderNotWritable, folder);
    }
    return why;
}
}  // namespace

bool StoreStatement::run() {
    if (!stmt_) return false;
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
    }
    bool ok = rc == SQLITE_DONE;
    if (!ok) error_ = runError(sqlite3_db_handle(stmt_));
    sqlite3_reset(stmt_);
    return ok;
}

bool StoreStatement::nextRow() {
    if (!stmt_) {
        failed_ = true;
        return false;
    }
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    failed_ = rc != SQLITE_DONE;
    if (failed_) error_ = sqlite3_errmsg(sqlite3_db_handle(stmt_));
    return false;
}

void StoreStatement::reset() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    failed_ = false;
}

int StoreStatement::columnCount() const { return stmt_ ? sqlite3_column_count(stmt_) : 0; }
bool StoreStatement::columnIsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
double StoreStatement::columnDouble(int column) const { return sqlite3_column_double(stmt_, column); }
std::int64_t StoreStatement::columnInt(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string StoreStatement::columnText(int column) const {
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    int bytes = sqlite3_column_bytes(stmt_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(bytes)) : std::string();
}

std::string_view StoreStatement::columnTextView(int column) const {
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    int bytes = sqlite3_column_bytes(stmt_, column);
    return text ? std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(bytes))
                : std::string_view();
}

std::string StoreStatement::columnAsText(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
        case SQLITE_NULL: return std::string();
        case SQLITE_INTEGER: return std::to_string(sqlite3_column_int64(stmt_, column));
        case SQLITE_FLOAT: return formatRoundTrip(sqlite3_column_double(stmt_, column));
        default: return columnText(column);
    }
}

}  // namespace verdanel
