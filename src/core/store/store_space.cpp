#include "core/store/store_space.hpp"

#include "core/store/statements.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_statement.hpp"

namespace verdanel {

StoreSpace readStoreSpace(StoreConnection& connection) {
    StoreSpace space;
    if (!connection.isOpen()) return space;
    auto number = [&](const char* pragma) -> std::int64_t {
        StoreStatement st(connection, pragma);
        return st.nextRow() ? st.columnInt(0) : 0;
    };
    space.pages = number(sql::kPageCount);
    space.freePages = number(sql::kFreePageCount);
    space.pageSize = number(sql::kPageSize);
    space.incremental = number(sql::kAutoVacuumMode) == sql::kAutoVacuumIncremental;
    return space;
}

bool compactionWorthwhile(const StoreSpace& space) {
    return space.pages > 0 &&
           static_cast<double>(space.freePages) > kWorthwhileFreeShare * static_cast<double>(space.pages);
}

bool reclaimFreePages(StoreConnection& connection, std::string& error) {
    if (!connection.isOpen()) {
        error = connection.openError();
        return false;
    }
    if (!readStoreSpace(connection).incremental) return false;
    StoreStatement vacuum(connection, sql::kIncrementalVacuum);
    // Each step frees some pages; the statement runs until all are given back.
    const bool ok = vacuum.run();
    if (!ok) error = vacuum.error();
    return ok;
}

}  // namespace verdanel
