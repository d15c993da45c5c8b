// The stand-in host run as a process, loading the probe plug-in: what the
// plug-in asked (the host's log) and what it was answered (the profile file,
// where the probe writes its answers).
#include "host_run.h"

namespace {

using norvalt::test::binFolder;
using norvalt::test::HostRun;

class HostSim : public norvalt::test::HostRunTest {
protected:
    HostRun run(const std::wstring& arguments, bool withProbe = true)
    {
        return HostRunTest::run(arguments, withProbe ? binFolder() / "norvalt-probe-plugin.dll" : fs::path());
    }
};

TEST_F(HostSim, StartUpServicesMenuCommandAndUnloadInOrder)
{
    const HostRun r = run(L"--db C:\\lab\\lab.db --templates C:\\lab\\templates --language 1033 --assays \"9,15;;3\" "
                      L"--actions menu,wait:100,command:1001,quit");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(r.logHasInOrder({
        "info probe 0x01020304 size 48",  // read before Load
        "subscribe System/ModulesLoaded",
        "load 0",
        "event System/ModulesLoaded",
        "register probe/MenuCommand",
        "call MainMenu/CreateNewMenu 0",
        "menu Данные/Проба/Открыть пробу -> probe/MenuCommand",
        "call System/GetLanguage 0",
        "call DB/GetConnectionUri 0",
        "call Cfg/TemplatePath 260",
        "call Main/OpenAssayIdDlg 256",
        "assays 9 15",
        "assays",  // the second answer is empty
        "assays 3",
        "call Main/OpenAssayFile 1",
        "open-file C:\\lab\\chromatograms\\a.stg",
        "has Profile/GetRect",
        "action menu",
        "menu-command probe/MenuCommand",
        "action command 1001",
        "action quit",
        "unsubscribe 1",  // the subscription was the host's first handle, the registration its second
        "unregister 2",
        "unload 0",
        "exit 0",
    })) << ::testing::PrintToString(r.log);

    // The probe's answers: counts before the colon, then the ids.
    const std::map<std::u16string, std::string> expected{
        {u"menu", "1"},
        {u"language", "1033"},
        {u"uri", "C:\\lab\\lab.db"},
        {u"templates", "C:\\lab\\templates"},
        {u"assays1", "2:9,15"},
        {u"assays2", "0"},
        {u"assays3", "1:3"},
        {u"water-back", "1:0.08"},
        {u"has-rect", "1"},
        {u"clicked", "1"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(r.profileValue(key), value) << norvalt::utf16ToUtf8(key);
    // The menu command came with the host's window as the owner.
    ASSERT_FALSE(r.log.empty());
    EXPECT_EQ("host-window " + r.profileValue(u"owner"), r.log.front());
}

TEST_F(HostSim, ServicesLeftOutAnswerNotFound)
{
    const HostRun r = run(L"--without MainMenu/CreateNewMenu,Main/OpenAssayIdDlg,System/GetLanguage,Profile/GetRect "
                      L"--actions menu");
    // No menu item exists, so the scripted pick fails the run.
    EXPECT_EQ(r.exitCode, 4u);
    EXPECT_TRUE(r.logHas("error no menu item of the plug-in"));
    const std::string notFound = "-2147483648";
    EXPECT_EQ(r.profileValue(u"menu"), notFound);
    EXPECT_EQ(r.profileValue(u"language"), notFound);
    EXPECT_EQ(r.profileValue(u"assays1"), notFound);
    EXPECT_EQ(r.profileValue(u"has-rect"), "0");
    for (const std::string& line : r.log)
        EXPECT_NE(line.rfind("menu ", 0), 0u) << line;
}

TEST_F(HostSim, ShotOfTheModuleWindow)
{
    const fs::path shot = folder_ / "probe.bmp";
    const HostRun r = run(L"--assays \"\" --actions menu,wait:200,shot:" + shot.wstring() + L",command:1001");
    EXPECT_EQ(r.exitCode, 0u);
    // The probe's window is 300 x 200: rows of 300 * 3 = 900 bytes (already
    // a multiple of 4), 54 header bytes + 900 * 200 = 180 054 bytes.
    ASSERT_TRUE(fs::exists(shot));
    EXPECT_EQ(fs::file_size(shot), 180054u);
    std::ifstream in(shot, std::ios::binary);
    char magic[2] = {};
    in.read(magic, 2);
    EXPECT_EQ(std::string(magic, 2), "BM");
}

TEST_F(HostSim, BadCommandLinesAndPlugins)
{
    struct Case {
        std::wstring arguments;
        bool withPlugin;
        DWORD exitCode;
    };
    const Case cases[] = {
        {L"--actions jump", true, 2},
        {L"--actions wait:-5", true, 2},
        {L"--without Nope/Service", true, 2},
        {L"--language many", true, 2},
        {L"--db a.db --sample-lab b", true, 2},
        {L"--plugin \"" + (folder_ / "missing.dll").wstring() + L"\"", false, 3},
        // A DLL that is no plug-in: the exports are missing.
        {L"--plugin \"" + (binFolder() / "norvalt-hostsim-tests.exe").wstring() + L"\"", false, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run(c.arguments, c.withPlugin).exitCode, c.exitCode) << norvalt::utf16ToUtf8(std::u16string(c.arguments.begin(), c.arguments.end()));
}

} // namespace
