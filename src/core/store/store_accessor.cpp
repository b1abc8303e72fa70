#include "core/store/store_accessor.hpp"

#include "core/common/messages.hpp"
#include "core/common/prompter.hpp"
#include "core/common/text_format.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_statement.hpp"

namespace verdanel {

StoreAccessor::StoreAccessor(StoreConnection& connection, Prompter& prompter)
    : connection_(connection), prompter_(prompter) {}

void StoreAccessor::clear() {
    rowCount_ = 0;
    columnCount_ = 0;
    cells_.clear();
}

void StoreAccessor::report(const std::string& description) {
    lastError_ = description;
    prompter_.inform(fillMessage(msg::kStoreErrorFormat, description), msg::kProgramTitle, PromptIcon::Error);
}

const std::string& StoreAccessor::cell(int row, int column) const {
    static const std::string empty;
    if (row < 0 || column < 0 || row >= rowCount_ || column >= columnCount_) return empty;
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columnCount_) + static_cast<std::size_t>(column)];
}

QueryResult StoreAccessor::query(std::string_view sql, const std::vector<StoreValue>& params) {
    clear();
    lastError_.clear();
    if (!connection_.isPresent()) {
        lastError_ = msg::kStoreNotOpen;
        return QueryResult::refused();
    }
    StoreStatement stmt(connection_, sql);
    if (!stmt.valid()) {
        report(stmt.error());
        return QueryResult::refused();
    }
    stmt.bindAll(params);
    const int columns = stmt.columnCount();
    std::vector<std::string> cells;
    int rows = 0;
    while (stmt.nextRow()) {
        for (int c = 0; c < columns; ++c) cells.push_back(stmt.columnAsText(c));
        ++rows;
    }
    if (stmt.failed()) {
        report(stmt.error());
        return QueryResult::refused();
    }
    // The column count is kept even when no row came back.
    columnCount_ = columns;
    rowCount_ = rows;
    cells_ = std::move(cells);
    return QueryResult::found(rows);
}

bool StoreAccessor::execute(std::string_view sql, const std::vector<StoreValue>& params) {
    if (!connection_.isPresent()) return false;
    lastError_.clear();
    StoreStatement stmt(connection_, sql);
    if (!stmt.valid()) {
        report(stmt.error());
        return false;
    }
    stmt.bindAll(params);
    if (!stmt.run()) {
        report(stmt.error());
        return false;
    }
    return true;
}

}  // namespace verdanel
