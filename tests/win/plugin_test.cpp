// The plug-in itself, norvalt.dll, in the stand-in host: its information
// record, its start-up as the host sees it through its table, the language
// module, the menu command and the unloading.
#include "host_run.h"

namespace {

using norvalt::test::binFolder;
using norvalt::test::HostRun;

const std::string russianMenu =
    "menu Данные/Расчёты/Определение массовой доли этиленгликоля и диэтиленгликоля -> norvalt/MenuCommand";
const std::string englishMenu =
    "menu Data/Calculations/Mass fraction of ethylene glycol and diethylene glycol -> norvalt/MenuCommand";
const std::string caption = "Плагин: Определение массовой доли этиленгликоля и диэтиленгликоля";

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
        "info norvalt 0x01000100 size " + std::to_string(sizeof(void*) == 4 ? 48 : 80),
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
    for (const std::string& line : r.log)
        EXPECT_NE(line.rfind("closed ", 0), 0u) << "no message box at start-up: " << line;
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
    int boxes = 0;
    for (const std::string& line : r.log)
        boxes += line.rfind("closed ", 0) == 0;
    EXPECT_EQ(boxes, 1);
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
