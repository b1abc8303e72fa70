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

    // Many rows at once: whole blocks go to the store straight from `rows`,
    // without a copy; only what is left of a block is kept.
    bool add(const Row* rows, std::size_t count) {
        std::size_t r = 0;
        for (; r < count && !rows_.empty(); ++r)
            if (!add(rows[r])) return false;
        for (; r + kRowsPerStatement <= count; r += kRowsPerStatement)
            if (!send(block_, rows + r, kRowsPerStatement)) return false;
        for (; r < count; ++r)
            if (!add(rows[r])) return false;
        return true;
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
        const bool ok = send(statement, rows_.data(), static_cast<int>(rows_.size()));
        rows_.clear();
        return ok;
    }
    bool send(StoreStatement& statement, const Row* rows, int count) {
        for (int r = 0; r < count; ++r) bind_(statement, 1 + r * columns_, rows[r]);
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
