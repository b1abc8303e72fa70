#pragma once
// Rewrites the store into a compact copy and puts the copy in its place.
// The copy is made beside the store ("test.mdb") and moved over it by one
// atomic rename, so at every moment the store file is either the old store
// or the compacted one; on any failure the original is left as it was.
#include <string>

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
// Shows "DB Server Connection Faild" when the store cannot be reopened.
CompactionOutcome compactStore(StoreConnection& connection, const std::string& connectionText, Prompter& prompter);

}  // namespace verdanel
