#pragma once
// The one store connection of the process. Absent before start-up opens it
// and while the store is compacted; after a failed open the connection
// object stays in place unopened, and every statement then reports an error.
#include <string>

#include "core/store/sqlite_handle.hpp"

namespace verdanel {

class Prompter;

class StoreConnection {
public:
    enum class State { Absent, Unopened, Open };

    StoreConnection() = default;
    ~StoreConnection();
    StoreConnection(const StoreConnection&) = delete;
    StoreConnection& operator=(const StoreConnection&) = delete;

    // Opens the store the connection text names, read-write and never
    // creating a file. On failure shows the store's own message and keeps an
    // unopened connection object.
    bool open(const std::string& connectionText, Prompter& prompter);
    // Closes an open connection; the object stays (Unopened) until released.
    void close();
    // Drops the connection object: the handle becomes absent.
    void release();

    bool isPresent() const { return state_ != State::Absent; }
    bool isOpen() const { return state_ == State::Open; }
    State state() const { return state_; }
    sqlite3* handle() const { return db_.get(); }
    const SqliteDatabase& database() const { return db_; }
    // The file the connection text named ("" before the first open).
    const std::string& path() const { return path_; }
    // Why the last open failed, in the store's words.
    const std::string& openError() const { return openError_; }

private:
    SqliteDatabase db_;
    State state_ = State::Absent;
    std::string path_;
    std::string openError_;
};

// The file named by a connection text: the value of its "Data Source" key,
// which runs to the end of the text because the program appends the store's
// path right after the prefix. A text without any key is a path by itself.
// Surrounding white space, the prefix line's kept line break included, is trimmed.
std::string dataSourceOf(const std::string& connectionText);

}  // namespace verdanel
