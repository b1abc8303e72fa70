#pragma once
// All or nothing: statements between begin() and commit() reach the store
// together, or not at all when the transaction is dropped or the process dies.
#include <string>

namespace verdanel {

class StoreConnection;

class StoreTransaction {
public:
    explicit StoreTransaction(StoreConnection& connection);
    ~StoreTransaction();
    StoreTransaction(const StoreTransaction&) = delete;
    StoreTransaction& operator=(const StoreTransaction&) = delete;

    // Takes the store's write lock at once, so a busy store fails here and not half way.
    bool begin();
    bool commit();
    void rollback();
    bool active() const { return active_; }
    const std::string& error() const { return error_; }

private:
    bool exec(const char* sql);
    StoreConnection& connection_;
    bool active_ = false;
    std::string error_;
};

}  // namespace verdanel
