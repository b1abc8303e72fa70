// Inputs that would break the model are refused before anything is stored,
// with a message that names the field; even an earlier run of the same name
// that the run was told to replace stays exactly as it was. Values at the
// edge of what the model takes are not refused.
#include <cmath>
#include <functional>
#include <iostream>
#include <limits>

#include "badinput_fixture.hpp"
#include "core/chemicals/chemical_messages.hpp"
#include "core/common/messages.hpp"
#include "core/common/text_format.hpp"

using namespace verdanel;
using namespace verdanel::testing;

namespace {

using Change = std::function<void(ScenarioDefinition&)>;

struct Field {
    float ScenarioParameters::*member;
    const char* label;
};

const Field kFields[] = {
    {&ScenarioParameters::sprayLength, scenarioParameterNamed("sprayLength")->label},
    {&ScenarioParameters::sprayWidth, scenarioParameterNamed("sprayWidth")->label},
    {&ScenarioParameters::vehicleSpeed, scenarioParameterNamed("vehicleSpeed")->label},
    {&ScenarioParameters::sprayRate, scenarioParameterNamed("sprayRate")->label},
    {&ScenarioParameters::dilutionRatio, scenarioParameterNamed("dilutionRatio")->label},
    {&ScenarioParameters::injectedConcentration, scenarioParameterNamed("injectedConcentration")->label},
    {&ScenarioParameters::leafAreaIndex, scenarioParameterNamed("leafAreaIndex")->label},
    {&ScenarioParameters::canopyCover, scenarioParameterNamed("canopyCover")->label},
    {&ScenarioParameters::bankWidth, scenarioParameterNamed("bankWidth")->label},
    {&ScenarioParameters::waterWidth, scenarioParameterNamed("waterWidth")->label},
    {&ScenarioParameters::waterDepth, scenarioParameterNamed("waterDepth")->label},
    {&ScenarioParameters::waterVelocity, scenarioParameterNamed("waterVelocity")->label},
};

Change set(float ScenarioParameters::*member, float value) {
    return [=](ScenarioDefinition& s) { s.parameters.*member = value; };
}
Change property(int column, const char* text) {
    return [=](ScenarioDefinition& s) { s.chemical[static_cast<std::size_t>(column)] = text; };
}
std::string positive(const char* field) { return fillMessage(msg::kMustBePositiveFormat, field); }
std::string notNegative(const char* field) { return fillMessage(msg::kMustNotBeNegativeFormat, field); }
std::string notFinite(const char* field) { return fillMessage(msg::kNotFiniteFormat, field); }
std::string chemical(const char* property) { return fillMessage(msg::kChemicalPropertyFormat, property); }
std::string notUsable(int column) {
    return fillMessage(fillMessage(msg::kChemicalNotUsableFormat, "Chlorpyrifos"), msg::kPropertyLabels[column - 1]);
}

}  // namespace

