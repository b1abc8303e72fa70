#include "core/sweep/sweep_csv.hpp"

#include "core/common/cp949.hpp"
#include "core/common/number_text.hpp"
#include "core/results/mass_balance_series.hpp"
#include "core/results/result_columns.hpp"
#include "core/results/result_csv.hpp"
#include "core/sweep/sweep_messages.hpp"
#include "core/sweep/sweep_summary.hpp"

namespace verdanel {

namespace {

// Fields are written unquoted, as in the result export; a comma or a line
// break inside a message or a name would split it, so it becomes a blank.
std::string field(std::string text) {
    for (char& c : text)
        if (c == ',' || c == '\r' || c == '\n') c = ' ';
    return text;
}


}  // namespace

std::string valueColumnHeader(ModelKind kind, int valueIndex) {
    for (const ResultColumn& c : detailColumns(kind))
        if (c.field == ColumnField::Value && c.valueIndex == valueIndex) return c.header;
    return std::to_string(valueIndex);
}

const char* variantStatusText(VariantStatus status) {
    switch (status) {
        case VariantStatus::Finished: return msg::kVariantFinished;
        case VariantStatus::Refused: return msg::kVariantRefused;
        case VariantStatus::ModelFailed: return msg::kVariantFailed;
        case VariantStatus::Cancelled: return msg::kVariantCancelled;
    }
    return "";
}

std::string sweepCsvText(const SweepOutcome& sweep, const std::string& scenarioName) {
    const std::string end = kCsvLineEnd;
    const SweepPlan& plan = sweep.plan;
    std::string out;
    out += msg::kSweepCsvSection;
    out += end;
    out += std::string(msg::kSweepCsvScenario) + "," + field(scenarioName) + end;
    out += std::string(msg::kSweepCsvVaried) + "," + field(plan.title()) + "," + plan.name() + end;

    // Which columns carry threshold endpoints: those any variant has a threshold for.
    const int columns = resultValueCount(sweep.kind);
    std::vector<std::vector<EndpointKey>> keys;
    for (int k = 0; k < columns; ++k) {
        bool threshold = false;
        for (const VariantOutcome& v : sweep.variants)
            threshold = threshold || (static_cast<std::size_t>(k) < v.endpoints.size() &&
                                      v.endpoints[static_cast<std::size_t>(k)].threshold.has_value());
        keys.push_back(endpointKeys(k, threshold));
    }

    out += std::string(msg::kSweepVariantHeader) + "," + msg::kSweepStatusHeader + "," + msg::kSweepMessageHeader;
    for (int k = 0; k < columns; ++k) {
        const std::string header = valueColumnHeader(sweep.kind, k);
        for (const EndpointKey& key : keys[static_cast<std::size_t>(k)]) {
            out += "," + header + " " + endpointLabel(key);
            if (key.measure == EndpointMeasure::Peak) out += "," + header + " " + msg::kEndpointPeakAt;
        }
    }
    const char* applied = kMassBalanceEntries[kBalanceApplied].column;
    out.append(",").append(applied).append(" (ug)");
    for (int band : kBalanceBands)
        out.append(",").append(kMassBalanceEntries[static_cast<std::size_t>(band)].column).append("/").append(applied);
    out += end;
    for (const VariantOutcome& v : sweep.variants) {
        out += variantText(plan, v.value) + "," + variantStatusText(v.status) + "," + field(v.message);
        for (int k = 0; k < columns; ++k) {
            const ColumnEndpoints* e =
                static_cast<std::size_t>(k) < v.endpoints.size() ? &v.endpoints[static_cast<std::size_t>(k)] : nullptr;
            for (const EndpointKey& key : keys[static_cast<std::size_t>(k)]) {
                const std::optional<double> x = e ? endpointValue(*e, key) : std::nullopt;
                out += ",";
                if (x) out += endpointValueText(key.measure, *x);
                if (key.measure == EndpointMeasure::Peak) {
                    out += ",";
                    if (e) out += e->peakAt;
                }
            }
        }
        // Where the chemical went by the variant's last hour: the applied
        // mass, then each entry's share of it.
        if (v.finalBalance) {
            out.append(",").append(formatE(v.finalBalance->applied));
            for (int band : kBalanceBands) out.append(",").append(formatE(balanceShare(*v.finalBalance, band)));
        } else {
            out += std::string(kBalanceBands.size() + 1, ',');
        }
        out += end;
    }

    out += end;
    out += msg::kSweepCsvSummarySection;
    out += end;
    out += std::string(msg::kSweepColumnHeader) + "," + msg::kSweepEndpointHeader + "," + msg::kSweepMinimumHeader +
           "," + msg::kSweepMedianHeader + "," + msg::kSweepP90Header + "," + msg::kSweepMaximumHeader + "," +
           msg::kSweepMaximumVariantHeader + end;
    for (const EndpointDistribution& d : summarizeSweep(sweep)) {
        const EndpointMeasure m = d.key.measure;
        out += valueColumnHeader(sweep.kind, d.key.valueIndex) + "," + endpointLabel(d.key) + "," +
               endpointValueText(m, d.distribution.minimum) + "," + endpointValueText(m, d.distribution.median) + "," +
               endpointValueText(m, d.distribution.p90) + "," + endpointValueText(m, d.distribution.maximum) + "," +
               variantText(plan, sweep.variants[d.maximumVariant].value) + end;
    }
    return out;
}

bool exportSweepCsv(const std::filesystem::path& path, const SweepOutcome& sweep, const std::string& scenarioName,
                    Prompter& prompter) {
    const std::string text = utf8ToCp949(sweepCsvText(sweep, scenarioName));
    return writeCsvFile(path, prompter, [&](std::ostream& out) { out << text; });
}

}  // namespace verdanel
