#pragma once
// Which base folder a start works in, and getting a chosen one ready.
//
// By default the base folder is the application folder: the parent of the
// folder that holds the executable, so a copied application folder keeps
// working wherever it is. An installed program cannot write there, so a
// start may name another base folder ("--base DIR", or the environment
// variable VERDANEL_BASE; the option wins). A chosen folder gets, on its
// first start, copies of the application folder's INI/CONNECTION.INI,
// Database/Verdanel.mdb and input/ folder; what it already holds is never
// overwritten, so the user's store survives every later start.
#include <string>

namespace verdanel {

inline constexpr const char* kBaseFolderOption = "--base";
inline constexpr const char* kBaseFolderVariable = "VERDANEL_BASE";

struct BaseFolderOutcome {
    bool ok = false;
    std::string folder;  // absolute, without a trailing separator
    std::string error;   // the user's message when !ok
};

// The folder a start names: the option's value when not empty, else the
// variable's value (nullptr: not set) when not empty, else "" (none named).
std::string namedBaseFolder(const std::string& option, const char* variable);

// Copies into base what it lacks of the sample folder's INI/CONNECTION.INI,
// Database/Verdanel.mdb and input/ (the folder as a whole, when base has
// none), making base and its folders as needed. Every copy appears whole or
// not at all; nothing in base is replaced. Failures: the folder cannot be
// made, the disk is full, a file cannot be written, a sample is missing.
BaseFolderOutcome prepareBaseFolder(const std::string& base, const std::string& sampleFolder);

// The base folder of this start: the named folder made ready from the
// application folder, or the application folder itself when none is named
// (or the named one is the application folder).
BaseFolderOutcome startBaseFolder(const std::string& option, const char* variable,
                                  const std::string& applicationFolder);

}  // namespace verdanel
