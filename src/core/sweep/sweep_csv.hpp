#pragma once
// The sweep's export: every endpoint of every column per variant, then the
// distribution of each endpoint. CP949, CRLF, "%e" numbers and "%d" counts,
// as the result export writes them.
#include <filesystem>
#include <ostream>
#include <string>

#include "core/sweep/sweep_run.hpp"

namespace verdanel {

class Prompter;

// The result table's header of value column k ("Cair(S1)", ..., "Cwater").
std::string valueColumnHeader(ModelKind kind, int valueIndex);
// "완료", "거부", "실패", "취소".
const char* variantStatusText(VariantStatus status);

// The export as UTF-8 text with CRLF line ends (before the CP949 conversion).
std::string sweepCsvText(const SweepOutcome& sweep, const std::string& scenarioName);
// Writes it as CP949 into a file; the result export's messages when the file
// cannot be opened or written.
bool exportSweepCsv(const std::filesystem::path& path, const SweepOutcome& sweep, const std::string& scenarioName,
                    Prompter& prompter);

}  // namespace verdanel
