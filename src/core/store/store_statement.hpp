#pragma once
// A prepared statement kept for reuse: bulk inserts bind and run it once per
// row instead of parsing a new text each time.
#include <string>
#include <string_view>
#include <vector>

#include "core/store/sqlite_handle.hpp"
#include "core/store/store_value.hpp"

namespace verdanel {

class StoreConnection;

class StoreStatement {
public:
    StoreStatement() = default;
    StoreStatement(StoreConnection& connection, std::string_view sql);
    // On a database the caller holds itself (a store being made or compacted).
    StoreStatement(const SqliteDatabase& database, std::string_view sql);

    bool valid() const { return stmt_ != nullptr; }
    const std::string& error() const { return error_; }

    // Placeholders count from 1.
    void bindNull(int index);
    void bindInt(int index, std::int64_t value);
    void bindDouble(int index, double value);
    void bindText(int index, std::string_view value);
    // The text must outlive the statement's next run (no copy is made).
    void bindStaticText(int index, std::string_view value);
    void bind(int index, const StoreValue& value);
    void bindAll(const std::vector<StoreValue>& values);

    // Runs a statement that returns no rows, then resets it for the next use.
    bool run();
    // Steps a query: true while a row is available.
    bool nextRow();
    // True when the last nextRow() ended with an error rather than the end.
    bool failed() const { return failed_; }
    void reset();

    int columnCount() const;
    bool columnIsNull(int column) const;
    double columnDouble(int column) const;
    std::int64_t columnInt(int column) const;
    std::string columnText(int column) const;
    // Valid until the next step or reset; no copy.
    std::string_view columnTextView(int column) const;
    // The value as a text, as the accessor shows it (null as "").
    std::string columnAsText(int column) const;

private:
    sqlite3_stmt* raw() const { return stmt_.get(); }

    SqliteStatementHandle stmt_;
    std::string error_;
    bool failed_ = false;
};

}  // namespace verdanel
