#include "workset/module_settings.h"

#include <gtest/gtest.h>

#include "calc/components.h"
#include "data/database.h"
#include "host/local_host.h"

using namespace norvalt;

namespace {

class ModuleSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { setModuleProfilePrefix(); }
    void TearDown() override
    {
        setProfilePrefix(u"");
        releaseConnection();
    }

    std::u16string stored(int id)
    {
        return host.profile()[u"plugins\\kestrin\\Settings\\Components/" + componentAltNameKey(id)];
    }

    LocalHost host;
    ProfileSettings profile{Host(host.table())};
};

} // namespace

TEST_F(ModuleSettingsTest, AlternativeNamesComeBackAsStoredAndEmptyOnesAsTheComponentsOwn)
{
    host.offerProfileStore();
    host.profile()[u"plugins\\kestrin\\Settings\\Components/compAltName_01"] = u"ДЭГ";
    host.profile()[u"plugins\\kestrin\\Settings\\Components/compAltName_02"] = u"";
    host.profile()[u"plugins\\kestrin\\Settings\\Components/compAltName_03"] = u"  ";
    loadComponentAltNames(profile);
    // 00 absent and 02 empty: the own names; 03 is blank but not empty, so
    // it is taken as it is (and, normalising to nothing, matches no peak).
    EXPECT_EQ(componentTable()[EthyleneGlycol].altName, u"Этиленгликоль");
    EXPECT_EQ(componentTable()[DiethyleneGlycol].altName, u"ДЭГ");
    EXPECT_EQ(componentTable()[TriethyleneGlycol].altName, u"Триэтиленгликоль");
    EXPECT_EQ(componentTable()[Water].altName, u"  ");
    EXPECT_EQ(componentOfName(u"Вода"), UnidentifiedSubstance);

    storeComponentAltNames(profile);
    EXPECT_EQ(stored(0), u"Этиленгликоль");  // written back
    EXPECT_EQ(stored(2), u"Триэтиленгликоль");
    EXPECT_EQ(stored(3), u"  ");
    EXPECT_EQ(stored(5), u"Бензиловый спирт");
    EXPECT_EQ(host.profile().size(), 6u);
    EXPECT_EQ(componentAltNameKey(5), u"compAltName_05");
}

TEST_F(ModuleSettingsTest, WaterMassFractionAndAHostWithoutAProfile)
{
    // No profile services: own names, the held water fraction, nothing stored.
    setComponentAltName(DiethyleneGlycol, u"ДЭГ");
    loadComponentAltNames(profile);
    EXPECT_EQ(componentTable()[DiethyleneGlycol].altName, u"Диэтиленгликоль");
    EXPECT_EQ(readWaterMassFraction(profile), 0.0);
    EXPECT_EQ(readWaterMassFraction(profile, 0.08), 0.08);
    storeWaterMassFraction(profile, 12.5);
    EXPECT_TRUE(host.profile().empty());

    host.offerProfileStore();
    storeWaterMassFraction(profile, 12.5);
    EXPECT_EQ(host.profile()[u"plugins\\kestrin\\Settings/WaterMass"], u"12.5");
    EXPECT_EQ(readWaterMassFraction(profile, 0.08), 12.5);
}

TEST_F(ModuleSettingsTest, ConnectionLocationFromTheHost)
{
    connection().uri = u"before";
    EXPECT_FALSE(takeConnectionLocation(Host(host.table())));
    EXPECT_EQ(connection().uri, u"before");

    std::u16string answer = u"C:\\Хост\\lab.db";
    host.offer(service::GetConnectionUri, [&answer](HostArg, HostArg) { return Host::arg(answer.c_str()); });
    EXPECT_TRUE(takeConnectionLocation(Host(host.table())));
    answer = u"changed";  // copied at once
    EXPECT_EQ(connection().uri, u"C:\\Хост\\lab.db");

    // A host that answers with no text leaves no location.
    host.offer(service::GetConnectionUri, [](HostArg, HostArg) -> HostResult { return 0; });
    EXPECT_TRUE(takeConnectionLocation(Host(host.table())));
    EXPECT_FALSE(connection().uri.has_value());
}
