#pragma once
// Appends many rows to one table: a statement of kRowsPerStatement rows
// ("INSERT ... VALUES (...), (...), ...") prepared once takes them a block
// at a time, and the rows left at the end go through a statement of their
// own. Measured against one single-row statement per row, this sends a
// sixty-fourth of the statement runs for the same rows.
//
//     BatchInsert<ResultRow> insert(connection, sql::kInsertStreamOutput, bindRow);
//     for (...) if (!insert.add(row)) ...;
//     if (!insert.finish()) ...;   // before the commit
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/statements.hpp"
#include "core/store/store_statement.hpp"

namespace verdanel {

template <class Row>
class BatchInsert {
public:
    static constexpr int kRowsPerStatement = 64;
    // Binds one row's values to the placeholders first, first + 1, ...
    using BindRow = std::function<void(StoreStatement& statement, int first, const Row& row)>;

    // singleRowInsert: an insert of one row, its "(?, ...)" last.
    BatchInsert(StoreConnection& connection, std::string_view singleRowInsert, int columns, BindRow bind)
        : connection_(connection),
          singleRow_(singleRowInsert),
          columns_(columns),
          bind_(std::move(bind)),
          block_(connection, sql::multiRowInsert(singleRowInsert, kRowsPerStatement)) {
        rows_.reserve(kRowsPerStatement);
        if (!block_.valid()) error_ = block_.error();
    }

    bool valid() const { return block_.valid(); }
    const std::string& error() const { return error_; }

    // Keeps the row; a full block goes to the store.
    bool add(const Row& row) {
        rows_.push_back(row);
        if (static_cast<int>(rows_.size()) < kRowsPerStatement) return true;
        return send(block_);
    }

    // The rows still kept go to the store.
    bool finish() {
        if (rows_.empty()) return true;
        StoreStatement rest(connection_, sql::multiRowInsert(singleRow_, static_cast<int>(rows_.size())));
        if (!rest.valid()) {
            error_ = rest.error();
            return false;
        }
        return send(rest);
    }

private:
    bool send(StoreStatement& statement) {
        for (std::size_t r = 0; r < rows_.size(); ++r) bind_(statement, 1 + static_cast<int>(r) * columns_, rows_[r]);
        rows_.clear();
        if (statement.run()) return true;
        error_ = statement.error();
        return false;
    }

    StoreConnection& connection_;
    std::string singleRow_;
    int columns_;
    BindRow bind_;
    StoreStatement block_;
    std::vector<Row> rows_;
    std::string error_;
};

}  // namespace verdanel
