#pragma once
// The free space inside a store file, and giving it back after a delete.
#include <cstdint>
#include <string>

namespace verdanel {

class StoreConnection;

// How much of the store file holds nothing.
struct StoreSpace {
    std::int64_t pages = 0;      // pages in the file
    std::int64_t freePages = 0;  // pages on the free list
    std::int64_t pageSize = 0;   // bytes
    bool incremental = false;    // the store gives pages back by itself after a delete
};
StoreSpace readStoreSpace(StoreConnection& connection);

// A rewrite costs the size of the store, so it is done only when free pages
// make up more than this share of the file.
inline constexpr double kWorthwhileFreeShare = 0.01;
bool compactionWorthwhile(const StoreSpace& space);

// Gives the free pages of an incremental store back to the file system. A
// store without incremental auto-vacuum is left as it is (false, no error).
bool reclaimFreePages(StoreConnection& connection, std::string& error);

}  // namespace verdanel
