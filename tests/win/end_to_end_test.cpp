// The way a laboratory takes, in one run of the stand-in host with the
// plug-in: start-up, the menu command, column 1's chromatograms added, the
// last analysis chosen, the water entered in the settings, the report, and
// the host ending. The i686 build runs it as the deliverable itself is run.
#include <set>

#include "host_run.h"

namespace {

using norvalt::test::HostRun;
using norvalt::test::norvaltCaption;

// The report pages in the temporary folder, where the report job writes them.
std::set<fs::path> reportPages()
{
    std::set<fs::path> pages;
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
        if (entry.path().filename().wstring().rfind(L"nvr", 0) == 0 && entry.path().extension() == L".html")
            pages.insert(entry.path());
    return pages;
}

class EndToEnd : public norvalt::test::HostRunTest {};

TEST_F(EndToEnd, StartUpAddSelectSettingsReportAndEnd)
{
    const std::set<fs::path> before = reportPages();
    // Calibrations 1 to 6 and analyses 7 to 9 of column 1; row 8 is
    // analysis 9, sample "Партия 2611-03". The waits leave room for an
    // emulated run.
    const HostRun r = runOnSampleLab(
        L"--language 1049 --templates \"" + fs::path(NORVALT_TEMPLATES).wstring() +
        L"\" --assays 1,2,3,4,5,6,7,8,9 --actions menu,command:1003,count:1002,select:1002:8,command:1012,"
        L"wait:1000,text:1021:0.5,command:1,wait:1000,command:1013,wait:5000,close,wait:500,quit");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(r.logHasInOrder({
        norvalt::test::norvaltInfo,
        "subscribe System/ModulesLoaded",
        "load 0",
        "event System/ModulesLoaded",
        "register norvalt/MenuCommand",
        norvalt::test::russianMenu,
        "call DB/GetConnectionUri 0",
        "action menu",
        "menu-command norvalt/MenuCommand",
        "assays 1 2 3 4 5 6 7 8 9",
        "count 1002 9 selected 0",
        "action command 1012",
        "action command 1",
        "action command 1013",
        "call Cfg/TemplatePath 260",
        "closed #32770 '" + norvaltCaption + " 1.0.1.0' ''",
        "action quit",
        "unsubscribe 1",
        "unregister 2",
        "unload 0",
    })) << ::testing::PrintToString(r.log);
    // The only window closed was the main window: no message box.
    EXPECT_EQ(r.linesBeginning("closed "), 1) << ::testing::PrintToString(r.log);
    EXPECT_EQ(r.moduleSetting(u"Settings/WaterMass"), "0.5");

    // One new page, the report of the chosen analysis.
    std::vector<fs::path> added;
    for (const fs::path& page : reportPages())
        if (!before.count(page)) added.push_back(page);
    ASSERT_EQ(added.size(), 1u);
    std::ifstream in(added.front(), std::ios::binary);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(page.find("<title>Массовая доля этиленгликоля и диэтиленгликоля</title>"), std::string::npos);
    EXPECT_NE(page.find("Партия 2611-03"), std::string::npos);
    // A viewer the shell started may still hold the page open.
    std::error_code ignored;
    fs::remove(added.front(), ignored);
}

} // namespace
