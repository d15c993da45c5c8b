#include <nlohmann/json.hpp>

#include "tool_run.h"

namespace norvalt {
namespace {

using CalcTest = test::ToolTest;
using test::ToolRun;

TEST_F(CalcTest, ExitCodesTellUsageDataBaseAndEmptyResults)
{
    ASSERT_EQ(run("sample-lab '" + path("lab") + "'").exitCode, 0);
    const std::string db = " --db '" + path("lab/lab.db") + "' --profile '" + path("profile") + "'";

    // Neither --assays nor --all, both, a bad id, an alternative name for id 6.
    EXPECT_EQ(run("calc" + db).exitCode, 2);
    EXPECT_EQ(run("calc" + db + " --assays 1 --all").exitCode, 2);
    EXPECT_EQ(run("calc" + db + " --assays 1,x").exitCode, 2);
    EXPECT_EQ(run("calc" + db + " --assays 1 --alt-name 6=X").exitCode, 2);
    // Selecting a row that is not in the list.
    EXPECT_EQ(run("calc" + db + " --assays 1 --select 2").exitCode, 2);

    const ToolRun missing = run("calc --db '" + path("none.db") + "' --all");
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.err.find("none.db"), std::string::npos);

    // A calibration chromatogram selected: no result rows, the reason in
    // the messages.
    const ToolRun calibration = run("calc" + db + " --assays 1 --json");
    EXPECT_EQ(calibration.exitCode, 1);
    const auto json = nlohmann::json::parse(calibration.out);
    EXPECT_EQ(json["selectedAssayId"], 1);
    EXPECT_TRUE(json["results"].empty());
    EXPECT_EQ(json["messages"]["errors"].size(), 1u);
}

TEST_F(CalcTest, AlternativeNamesAndWaterAreKeptInTheProfile)
{
    ASSERT_EQ(run("sample-lab '" + path("lab") + "'").exitCode, 0);
    const std::string db = " --db '" + path("lab/lab.db") + "' --profile '" + path("profile") + "'";

    // Renaming diethylene glycol's peak name takes its peaks out of
    // recognition: the calibrations lose their kind.
    ToolRun renamed = run("calc" + db + " --all --select 9 --water 0.5 --alt-name 1=ДЭГ --json");
    EXPECT_EQ(renamed.exitCode, 1);
    // The whole profile: the water fraction as "%.17g" gives it, then the six
    // names in key order, the components' own names where none was given.
    EXPECT_EQ(slurp(path("profile")), "plugins\\kestrin\\Settings/WaterMass=0.5\n"
                                      "plugins\\kestrin\\Settings\\Components/compAltName_00=Этиленгликоль\n"
                                      "plugins\\kestrin\\Settings\\Components/compAltName_01=ДЭГ\n"
                                      "plugins\\kestrin\\Settings\\Components/compAltName_02=Триэтиленгликоль\n"
                                      "plugins\\kestrin\\Settings\\Components/compAltName_03=Вода\n"
                                      "plugins\\kestrin\\Settings\\Components/compAltName_04=Нонанол-1\n"
                                      "plugins\\kestrin\\Settings\\Components/compAltName_05=Бензиловый спирт\n");

    // The next run reads both back; naming the peak back restores the
    // determination, whose ethylene glycol row is what remains of 100 %
    // after 0.5 % water and the impurities.
    ToolRun restored = run("calc" + db + " --all --select 9 --alt-name 1=Диэтиленгликоль --json");
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    const auto json = nlohmann::json::parse(restored.out);
    double impurities = 0, eg = 0;
    for (const auto& row : json["results"]) {
        if (row["name"] == "этиленгликоль") eg = row["massFraction"];
        else impurities += row["massFraction"].get<double>();
    }
    EXPECT_NEAR(eg, 100 - 0.5 - impurities, 1e-9);
}

} // namespace
} // namespace norvalt
