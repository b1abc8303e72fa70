// Property texts as people type them. The store keeps the text as typed;
// the number check decides whether the chemical may be offered, and a run
// refuses one that may not; it also refuses values that would break the
// model, whatever the check said.
#include <algorithm>

#include "badinput_fixture.hpp"
#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/chemical_rules.hpp"
#include "core/chemicals/material_manager.hpp"
#include "core/common/messages.hpp"
#include "core/common/text_format.hpp"

using namespace verdanel;
using namespace verdanel::testing;

TEST(OddPropertyTexts, StoredAsTypedCheckedForUseAndRefusedWhenTheyBreakTheModel) {
    InputFixture f;
    const std::string airRefused = fillMessage(msg::kChemicalPropertyFormat, msg::kPropertyHalfLifeAir);
    const std::string soilRefused = fillMessage(msg::kChemicalPropertyFormat, msg::kPropertyHalfLifeSoil);
    const std::string henryRefused = fillMessage(msg::kChemicalPropertyFormat, msg::kPropertyHenry);
    const std::string notANumber = fillMessage(msg::kNotFiniteFormat, "화학 물질 특성");
    // A chemical the scenario window would not offer is refused by every run,
    // naming the chemical and the property (filled in below).
    const std::string notUsable = "not usable";
    struct Case {
        std::string text;
        int column;           // material_info column the text goes into
        bool usable;          // offered to scenarios after the number check
        std::string refusal;  // what a run says ("" when it may run)
    };
    const Case cases[] = {
        {"1.5e-3", chem_col::kHalfLifeAir, true, ""},
        {"2E5", chem_col::kHalfLifeWater, true, ""},
        {"-0.1", chem_col::kHalfLifeSoil, true, soilRefused},
        {"", chem_col::kHenryConstant, false, notUsable},
        {"1,5", chem_col::kHalfLifeAir, false, notUsable},  // the comma fails the check (a run would read 1)
        {"abc", chem_col::kHalfLifeWater, false, notUsable},
        {"  3", chem_col::kHenryConstant, true, ""},
        {"3 ", chem_col::kLogKow, true, ""},
        {"1e400", chem_col::kHalfLifeAir, true, airRefused},
        {"1e400", chem_col::kLogKow, true, notANumber},
        {"-1e400", chem_col::kDiffusivityWater, true, notANumber},
        {"NaN", chem_col::kHenryConstant, false, notUsable},
        {"INF", chem_col::kHalfLifeSoil, true, soilRefused},
        {"1e-400", chem_col::kHalfLifeAir, true, airRefused},
        {"0x1A", chem_col::kHalfLifeWater, false, notUsable},
        {"\xEF\xBC\x91\xEF\xBC\x92", chem_col::kHenryConstant, true, henryRefused},  // full-width 12
        {"3e", chem_col::kDiffusivityAir, true, ""},
        {"+.5e+1", chem_col::kHalfLifeSoil, true, ""},
    };
    ScriptedPrompter quiet;
    const PropertyTexts chlorpyrifos = *showChemical(f.connection, quiet, "Chlorpyrifos");
    ASSERT_EQ(f.run(f.scenario(ModelKind::Ditch, "earlier")).status, RunStatus::Completed);

    int index = 0;
    for (const Case& c : cases) {
        const std::string name = "case " + std::to_string(index++);
        SCOPED_TRACE(name + ": \"" + c.text + "\" in column " + std::to_string(c.column));
        ASSERT_TRUE(addChemical(f.connection, quiet, name).stored);
        PropertyTexts typed = chlorpyrifos;
        typed[static_cast<std::size_t>(c.column - 1)] = c.text;
        quiet.setNextAnswer(true);
        ASSERT_TRUE(applyChemicalEdits(f.connection, quiet, name, typed).stored);
        EXPECT_EQ(showChemical(f.connection, quiet, name), typed);

        const auto usable = usableChemicalNames(f.connection, quiet);
        EXPECT_EQ(std::find(usable.begin(), usable.end(), name) != usable.end(), c.usable);

        ScenarioDefinition s = f.scenario(ModelKind::Ditch, "earlier", name);
        const std::string refusal =
            c.refusal != notUsable
                ? c.refusal
                : fillMessage(fillMessage(msg::kChemicalNotUsableFormat, name), msg::kPropertyLabels[c.column - 1]);
        EXPECT_EQ(refusalFor(s), refusal);
        if (refusal.empty()) continue;
        // A refused run shows its reason once and leaves the earlier run of the name alone.
        const StoreDigest before = f.digest();
        f.prompter.shown.clear();
        RunOutcome outcome = f.run(s);
        EXPECT_EQ(outcome.status, RunStatus::Refused);
        EXPECT_EQ(f.prompter.texts(), std::vector<std::string>{refusal});
        EXPECT_TRUE(f.digest() == before);
    }
}
