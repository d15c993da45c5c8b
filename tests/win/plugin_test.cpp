// The plug-in itself, norvalt.dll, in the stand-in host: its information
// record, its start-up as the host sees it through its table, the language
// module, the menu command and the unloading.
#include "host_run.h"

namespace {

using norvalt::test::binFolder;
using norvalt::test::HostRun;
using norvalt::test::norvaltInfo;
using norvalt::test::russianMenu;

const std::string englishMenu =
    "menu Data/Calculations/Mass fraction of ethylene glycol and diethylene glycol -> norvalt/MenuCommand";
const std::string& caption = norvalt::test::norvaltCaption;

class Plugin : public norvalt::test::HostRunTest {
protected:
    HostRun run(const std::wstring& arguments) { return HostRunTest::run(arguments, binFolder() / "norvalt.dll"); }

    // norvalt.dll alone in a folder of its own, with `beside` copied next
    // to it under the names given.
    fs::path lonePlugin(const std::vector<std::pair<std::string, std::string>>& beside = {})
    {
        const fs::path folder = folder_ / "plugin";
        fs::create_directories(folder);
        fs::copy_file(binFolder() / "norvalt.dll", folder / "norvalt.dll", fs::copy_options::overwrite_existing);
        for (const auto& [from, to] : beside)
            fs::copy_file(binFolder() / from, folder / to, fs::copy_options::overwrite_existing);
        return folder / "norvalt.dll";
    }
    HostRun runPlugin(const fs::path& plugin, const std::wstring& arguments)
    {
        return HostRunTest::run(arguments, plugin);
    }
};

TEST_F(Plugin, StartUpCallsTheServicesInOrder)
{
    const HostRun r = run(L"--db C:\\lab\\lab.db --language 1049 --actions wait:100,quit");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(r.logHasInOrder({
        norvaltInfo,
        "subscribe System/ModulesLoaded",
        "load 0",
        "event System/ModulesLoaded",
        "has System/GetLanguage",
        "call System/GetLanguage 0",
        "register norvalt/MenuCommand",
        "call MainMenu/CreateNewMenu 0",
        russianMenu,
        "has Main/OpenAssayIdDlg",
        "has DB/GetConnectionUri",
        "call DB/GetConnectionUri 0",
        "action quit",
        "unsubscribe 1",
        "unregister 2",
        "unload 0",
    })) << ::testing::PrintToString(r.log);
    EXPECT_EQ(r.linesBeginning("closed "), 0) << "no message box at start-up: " << ::testing::PrintToString(r.log);
}

TEST_F(Plugin, AHostWithoutTheMenuServiceShowsOneBoxAndStillStoresTheDatabase)
{
    // The first two actions run inside the start-up's message box; the
    // second close, after start-up, finds nothing more to close.
    const HostRun r = run(L"--db C:\\lab\\lab.db --without MainMenu/CreateNewMenu "
                          L"--actions wait:300,close,wait:300,close,quit");
    EXPECT_TRUE(r.logHasInOrder({
        "call MainMenu/CreateNewMenu 0",
        "closed #32770 '" + caption + "' 'CreateNewMenu service not found.'",
        "has Main/OpenAssayIdDlg",
        "call DB/GetConnectionUri 0",
        "error no module window to close",
    })) << ::testing::PrintToString(r.log);
    EXPECT_EQ(r.linesBeginning("closed "), 1);
}

TEST_F(Plugin, EachMissingServiceHasItsBox)
{
    const HostRun r = run(L"--without Main/OpenAssayIdDlg,DB/GetConnectionUri "
                          L"--actions wait:300,close,wait:300,close,wait:300,close,quit");
    EXPECT_TRUE(r.logHasInOrder({
        "closed #32770 '" + caption + "' 'OpenAssayIdDlg service not found.'",
        "closed #32770 '" + caption + "' 'GetDbUri service not found.'",
        "error no module window to close",
    })) << ::testing::PrintToString(r.log);
}

TEST_F(Plugin, TheLanguageModuleIsChosenByTheHostsLanguage)
{
    // 1049 is the module's own language: not even a library named for it
    // (here an English one under the Russian name) is loaded.
    const HostRun russian = runPlugin(lonePlugin({{"norvaltENU.dll", "norvaltRUS.dll"}}), L"--language 1049 --actions quit");
    EXPECT_TRUE(russian.logHas(russianMenu)) << ::testing::PrintToString(russian.log);

    const HostRun english = runPlugin(lonePlugin({{"norvaltENU.dll", "norvaltENU.dll"}}), L"--language 1033 --actions quit");
    EXPECT_TRUE(english.logHas(englishMenu)) << ::testing::PrintToString(english.log);

    // English asked for, no English module: Russian, and no message box.
    fs::remove_all(folder_ / "plugin");
    const HostRun missing =
        runPlugin(lonePlugin(), L"--language 1033 --actions wait:300,close,quit");
    EXPECT_TRUE(missing.logHasInOrder({russianMenu, "error no module window to close"}))
        << ::testing::PrintToString(missing.log);
}

TEST_F(Plugin, UnloadRightAfterLoad)
{
    // No event: nothing was registered, so the registration given back is 0.
    const HostRun r = run(L"--skip-modules-loaded --actions unload,quit");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(r.logHasInOrder({"subscribe System/ModulesLoaded", "load 0", "action unload", "unsubscribe 1",
                                 "unregister 0", "unload 0"}))
        << ::testing::PrintToString(r.log);
    EXPECT_FALSE(r.logHas("event System/ModulesLoaded"));
}

} // namespace

