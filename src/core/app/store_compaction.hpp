#pragma once
// Rewrites the store into a compact copy and puts the copy in its place.
// The copy is made beside the store ("test.mdb") and moved over it by one
// atomic rename, so at every moment the store file is either the old store
// or the compacted one; on any failure the original is left as it was.
#include <string>

#include "core/store/store_space.hpp"

namespace verdanel {

class Prompter;
class StoreConnection;

struct CompactionOutcome {
    bool compacted = false;  // the store file was replaced by the compact copy
    bool reopened = false;   // the connection is open again afterwards
    std::string error;       // why the compaction did not happen ("" when it did)
};

// The temporary file of a compaction, beside the store file.
std::string compactionTempPath(const std::string& storePath);

// Compacts the store the connection text names and reopens the connection.
// Shows "DB Server Connection Faild" when the store cannot be reopened. The
// copy uses incremental auto-vacuum, so a store made before stores had it
// switches with its first rewrite, and never needs another for a delete.
CompactionOutcome compactStore(StoreConnection& connection, const std::string& connectionText, Prompter& prompter);

// Whether a full rewrite would reclaim enough to be worth its time.
bool compactionDue(StoreConnection& connection);
// What Quit and a delete do: a full rewrite when it is due, otherwise
// nothing (the outcome then has compacted false and no error).
CompactionOutcome compactIfWorthwhile(StoreConnection& connection, const std::string& connectionText,
                                      Prompter& prompter);

}  // namespace verdanel
