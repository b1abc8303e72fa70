#pragma once
// The short-lived object every store statement goes through. A query brings
// its whole result back as texts read by position; a rejected statement is
// shown to the user as "Error:" and the store's words, and the caller gets 0
// or false. With no connection object at all, nothing is shown.
#include <string>
#include <string_view>
#include <vector>

#include "core/store/store_value.hpp"

namespace verdanel {

class Prompter;
class StoreConnection;

// A query's answer: the rows it found (perhaps none), or that the store
// refused it, in which case the accessor has already shown why. "No rows" and
// "failed" are different answers, so a caller cannot take one for the other.
class QueryResult {
public:
    static QueryResult found(int rows) { return QueryResult(rows, false); }
    static QueryResult refused() { return QueryResult(0, true); }

    bool failed() const { return failed_; }
    // Rows found; 0 when the query failed.
    int rows() const { return rows_; }
    bool any() const { return rows_ > 0; }
    bool none() const { return !failed_ && rows_ == 0; }

private:
    QueryResult(int rows, bool failed) : rows_(rows), failed_(failed) {}
    int rows_ = 0;
    bool failed_ = false;
};

class StoreAccessor {
public:
    StoreAccessor(StoreConnection& connection, Prompter& prompter);

    // Runs a statement that returns rows. Without a connection object the
    // query fails without a message.
    QueryResult query(std::string_view sql, const std::vector<StoreValue>& params = {});
    // Runs a statement that returns no rows; true when the store accepted it.
    bool execute(std::string_view sql, const std::vector<StoreValue>& params = {});

    int rowCount() const { return rowCount_; }
    int columnCount() const { return columnCount_; }
    // Rows and columns count from 0; outside the table the text is empty.
    const std::string& cell(int row, int column) const;
    // The store's description of the last failure ("" after a success).
    const std::string& lastError() const { return lastError_; }

private:
    void clear();
    void report(const std::string& description);

    StoreConnection& connection_;
    Prompter& prompter_;
    int rowCount_ = 0;
    int columnCount_ = 0;
    std::vector<std::string> cells_;
    std::string lastError_;
};

}  // namespace verdanel
