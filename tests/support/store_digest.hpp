#pragma once
// What a store holds, reduced to a few numbers per table and key, so a test
// can say "exactly as before" about hundreds of thousands of rows: for every
// table, and within it for every value of its first column (chemical or
// scenario name), the row count and a sum of row hashes. The sum ignores the
// order of the rows but sees any changed, missing or doubled value.
#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <ostream>
#include <string>

#include "core/store/schema.hpp"

namespace verdanel::testing {

struct RowDigest {
    std::int64_t rows = 0;
    std::uint64_t sum = 0;
    friend bool operator==(const RowDigest&, const RowDigest&) = default;
};

// table -> first column value -> digest
using StoreDigest = std::map<std::string, std::map<std::string, RowDigest>>;

inline std::ostream& operator<<(std::ostream& out, const RowDigest& d) {
    return out << d.rows << " rows, sum " << d.sum;
}

namespace detail {
inline void fnv(std::uint64_t& h, const void* data, std::size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 1099511628211ull;
    }
}
}  // namespace detail

// Every row of the eight tables. An empty map with "error" set when the
// store could not be read.
inline StoreDigest digestStore(sqlite3* db, std::string* error = nullptr) {
    StoreDigest digest;
    for (const auto& table : storeTables()) {
        auto& perKey = digest[table.name];
        sqlite3_stmt* st = nullptr;
        const std::string sql = std::string("SELECT * FROM ") + table.name;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            if (error) *error = sqlite3_errmsg(db);
            sqlite3_finalize(st);
            return {};
        }
        const int columns = sqlite3_column_count(st);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::uint64_t h = 1469598103934665603ull;
            for (int c = 0; c < columns; ++c) {
                const int type = sqlite3_column_type(st, c);
                detail::fnv(h, &type, sizeof type);
                if (type == SQLITE_FLOAT) {
                    const double v = sqlite3_column_double(st, c);
                    detail::fnv(h, &v, sizeof v);
                } else if (type == SQLITE_INTEGER) {
                    const sqlite3_int64 v = sqlite3_column_int64(st, c);
                    detail::fnv(h, &v, sizeof v);
                } else if (type != SQLITE_NULL) {
                    const void* bytes = sqlite3_column_blob(st, c);
                    const int n = sqlite3_column_bytes(st, c);
                    detail::fnv(h, &n, sizeof n);
                    if (n > 0) detail::fnv(h, bytes, static_cast<std::size_t>(n));
                }
            }
            const unsigned char* key = sqlite3_column_text(st, 0);
            RowDigest& d = perKey[key ? reinterpret_cast<const char*>(key) : std::string("<null>")];
            ++d.rows;
            d.sum += h;
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) {
            if (error) *error = sqlite3_errmsg(db);
            return {};
        }
    }
    return digest;
}

// The tables and keys whose rows differ, for a readable failure.
inline std::string differences(const StoreDigest& expected, const StoreDigest& actual) {
    std::string out;
    for (const auto& [table, keys] : expected) {
        auto other = actual.find(table);
        if (other == actual.end()) {
            out += table + ": missing; ";
            continue;
        }
        for (const auto& [key, d] : keys) {
            auto o = other->second.find(key);
            if (o == other->second.end()) out += table + "/" + key.substr(0, 40) + ": gone; ";
            else if (!(o->second == d))
                out += table + "/" + key.substr(0, 40) + ": " + std::to_string(d.rows) + " -> " +
                       std::to_string(o->second.rows) + " rows; ";
        }
        for (const auto& [key, d] : other->second)
            if (!keys.count(key)) out += table + "/" + key.substr(0, 40) + ": new, " + std::to_string(d.rows) + " rows; ";
    }
    return out;
}

// "ok", or the store's list of what is wrong.
inline std::string integrityCheck(sqlite3* db) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) != SQLITE_OK) {
        std::string why = sqlite3_errmsg(db);
        sqlite3_finalize(st);
        return why;
    }
    std::string result;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (!result.empty()) result += "\n";
        result += reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    }
    if (rc != SQLITE_DONE) result += std::string(result.empty() ? "" : "\n") + sqlite3_errmsg(db);
    sqlite3_finalize(st);
    return result;
}

// A file's bytes, for "nothing was overwritten".
inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace verdanel::testing
