#include <gtest/gtest.h>

#include "host/local_host.h"
#include "host/profile_settings.h"

using namespace norvalt;

namespace {

struct PrefixGuard {
    explicit PrefixGuard(std::u16string prefix) { setProfilePrefix(std::move(prefix)); }
    ~PrefixGuard() { setProfilePrefix({}); }
};

} // namespace

TEST(ProfileKeyPath, WithAndWithoutThePrefix)
{
    EXPECT_EQ(ProfileSettings::profileKeyPath(u"Settings", u"WaterMass"), u"Settings/WaterMass");
    EXPECT_EQ(ProfileSettings::profileKeyPath(u"", u"WState"), u"/WState");
    PrefixGuard guard(u"plugins\\kestrin");
    EXPECT_EQ(ProfileSettings::profileKeyPath(u"Settings", u"WaterMass"), u"plugins\\kestrin\\Settings/WaterMass");
    EXPECT_EQ(ProfileSettings::profileKeyPath(u"Settings\\Components", u"compAltName_03"),
              u"plugins\\kestrin\\Settings\\Components/compAltName_03");
    EXPECT_EQ(ProfileSettings::profileKeyPath(u"", u"WState"), u"plugins\\kestrin\\/WState");
}

TEST(ProfileSettings, ValuesGoToTheHostUnderTheirKeyPaths)
{
    LocalHost local;
    local.offerProfileStore();
    PrefixGuard guard(u"plugins\\kestrin");
    ProfileSettings profile(Host(local.table()));

    profile.setDouble(u"Settings", u"WaterMass", 0.125);
    profile.setInt(u"Settings", u"lastTab", 3);
    profile.setString(u"Settings\\Components", u"compAltName_01", u"ДЭГ");
    ProfileRect rect{10, 20, 610, 420};
    EXPECT_TRUE(profile.setRect(u"", u"WState", rect));

    EXPECT_EQ(local.profile().at(u"plugins\\kestrin\\Settings/WaterMass"), u"0.125");
    EXPECT_EQ(local.profile().at(u"plugins\\kestrin\\Settings/lastTab"), u"3");
    EXPECT_EQ(local.profile().at(u"plugins\\kestrin\\Settings\\Components/compAltName_01"), u"ДЭГ");

    EXPECT_EQ(profile.getDouble(u"Settings", u"WaterMass", 9.0), 0.125);
    EXPECT_EQ(profile.getInt(u"Settings", u"lastTab", 0), 3);
    EXPECT_EQ(profile.getString(u"Settings\\Components", u"compAltName_01", u""), u"ДЭГ");
    ProfileRect back;
    ASSERT_TRUE(profile.getRect(u"", u"WState", back));
    EXPECT_EQ(back.left, 10);
    EXPECT_EQ(back.bottom, 420);

    // Absent keys give the defaults; the rectangle is left untouched.
    EXPECT_EQ(profile.getDouble(u"Settings", u"Other", 1.5), 1.5);
    EXPECT_EQ(profile.getString(u"Settings", u"Other", u"def"), u"def");
    ProfileRect untouched{1, 2, 3, 4};
    EXPECT_FALSE(profile.getRect(u"Settings", u"WState", untouched));
    EXPECT_EQ(untouched.right, 3);
}

TEST(ProfileSettings, MissingServicesGiveDefaultsAndSkipWrites)
{
    LocalHost local;  // offers nothing
    ProfileSettings profile(Host(local.table()));
    EXPECT_EQ(profile.getDouble(u"Settings", u"WaterMass", 0.0), 0.0);
    EXPECT_EQ(profile.getInt(u"Settings", u"lastTab", 7), 7);
    profile.setDouble(u"Settings", u"WaterMass", 2.0);
    EXPECT_FALSE(profile.setRect(u"", u"WState", ProfileRect{}));
    // Nothing was called: every operation tests the service first.
    EXPECT_EQ(local.callCount(service::ProfileSetDouble), 0);
    EXPECT_EQ(local.callCount(service::ProfileSetRect), 0);

    // No table at all behaves the same.
    ProfileSettings none{Host(nullptr)};
    EXPECT_EQ(none.getString(u"S", u"k", u"x"), u"x");
}

TEST(ProfileSettings, AHostThatAnswersZeroDeliversNothing)
{
    LocalHost local;
    int asked = 0;
    auto refuse = [&asked](HostArg, HostArg out) -> HostResult {
        ++asked;
        // A host that scribbles into the value but answers 0 must not be
        // believed.
        *reinterpret_cast<std::int32_t*>(out) = 99;
        return 0;
    };
    local.offer(service::ProfileGetRect, refuse);
    local.offer(service::ProfileGetInt, refuse);
    ProfileSettings profile(Host(local.table()));
    ProfileRect rect{5, 5, 5, 5};
    EXPECT_FALSE(profile.getRect(u"", u"WState", rect));
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(profile.getInt(u"Settings", u"lastTab", 0), 0);
    EXPECT_EQ(asked, 2);
}

TEST(ProfileSettings, StringsComeBackThroughA256CharacterBuffer)
{
    LocalHost local;
    local.offerProfileStore();
    ProfileSettings profile(Host(local.table()));
    const std::u16string longName(300, u'я');
    profile.setString(u"S", u"k", longName);
    // 255 characters and the terminator fill the buffer.
    EXPECT_EQ(profile.getString(u"S", u"k", u""), longName.substr(0, 255));

    // A host that fills every character without a terminator is cut at the
    // buffer's end, not read beyond it.
    local.offer(service::ProfileGetString, [](HostArg, HostArg out) -> HostResult {
        auto* buffer = reinterpret_cast<ProfileStringBuffer*>(out);
        for (std::uint32_t i = 0; i < buffer->capacity; ++i) buffer->text[i] = u'x';
        return 1;
    });
    EXPECT_EQ(profile.getString(u"S", u"k", u"").size(), 256u);
}

TEST(HostServices, MissingServiceAnswersTheSentinel)
{
    LocalHost local;
    Host h(local.table());
    EXPECT_FALSE(h.hasService(service::OpenAssayIdDlg));
    EXPECT_EQ(h.callService(service::OpenAssayIdDlg, 256, 0), ServiceNotFound);
    EXPECT_EQ(static_cast<std::uint32_t>(ServiceNotFound), 0x80000000u);
    local.offer(service::OpenAssayIdDlg, [](HostArg, HostArg) -> HostResult { return 0; });
    EXPECT_TRUE(h.hasService(service::OpenAssayIdDlg));
    EXPECT_EQ(h.callService(service::OpenAssayIdDlg, 256, 0), 0);
    EXPECT_EQ(Host(nullptr).callService("x", 0, 0), ServiceNotFound);
}

TEST(LocalHost, EventsAndRegistrations)
{
    LocalHost local;
    static int raised = 0;
    raised = 0;
    const HostServices* t = local.table();
    const HostHandle sub = t->subscribeEvent(service::ModulesLoaded, []() -> std::int32_t {
        ++raised;
        return 0;
    });
    local.raise(service::ModulesLoaded);
    local.raise("Other/Event");
    EXPECT_EQ(raised, 1);
    t->unsubscribeEvent(sub);
    local.raise(service::ModulesLoaded);
    EXPECT_EQ(raised, 1);

    const HostHandle reg = t->registerService(service::MenuCommand, [](HostArg) -> std::int32_t { return 0; });
    EXPECT_NE(local.registered(service::MenuCommand), nullptr);
    t->unregisterService(reg);
    EXPECT_EQ(local.registered(service::MenuCommand), nullptr);
}
