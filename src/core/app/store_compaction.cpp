#include "core/app/store_compaction.hpp"

#include <sqlite3.h>

#include <filesystem>

#include "core/common/messages.hpp"
#include "core/common/platform.hpp"
#include "core/common/prompter.hpp"
#include "core/common/utf8_path.hpp"
#include "core/store/statements.hpp"
#include "core/store/sqlite_handle.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_statement.hpp"

namespace verdanel {

namespace {
std::string parentOf(const std::string& path) {
    auto pos = lastPathSeparator(path);
    return pos == std::string::npos ? std::string(".") : path.substr(0, pos);
}

// VACUUM INTO on the open connection, or on a read-only one made for it.
bool writeCompactCopy(StoreConnection& connection, const std::string& source, const std::string& target,
                      std::string& error) {
    SqliteDatabase own;
    if (!connection.isOpen()) {
        if (!own.open(source, SQLITE_OPEN_READONLY, error)) return false;
        sqlite3_busy_timeout(own.get(), 5000);
    }
    const SqliteDatabase& db = connection.isOpen() ? connection.database() : own;
    // A store made before stores had incremental auto-vacuum switches to it
    // in the copy (on a store without it the setting only takes effect there).
    // A store that has it is left alone: setting it again would write.
    {
        StoreStatement mode(db, sql::kAutoVacuumMode);
        if (mode.nextRow() && mode.columnInt(0) == sql::kAutoVacuumNone) db.exec(sql::kUseIncrementalVacuum);
    }
    // The copy gets the page size of new stores (VACUUM INTO takes the size
    // set here, and setting it writes nothing to the store itself).
    db.exec(sql::kUseStorePageSize);
    StoreStatement compact(db, sql::kCompactInto);
    compact.bindText(1, target);
    const bool ok = compact.run();
    if (!ok) error = compact.error();
    return ok;
}
}  // namespace

std::string compactionTempPath(const std::string& storePath) { return parentOf(storePath) + "/test.mdb"; }

CompactionOutcome compactStore(StoreConnection& connection, const std::string& connectionText, Prompter& prompter) {
    CompactionOutcome outcome;
    const std::string source = dataSourceOf(connectionText);
    const std::string target = compactionTempPath(source);
    std::error_code ec;

    auto reopen = [&]() {
        connection.release();
        if (connection.open(connectionText, prompter)) {
            outcome.reopened = true;
        } else {
            prompter.inform(msg::kConnectionFailed, msg::kProgramTitle, PromptIcon::Error);
        }
    };

    if (source.empty() || !std::filesystem::is_regular_file(pathFromUtf8(source), ec)) {
        outcome.error = source.empty() ? msg::kNoDataSource : "unable to open database file: " + source;
        if (!connection.isOpen()) reopen();
        else outcome.reopened = true;
        return outcome;
    }

    // A store that does not open (damaged, or a file without tables) is left
    // alone: a copy of it must not take its place.
    if (!connection.isOpen()) {
        reopen();
        if (!outcome.reopened) {
            outcome.error = connection.openError();
            return outcome;
        }
    }

    // A copy left by an interrupted compaction is stale; the store itself is intact.
    std::filesystem::remove(pathFromUtf8(target), ec);
    bool ok = writeCompactCopy(connection, source, target, outcome.error);
    if (ok && !platform::syncFile(pathFromUtf8(target))) {
        ok = false;
        outcome.error = "fsync failed: " + target;
    }
    if (!ok) {
        std::filesystem::remove(pathFromUtf8(target), ec);
        if (connection.isOpen()) outcome.reopened = true;
        else reopen();
        return outcome;
    }

    connection.release();
    if (!platform::replaceFile(pathFromUtf8(target), pathFromUtf8(source))) {
        outcome.error = "rename failed: " + target;
        std::filesystem::remove(pathFromUtf8(target), ec);
    } else {
        platform::syncFolder(pathFromUtf8(parentOf(source)));
        outcome.compacted = true;
    }
    reopen();
    return outcome;
}

bool compactionDue(StoreConnection& connection) {
    // A store that is not open goes to the full compaction, which reopens it
    // or leaves it alone.
    return !connection.isOpen() || compactionWorthwhile(readStoreSpace(connection));
}

CompactionOutcome compactIfWorthwhile(StoreConnection& connection, const std::string& connectionText,
                                      Prompter& prompter) {
    if (!compactionDue(connection)) {
        CompactionOutcome nothing;
        nothing.reopened = true;
        return nothing;
    }
    return compactStore(connection, connectionText, prompter);
}

}  // namespace verdanel
