#include "core/store/output_rows.hpp"

#include "core/store/statements.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_statement.hpp"

namespace verdanel {

namespace {

// Whether the rows at both ends of `rows` are the scenario's. Rows are never
// interleaved (a run appends all of its rows past every row there is), so
// then every row between them is the scenario's too.
bool holds(StoreConnection& connection, ModelKind kind, const std::string& name, const OutputRows& rows) {
    if (rows.first < 1 || rows.last < rows.first) return false;
    StoreStatement st(connection, sql::outputNamesAt(kind));
    if (!st.valid()) return false;
    st.bindInt(1, rows.first);
    st.bindInt(2, rows.last);
    int found = 0;
    while (st.nextRow()) {
        if (st.columnText(0) != name) return false;
        ++found;
    }
    return !st.failed() && found == (rows.first == rows.last ? 1 : 2);
}

bool record(StoreConnection& connection, ModelKind kind, const std::string& name, const OutputRows& rows,
            std::string& error) {
    const std::string model = modelTypeText(kind);
    StoreStatement remove(connection, sql::kDeleteOutputRows);
    remove.bindAll({name, model});
    StoreStatement insert(connection, sql::kInsertOutputRows);
    insert.bindAll({name, model, rows.first, rows.last});
    if (!remove.run()) {
        error = remove.error();
        return false;
    }
    if (!insert.run()) {
        error = insert.error();
        return false;
    }
    return true;
}

}  // namespace

std::optional<OutputRows> outputRowsOf(StoreConnection& connection, ModelKind kind, const std::string& name) {
    {
        StoreStatement st(connection, sql::kOutputRowsOf);
        // A store made before the record (and not writable since) has no table for it.
        if (!st.valid()) return std::nullopt;
        st.bindAll({name, std::string(modelTypeText(kind))});
        if (!st.nextRow()) return std::nullopt;
        const OutputRows rows{st.columnInt(0), st.columnInt(1)};
        if (holds(connection, kind, name, rows)) return rows;
    }
    // Numbered anew: found once by name (the whole table), then recorded again.
    StoreStatement byName(connection, sql::outputRowsByName(kind));
    if (!byName.valid()) return std::nullopt;
    byName.bindText(1, name);
    if (!byName.nextRow() || byName.columnInt(2) == 0) return std::nullopt;
    const OutputRows rows{byName.columnInt(0), byName.columnInt(1)};
    if (rows.last - rows.first + 1 != byName.columnInt(2)) return std::nullopt;  // not one after the other
    std::string ignored;  // a store that cannot be written searches by name next time too
    record(connection, kind, name, rows, ignored);
    return rows;
}

std::optional<std::int64_t> nextOutputRow(StoreConnection& connection, ModelKind kind, std::string& error) {
    StoreStatement st(connection, sql::lastOutputRow(kind));
    if (!st.valid() || !st.nextRow()) {
        error = st.error();
        return std::nullopt;
    }
    return st.columnIsNull(0) ? 1 : st.columnInt(0) + 1;
}

bool recordOutputRows(StoreConnection& connection, ModelKind kind, const std::string& name, const OutputRows& rows,
                      std::string& error) {
    if (!holds(connection, kind, name, rows)) return true;  // found by name instead
    return record(connection, kind, name, rows, error);
}

bool deleteOutputRows(StoreConnection& connection, ModelKind kind, const std::string& name, std::string& error) {
    if (const std::optional<OutputRows> rows = outputRowsOf(connection, kind, name)) {
        StoreStatement st(connection, sql::deleteOutputInRows(kind));
        st.bindAll({rows->first, rows->last, name});
        if (!st.run()) {
            error = st.error();
            return false;
        }
    } else {
        StoreStatement st(connection, sql::statementsFor(kind).deleteOutput);
        st.bindText(1, name);
        if (!st.run()) {
            error = st.error();
            return false;
        }
    }
    StoreStatement forget(connection, sql::kDeleteOutputRows);
    forget.bindAll({name, std::string(modelTypeText(kind))});
    // A store made before the record has nothing to forget.
    if (forget.valid() && !forget.run()) {
        error = forget.error();
        return false;
    }
    return true;
}

}  // namespace verdanel