namespace {

using norvalt::test::HostRun;

class PluginWindow : public norvalt::test::HostRunTest {
protected:
    HostRun run(const std::wstring& arguments) { return runOnSampleLab(arguments); }
};

// Control ids of the main window and the settings dialog.
constexpr int add = 1003, list = 1002, settings = 1012, report = 1013, ok = 1;

std::wstring actions(const std::vector<std::wstring>& steps)
{
    std::wstring text = L"--actions ";
    for (std::size_t i = 0; i < steps.size(); ++i)
        text += (i ? L"," : L"") + steps[i];
    return text;
}

std::wstring id(const wchar_t* action, int control)
{
    return std::wstring(action) + L":" + std::to_wstring(control);
}

TEST_F(PluginWindow, TheMenuCommandKeepsOneWindowAndOpensAnEmptyOneAfterClosing)
{
    const HostRun r = run(L"--assays 9,15 " + actions({L"menu", id(L"command", add), id(L"count", list), L"menu",
                                                      id(L"count", list), L"close", L"wait:200", L"close", L"menu",
                                                      id(L"count", list), L"quit"}));
    EXPECT_TRUE(r.logHasInOrder({
        "action menu",
        "menu-command norvalt/MenuCommand",
        "assays 9 15",
        "count 1002 2 selected 0",
        "action menu",
        "count 1002 2 selected 0",  // the same window came back
        "action close",
        "error no module window to close",  // there was only that one
        "action menu",
        "count 1002 0 selected 0",  // a new window, with nothing gathered
    })) << ::testing::PrintToString(r.log);
}

TEST_F(PluginWindow, AddSelectSettingsAndReportThroughTheWindow)
{
    // Column 1 of the sample laboratory: calibrations 1 to 6, analyses 7 to 9.
    const HostRun r = run(L"--without Cfg/TemplatePath --assays 1,2,3,4,5,6,7,8,9 " +
                          actions({L"menu", id(L"command", add), id(L"count", list), L"select:1002:8",
                                   id(L"command", settings), L"wait:300", L"text:1021:0.5", id(L"command", ok),
                                   L"wait:300", id(L"command", report), L"wait:300", L"close", L"wait:300", L"close",
                                   L"wait:200", L"close", L"quit"}));
    EXPECT_TRUE(r.logHasInOrder({
        "assays 1 2 3 4 5 6 7 8 9",
        "count 1002 9 selected 0",
        "action command 1012",
        "action command 1",
        "action command 1013",
        "closed #32770 '" + caption + "' 'Не найден сервис поиска шаблона'",
        // The report is still tried, with an empty template folder.
        "closed #32770 '" + caption + "' 'Не удалось загрузить шаблон отчёта.\\n*",
        "closed #32770 '" + caption + " 1.0.1.0' ''",  // the main window itself
    })) << ::testing::PrintToString(r.log);
    // The settings dialog's OK stored the water; closing stored the window
    // rectangle and the six alternative names.
    auto value = [&r](const std::u16string& key) { return r.moduleSetting(key); };
    EXPECT_EQ(value(u"Settings/WaterMass"), "0.5");
    EXPECT_NE(value(u"/WState"), "(absent)");
    for (int component = 0; component < 6; ++component) {
        const std::u16string key = u"Settings\\Components/compAltName_0" + std::u16string(1, u'0' + component);
        EXPECT_NE(value(key), "(absent)") << component;
        EXPECT_NE(value(key), "") << component;
    }
}

} // namespace
