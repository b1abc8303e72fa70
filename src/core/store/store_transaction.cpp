#include "core/store/store_transaction.hpp"

#include <sqlite3.h>

#include "core/store/store_connection.hpp"

namespace verdanel {

StoreTransaction::StoreTransaction(StoreConnection& connection) : connection_(connection) {}

StoreTransaction::~StoreTransaction() { rollback(); }

bool StoreTransaction::exec(const char* sql) {
    if (!connection_.isOpen()) {
        error_ = connection_.openError();
        return false;
    }
    return connection_.database().exec(sql, &error_);
}

bool StoreTransaction::begin() {
    if (active_) return true;
    active_ = exec("BEGIN IMMEDIATE");
    return active_;
}

bool StoreTransaction::commit() {
    if (!active_) return false;
    if (!exec("COMMIT")) {
        rollback();
        return false;
    }
    active_ = false;
    return true;
}

void StoreTransaction::rollback() {
    if (!active_) return;
    active_ = false;
    if (connection_.isOpen() && !sqlite3_get_autocommit(connection_.handle())) {
        connection_.database().exec("ROLLBACK");
    }
}

}  // namespace verdanel
