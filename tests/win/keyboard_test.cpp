// The module's windows driven from the keyboard inside a host whose message
// loop knows nothing of them (hostsim calls no IsDialogMessage): keys go in
// through the input queue, as a keyboard's would.
#include "host_run.h"

namespace {

using norvalt::test::HostRun;

class Keyboard : public norvalt::test::HostRunTest {
protected:
    HostRun run(const std::wstring& actions) { return runOnSampleLab(L"--assays 7,8,9 --actions " + actions); }
    static std::string waterMass(const HostRun& r) { return r.moduleSetting(u"Settings/WaterMass"); }
};

TEST_F(Keyboard, TabMovesThroughTheMainWindowInItsVisualOrder)
{
    std::wstring actions = L"menu,command:1003,focus";
    for (int i = 0; i < 10; ++i)
        actions += L",key:9,wait:50,focus";
    actions += L",key:shift+9,wait:50,focus,quit";
    const HostRun r = run(actions);
    // The button column top to bottom, then the list and the tabs; Tab after
    // the last control comes round to the first, Shift+Tab goes back.
    EXPECT_TRUE(r.logHasInOrder({
        "focus 1003 Button", "focus 1004 Button", "focus 1005 Button", "focus 1006 Button",
        "focus 1010 Button", "focus 1012 Button", "focus 1013 Button", "focus 1014 Button",
        "focus 1002 SysListView32", "focus 1007 SysTabControl32", "focus 1003 Button",
        "focus 1007 SysTabControl32",
    })) << ::testing::PrintToString(r.log);
}

TEST_F(Keyboard, EscapeCancelsTheSettingsAndEnterConfirmsThem)
{
    const HostRun cancelled = run(L"menu,command:1012,wait:300,focus,key:9,focus,key:9,focus,key:9,focus,"
                                  L"text:1021:0.5,key:27,wait:300,focus,close,quit");
    // The settings dialog's order: its pages' tabs, the water field, OK, Cancel.
    EXPECT_TRUE(cancelled.logHasInOrder({"focus 1013 SysTabControl32", "focus 1021 Edit", "focus 1 Button",
                                         "focus 2 Button"}))
        << ::testing::PrintToString(cancelled.log);
    // The dialog went away without storing; the main window has the focus again.
    EXPECT_EQ(waterMass(cancelled), "(absent)");
    EXPECT_TRUE(cancelled.logHasInOrder({"action key 27", "focus 1003 Button"}))
        << ::testing::PrintToString(cancelled.log);

    const HostRun confirmed = run(L"menu,command:1012,wait:300,text:1021:0.5,key:13,wait:300,close,quit");
    EXPECT_EQ(waterMass(confirmed), "0.5");
}

TEST_F(Keyboard, DeleteRemovesTheSelectedRowsAndControlASelectsThemAll)
{
    const HostRun r = run(L"menu,command:1003,count:1002,select:1002:1,key:46,wait:100,count:1002,"
                          L"key:ctrl+65,wait:100,count:1002,key:46,wait:100,count:1002,close,quit");
    EXPECT_TRUE(r.logHasInOrder({
        "count 1002 3 selected 0",  // the last row is chosen, not highlighted
        "action key 46",
        "count 1002 2 selected*",  // the second row went
        "action key 65 ctrl",
        "count 1002 2 selected 2",
        "action key 46",
        "count 1002 0 selected 0",
    })) << ::testing::PrintToString(r.log);
}

TEST_F(Keyboard, TheHostKeepsItsOwnKeys)
{
    const HostRun r = run(L"menu,host-focus,key:65,key:46,wait:100,close,quit");
    EXPECT_TRUE(r.logHasInOrder({"action host-focus", "host-key 65", "host-key 46"}))
        << ::testing::PrintToString(r.log);
}

} // namespace
