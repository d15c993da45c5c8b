#include <filesystem>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "data/corvane_file.h"
#include "tool_run.h"

namespace norvalt {
namespace {

namespace fs = std::filesystem;

using InspectTest = test::ToolTest;
using test::ToolRun;

TEST_F(InspectTest, JsonNamesEveryFieldAndKeepsDoublesExact)
{
    CCorvaneFile4 f;
    f.passport.sample = u"Образец \"1\"";
    f.passport.andate = -5;
    f.passport.duration = 0.1;
    f.passport.defect = true;
    f.passport.columns.emplace_back().fraction1 = 1.0 / 3.0;
    f.passport.values.push_back({u"volume", u"Объём", u"0.2"});
    const std::uint32_t words[] = {1, 2, 3};
    f.channels.emplace_back(9, Channel::BlockValue{0xAB, 1}, Channel::BlockValue{0, 0, 0, 0, 0, 0, 0, 0xFF}, words, 3);
    Peak& peak = f.channels[0].peaks.emplace_back();
    peak.area = 123.456789012345678;
    peak.flags = 4294967295u;
    peak.name = u"ЭГ";
    const fs::path file = dir_ / "хроматограмма.stg";
    ASSERT_EQ(f.saveToFile(file.u16string()), 0);

    const ToolRun r = run("inspect '" + file.string() + "' --json");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["version"], 1);
    const auto& p = j["passport"];
    EXPECT_EQ(p["assayid"], "00000000-0000-0000-0000-000000000000");
    EXPECT_EQ(p["sample"], "Образец \"1\"");
    EXPECT_EQ(p["andate"], -5);
    EXPECT_EQ(p["duration"].get<double>(), 0.1);
    EXPECT_EQ(p["defect"], true);
    EXPECT_EQ(p["graduation"], false);
    ASSERT_EQ(p["columns"].size(), 1u);
    EXPECT_EQ(p["columns"][0]["fraction1"].get<double>(), 1.0 / 3.0);
    EXPECT_EQ(p["values"][0]["title"], "Объём");
    ASSERT_EQ(j["channels"].size(), 1u);
    const auto& ch = j["channels"][0];
    EXPECT_EQ(ch["number"], 9);
    EXPECT_EQ(ch["sampleCount"], 3);
    EXPECT_EQ(ch["blockValueA"], "ab01000000000000");
    EXPECT_EQ(ch["blockValueB"], "00000000000000ff");
    ASSERT_EQ(ch["peaks"].size(), 1u);
    const auto& k = ch["peaks"][0];
    EXPECT_EQ(k["area"].get<double>(), 123.456789012345678);
    EXPECT_EQ(k["flags"], 4294967295u);
    EXPECT_EQ(k["left"], -1);
    EXPECT_EQ(k["name"], "ЭГ");
    for (const char* key : {"front", "back", "time", "area", "height", "concent", "name", "reference", "left",
                            "right", "flags", "front_base_height", "back_base_height", "index"})
        EXPECT_TRUE(k.contains(key)) << key;

    const ToolRun text = run("inspect '" + file.string() + "'");
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("sample: Образец \"1\""), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("channel 9: 3 samples, blockValueA ab01000000000000, blockValueB 00000000000000ff"),
              std::string::npos)
        << text.out;
}

TEST_F(InspectTest, FailuresAndUsage)
{
    const fs::path bad = dir_ / "bad.stg";
    std::ofstream(bad, std::ios::binary) << "XYZ is no chromatogram file";
    ToolRun r = run("inspect '" + bad.string() + "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "error -3\n");  // bad magic
    EXPECT_EQ(r.out, "");

    r = run("inspect '" + (dir_ / "missing.stg").string() + "' --json");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "error -1\n");

    EXPECT_EQ(run("").exitCode, 2);
    EXPECT_EQ(run("inspect").exitCode, 2);
    EXPECT_EQ(run("inspect a b").exitCode, 2);
    EXPECT_EQ(run("inspect --jsn '" + bad.string() + "'").exitCode, 2);
    EXPECT_EQ(run("nonsense").exitCode, 2);
    EXPECT_EQ(run("--help").exitCode, 0);
}

} // namespace
} // namespace norvalt
