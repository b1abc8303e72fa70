// Chemical and scenario names are whatever the user typed: quotes, SQL,
// Hangul, format markers, a thousand characters. Every operation stores and
// finds them as they are and touches nothing else.
#include <algorithm>

#include "badinput_fixture.hpp"
#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/material_manager.hpp"
#include "core/common/messages.hpp"
#include "core/results/result_search.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/schema.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"

using namespace verdanel;
using namespace verdanel::testing;

namespace {

// 1,000 characters of the signs SQL and printf care about, with Hangul
// among them when hangul is set (three bytes each in UTF-8).
std::string thousandCharacters(bool hangul) {
    const char* ascii = "'\";-%_\\ ";
    std::string s;
    for (int i = 0; i < 1000; ++i) {
        if (hangul && i % 2 == 0) {
            const char32_t c = U'\uAC00' + static_cast<char32_t>(i * 7 % 11172);
            s += static_cast<char>(0xE0 | (c >> 12));
            s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            s += ascii[i % 8];
        }
    }
    return s;
}

int count(const std::vector<std::string>& list, const std::string& name) {
    return static_cast<int>(std::count(list.begin(), list.end(), name));
}

}  // namespace

TEST(OddNames, ChemicalsAndScenariosKeepTheirNamesThroughEveryOperation) {
    InputFixture f;
    // Each entry: the chemical's name and the scenario's. The scenario name
    // is stored in every output row, so its 1,000 characters are the
    // one-byte kind, which keeps the run's 131,040 rows to a sensible size.
    const std::vector<std::pair<std::string, std::string>> names = {
        {"O'Brien", "O'Brien"},
        {"say \"hi\"", "say \"hi\""},
        {"a;b", "a;b"},
        {"-- a -- b --", "-- a -- b --"},
        {"한글 농약", "한글 시나리오 살포"},
        {thousandCharacters(true), thousandCharacters(false)},
        {"x'); DROP TABLE Scenario_Info; --", "x'); DROP TABLE Scenario_Info; --"},
        {"\"); DELETE FROM material_info; --", "'; DELETE FROM model_output_ditch; --"},
        {"%s %d %n %1 50%_off back\\slash", "%s %d %n %1 50%_off back\\slash"},
        {" padded\tand\nbroken ", " padded\tand\nbroken "},
    };
    ASSERT_EQ(names[5].first.size(), 500u * 3u + 500u);
    ASSERT_EQ(names[5].second.size(), 1000u);

    // A bystander whose name begins like some of the others.
    ASSERT_EQ(f.run(f.scenario(ModelKind::Ditch, "x")).status, RunStatus::Completed);
    ScriptedPrompter quiet;
    usableChemicalNames(f.connection, quiet);  // the sample chemicals' flags as the runs leave them
    const StoreDigest before = f.digest();
    const PropertyTexts chlorpyrifos = *showChemical(f.connection, quiet, "Chlorpyrifos");

    for (const auto& [name, scenarioName] : names) {
        SCOPED_TRACE(name.substr(0, 60));
        // The material manager: add, refuse a second add, edit, show, load.
        f.prompter.shown.clear();
        AddOutcome added = addChemical(f.connection, f.prompter, name);
        ASSERT_TRUE(added.accepted && added.stored) << f.prompter.texts().size();
        EXPECT_FALSE(addChemical(f.connection, f.prompter, name).accepted);
        f.prompter.setNextAnswer(true);
        ASSERT_TRUE(applyChemicalEdits(f.connection, f.prompter, name, chlorpyrifos).stored);
        EXPECT_EQ(f.prompter.texts(), (std::vector<std::string>{msg::kChemicalNameExists,
                                                                name + "의 물질정보를 수정합니다. 수정 후 되돌릴 수 없습니다."}));
        auto shown = showChemical(f.connection, f.prompter, name);
        ASSERT_TRUE(shown.has_value());
        EXPECT_EQ(*shown, chlorpyrifos);
        auto record = loadChemical(f.connection, f.prompter, name);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ((*record)[chem_col::kName], name);
        EXPECT_EQ(count(listChemicalNames(f.connection, f.prompter), name), 1);
        EXPECT_EQ(count(usableChemicalNames(f.connection, f.prompter), name), 1);

        // A run of a scenario of such a name with the chemical of that name.
        f.prompter.shown.clear();
        ScenarioDefinition s = f.scenario(ModelKind::Ditch, scenarioName, name);
        RunOutcome outcome = f.run(s, false);
        ASSERT_EQ(outcome.status, RunStatus::Completed) << outcome.message;
        EXPECT_EQ(outcome.rows, 91 * 1440);
        ASSERT_EQ(f.prompter.texts(), std::vector<std::string>{scenarioName + " 시뮬레이션 완료!"});
        EXPECT_EQ(count(scenarioNames(f.connection, f.prompter, ModelKind::Ditch), scenarioName), 1);
        EXPECT_EQ(count(scenarioNames(f.connection, f.prompter, ModelKind::Pond), scenarioName), 0);
        ScenarioQueryOutcome found = queryScenario(f.connection, f.prompter, ModelKind::Ditch, scenarioName);
        ASSERT_EQ(found.status, ScenarioLookup::Found);
        EXPECT_EQ(found.info.chemical, name);
        EXPECT_EQ(found.info.startDate, "2010-06-01");
        EXPECT_EQ(found.info.endDate, "2010-08-30");
        ResultBuffer day = ResultSearch::search(f.connection, f.prompter, ModelKind::Ditch, scenarioName, 6, 1, 6, 1);
        EXPECT_EQ(day.size(), 1440u);

        // Running it again finds the earlier run by its name and asks first.
        f.prompter.shown.clear();
        f.prompter.setNextAnswer(false);
        EXPECT_EQ(f.run(s, false).status, RunStatus::Cancelled);
        ASSERT_FALSE(f.prompter.shown.empty());
        EXPECT_EQ(f.prompter.shown[0].text, msg::kReplaceQuestion);

        // Deleting removes exactly that scenario and that chemical.
        f.prompter.shown.clear();
        ASSERT_TRUE(deleteScenario(f.connection, f.prompter, ModelKind::Ditch, scenarioName));
        EXPECT_EQ(count(scenarioNames(f.connection, f.prompter, ModelKind::Ditch), scenarioName), 0);
        f.prompter.setNextAnswer(true);
        EXPECT_TRUE(deleteChemical(f.connection, f.prompter, name).stored);
        EXPECT_EQ(count(listChemicalNames(f.connection, f.prompter), name), 0);
        EXPECT_EQ(f.prompter.texts(), std::vector<std::string>{"화학물질: " + name + " 의 정보를 삭제하시겠습니까?"});
    }

    // Every table is still there, and what was stored before is as it was.
    StoreAccessor a(f.connection, f.prompter);
    for (const auto& table : storeTables()) {
        EXPECT_EQ(a.query("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?", {std::string(table.name)}).rows(),
                  1)
            << table.name;
    }
    EXPECT_TRUE(f.digest() == before) << differences(before, f.digest());
}