TEST(ModelRefusals, EveryInputThatBreaksTheModelIsRefusedAndNothingIsStored) {
    InputFixture f;
    using P = ScenarioParameters;
    struct Case {
        std::string what;
        ModelKind kind;
        Change change;
        std::string message;
    };
    std::vector<Case> cases = {
        {"no chemical", ModelKind::Stream, [](ScenarioDefinition& s) { s.chemical = ChemicalRecord{}; },
         msg::kNoChemicalChosen},
        {"L < 0", ModelKind::Ditch, set(&P::sprayLength, -200), positive(scenarioParameterNamed("sprayLength")->label)},
        {"V = 0", ModelKind::Pond, set(&P::vehicleSpeed, 0), positive(scenarioParameterNamed("vehicleSpeed")->label)},
        {"n < 0", ModelKind::Stream, set(&P::dilutionRatio, -1), positive(scenarioParameterNamed("dilutionRatio")->label)},
        {"LAI < 0", ModelKind::Ditch, set(&P::leafAreaIndex, -2), positive(scenarioParameterNamed("leafAreaIndex")->label)},
        {"Ws < 0", ModelKind::Stream, set(&P::waterWidth, -3), positive(scenarioParameterNamed("waterWidth")->label)},
        {"d < 0", ModelKind::Pond, set(&P::waterDepth, -0.25f), positive(scenarioParameterNamed("waterDepth")->label)},
        {"q < 0", ModelKind::Stream, set(&P::sprayRate, -7.5f), notNegative(scenarioParameterNamed("sprayRate")->label)},
        {"c0 < 0", ModelKind::Ditch, set(&P::injectedConcentration, -15), notNegative(scenarioParameterNamed("injectedConcentration")->label)},
        {"vw < 0 in a stream", ModelKind::Stream, set(&P::waterVelocity, -0.5f), notNegative(scenarioParameterNamed("waterVelocity")->label)},
        {"vw < 0 in a ditch", ModelKind::Ditch, set(&P::waterVelocity, -0.5f), notNegative(scenarioParameterNamed("waterVelocity")->label)},
        {"cov < 0", ModelKind::Pond, set(&P::canopyCover, -0.5f), fillMessage(msg::kFractionRangeFormat, scenarioParameterNamed("canopyCover")->label)},
        {"cov just above 1", ModelKind::Stream, set(&P::canopyCover, 1.0001f), fillMessage(msg::kFractionRangeFormat, scenarioParameterNamed("canopyCover")->label)},
        {"stream W < 0", ModelKind::Stream, set(&P::sprayWidth, -7), positive(scenarioParameterNamed("sprayWidth")->label)},
        {"stream B < W", ModelKind::Stream, set(&P::bankWidth, 6), msg::kStreamBankNotWider},
        {"ditch B < Ws", ModelKind::Ditch, set(&P::bankWidth, 0.5f), msg::kDitchBankNotWider},
        {"pond B = Ws", ModelKind::Pond,
         [](ScenarioDefinition& s) { s.parameters.bankWidth = s.parameters.waterWidth; }, msg::kDitchBankNotWider},
        // A required property that is empty or fails the number check: the chemical is not usable.
        {"air half-life text", ModelKind::Stream, property(chem_col::kHalfLifeAir, "abc"),
         notUsable(chem_col::kHalfLifeAir)},
        {"molecular weight empty", ModelKind::Ditch, property(chem_col::kMolecularWeight, ""),
         notUsable(chem_col::kMolecularWeight)},
        {"air half-life 0", ModelKind::Stream, property(chem_col::kHalfLifeAir, "0"),
         chemical(msg::kPropertyHalfLifeAir)},
        {"water half-life < 0", ModelKind::Ditch, property(chem_col::kHalfLifeWater, "-5"),
         chemical(msg::kPropertyHalfLifeWater)},
        {"soil half-life infinite", ModelKind::Pond, property(chem_col::kHalfLifeSoil, "1e999"),
         chemical(msg::kPropertyHalfLifeSoil)},
        {"Henry constant 0", ModelKind::Stream, property(chem_col::kHenryConstant, "0.0"), chemical(msg::kPropertyHenry)},
        {"log Kow infinite", ModelKind::Ditch, property(chem_col::kLogKow, "-1e999"), notFinite("화학 물질 특성")},
        {"air diffusivity infinite", ModelKind::Stream, property(chem_col::kDiffusivityAir, "1e400"),
         notFinite("화학 물질 특성")},
        {"no spray dates", ModelKind::Pond, [](ScenarioDefinition& s) { s.sprayDates.clear(); }, msg::kNoSprayDates},
        {"start after end", ModelKind::Ditch,
         [](ScenarioDefinition& s) { s.sprayDates = {CivilTime{2011, 1, 1, 10, 0, 0}, CivilTime{2010, 1, 1, 10, 0, 0}}; },
         msg::kStartAfterEnd},
    };
    // Every field of every model, not a number or not finite.
    for (ModelKind kind : {ModelKind::Stream, ModelKind::Ditch, ModelKind::Pond}) {
        for (const Field& field : kFields) {
            for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity()}) {
                // A pond's velocity is taken as 0, whatever the field holds.
                if (kind == ModelKind::Pond && field.member == &P::waterVelocity) continue;
                cases.push_back({std::string(modelTypeText(kind)) + " " + field.label + " " + std::to_string(bad), kind,
                                 set(field.member, bad), notFinite(field.label)});
            }
        }
    }

    // An earlier run of the same name, which each refused run was told to replace.
    for (ModelKind kind : {ModelKind::Stream, ModelKind::Ditch, ModelKind::Pond})
        ASSERT_EQ(f.run(f.scenario(kind, "same")).status, RunStatus::Completed);
    const StoreDigest before = f.digest();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScenarioDefinition s = f.scenario(c.kind, "same");
        c.change(s);
        f.prompter.shown.clear();
        RunOutcome outcome = f.run(s);
        EXPECT_EQ(outcome.status, RunStatus::Refused);
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(f.prompter.texts(), std::vector<std::string>{c.message});
    }
    EXPECT_TRUE(f.digest() == before);
    std::cout << "[ figures  ] " << cases.size() << " refused inputs\n";
}

TEST(ModelRefusals, ValuesAtTheEdgeOfWhatTheModelTakesAreNotRefused) {
    InputFixture f;
    using P = ScenarioParameters;
    const std::pair<const char*, std::pair<ModelKind, Change>> accepted[] = {
        {"cov = 1", {ModelKind::Stream, set(&P::canopyCover, 1)}},
        {"q = 0", {ModelKind::Ditch, set(&P::sprayRate, 0)}},
        {"c0 = 0", {ModelKind::Stream, set(&P::injectedConcentration, 0)}},
        {"vw = 0 in a stream", {ModelKind::Stream, set(&P::waterVelocity, 0)}},
        {"ditch W = 0 (not used by the ditch)", {ModelKind::Ditch, set(&P::sprayWidth, 0)}},
        {"pond vw < 0 (a pond does not flow)", {ModelKind::Pond, set(&P::waterVelocity, -1)}},
        {"tiny but positive L", {ModelKind::Pond, set(&P::sprayLength, 1e-30f)}},
        {"B just above W", {ModelKind::Stream, set(&P::bankWidth, std::nextafter(7.0f, 8.0f))}},
    };
    // A run that is let through is stopped at its first step: the refusals come before that.
    struct StopAtOnce final : ProgressSink {
        void progress(int) override {}
        bool abandoned() override { return true; }
    } stop;
    for (const auto& [what, change] : accepted) {
        SCOPED_TRACE(what);
        ScenarioDefinition s = f.scenario(change.first, "edge");
        change.second(s);
        f.prompter.shown.clear();
        WeatherSet weather;
        RunOutcome outcome = runScenario(f.connection, f.prompter, stop, s, weather);
        EXPECT_EQ(outcome.status, RunStatus::Abandoned) << outcome.message;
        EXPECT_TRUE(f.prompter.shown.empty()) << f.prompter.texts().front();
    }
}
