#include "data/assay_queries.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "calc/components.h"
#include "calc/kinds.h"
#include "data/corvane_file.h"
#include "db_test_support.h"
#include "model/passport.h"
#include "text/user_notifier.h"

namespace norvalt {
namespace {

using test::HostDataBaseFile;
using test::TempFile;

class AssayQueries : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousNotifier_ = setUserNotifier(&notifier);
        connection().uri = db.path();
        const char16_t* altNames[] = {u"Этиленгликоль", u"Диэтиленгликоль", u"Триэтиленгликоль",
                                      u"Вода",          u"Нонанол-1",       u"Бензиловый спирт"};
        for (std::int32_t id = 0; id < 6; ++id)
            setComponentAltName(id, altNames[id]);
    }

    void TearDown() override
    {
        setUserNotifier(previousNotifier_);
        releaseConnection();
    }

    // A chromatogram file with one short channel and the given passport
    // values; the path is removed when the test ends.
    std::u16string writeChromatogramFile(const std::vector<PassportValue>& values = {})
    {
        files_.push_back(std::make_unique<TempFile>(u"norvalt-хроматограмма", u".stg"));
        CCorvaneFile4 file;
        const std::uint32_t samples[] = {10, 20, 30};
        file.channels.emplace_back(std::uint8_t{1}, Channel::BlockValue{}, Channel::BlockValue{}, samples, 3);
        file.passport.values = values;
        EXPECT_EQ(0, file.saveToFile(files_.back()->text()));
        return files_.back()->text();
    }

    void insertAssay(std::int64_t id, const std::u16string& fileName, const std::u16string& sample,
                     const std::u16string& mixture, std::int64_t date, bool isCalibration)
    {
        auto statement = prepareStatement(
            db.handle, u"INSERT INTO [assay] (id, filename, sample, mixture, date, iscalibration)"
                       u" VALUES (?, ?, ?, ?, ?, ?);");
        bindInt64(statement, 1, id);
        bindText(statement, 2, fileName);
        bindText(statement, 3, sample);
        bindText(statement, 4, mixture);
        bindInt64(statement, 5, date);
        bindInt(statement, 6, isCalibration ? 1 : 0);
        readRows<>(statement, [] {});
    }

    void insertPeak(std::int64_t assayId, const std::u16string& name, double time, double area, double concentration)
    {
        auto statement = prepareStatement(
            db.handle, u"INSERT INTO [peak] (assayid, name, time, area, concentration) VALUES (?, ?, %.17g, %.17g, %.17g);",
            time, area, concentration);
        bindInt64(statement, 1, assayId);
        bindText(statement, 2, name);
        readRows<>(statement, [] {});
    }

    // The internal standard of column 1 with both glycols: a calibration of
    // kind 0 when its mixture holds the same three.
    void insertColumn1Peaks(std::int64_t assayId)
    {
        insertPeak(assayId, u"Этиленгликоль", 1.0, 10.0, 0);
        insertPeak(assayId, u"Диэтиленгликоль", 2.0, 20.0, 0);
        insertPeak(assayId, u"Нонанол-1", 3.0, 30.0, 0);
    }

    void insertMixture(std::int32_t id, const std::u16string& name, const std::u16string& ballon = u"Б-1",
                       std::int64_t release = 0, std::int64_t expiry = 0)
    {
        auto statement = prepareStatement(
            db.handle, u"INSERT INTO [mixture] (id, name, ballon, release, expiry) VALUES (?, ?, ?, ?, ?);");
        bindInt(statement, 1, id);
        bindText(statement, 2, name);
        bindText(statement, 3, ballon);
        bindInt64(statement, 4, release);
        bindInt64(statement, 5, expiry);
        readRows<>(statement, [] {});
    }

    void insertComponent(std::int32_t mixtureId, const std::u16string& name, double concentration)
    {
        auto statement = prepareStatement(
            db.handle, u"INSERT INTO [mixturecomp] (mixtureid, nameid, name, concentration, deviation)"
                       u" VALUES (?, 'n', ?, %.17g, 0);",
            concentration);
        bindInt(statement, 1, mixtureId);
        bindText(statement, 2, name);
        readRows<>(statement, [] {});
    }

    std::optional<Chromatogram> load(std::int32_t assayId)
    {
        return loadAssay(db.handle, assayId, mixtures, messages);
    }

    HostDataBaseFile db;
    RecordingNotifier notifier;
    MessageList messages;
    std::vector<Mixture> mixtures;

private:
    UserNotifier* previousNotifier_ = nullptr;
    std::vector<std::unique_ptr<TempFile>> files_;
};

TEST_F(AssayQueries, AssayRowPeaksInTimeOrderAndPassportNumbers)
{
    const std::u16string water = u"Массовая доля воды, %";
    const std::u16string path = writeChromatogramFile({
        {u"volume", u"Объём пробы", u"1"},
        {u"water", water, u"0.35"},
        {u"volume", u"Объём пробы", u"  0.25 мкл"},  // later entry wins; the unit is ignored
        {u"Volume", u"", u"9"},                       // the name is compared with its case
        {u"water2", u"массовая доля воды, %", u"7"},  // so is the title
    });
    insertAssay(7, path, u"Проба №1", u"", 1700000000, false);
    insertPeak(7, u"Этиленгликоль", 3.2, 300.5, 0.0);
    insertPeak(7, u"Нонанол-1", 1.1, 110.25, 0.0);
    insertPeak(7, u"Вода", 2.5, 25.0, 1.5);

    const auto chromatogram = load(7);
    ASSERT_TRUE(chromatogram);
    EXPECT_EQ(path, chromatogram->fileName);
    EXPECT_EQ(u"Проба №1", chromatogram->sample);
    EXPECT_EQ(1700000000, chromatogram->date);
    EXPECT_FALSE(chromatogram->isCalibration);
    EXPECT_EQ(-1, chromatogram->mixtureIndex);

    ASSERT_EQ(3u, chromatogram->peaks.size());
    EXPECT_EQ(u"Нонанол-1", chromatogram->peaks[0].name);
    EXPECT_EQ(1.1, chromatogram->peaks[0].time);
    EXPECT_EQ(110.25, chromatogram->peaks[0].area);
    EXPECT_EQ(u"Вода", chromatogram->peaks[1].name);
    EXPECT_EQ(1.5, chromatogram->peaks[1].concent);
    EXPECT_EQ(u"Этиленгликоль", chromatogram->peaks[2].name);
    EXPECT_EQ(3.2, chromatogram->peaks[2].time);
    EXPECT_EQ(300.5, chromatogram->peaks[2].area);
    // Fields the database does not give keep their defaults.
    EXPECT_EQ(-1, chromatogram->peaks[2].left);
    EXPECT_EQ(0.0, chromatogram->peaks[2].height);

    EXPECT_EQ(0.25, chromatogram->volume);
    EXPECT_EQ(0.35, chromatogram->waterMassFraction);

    // One glycol peak and the first column's standard, no mixture.
    EXPECT_EQ(AnalysisColumn1, chromatogram->kind);
    EXPECT_EQ(column1, chromatogram->column);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(notifier.notices.empty());
}

TEST_F(AssayQueries, NullColumnsAndAnAssayWithoutPeaks)
{
    const std::u16string path = writeChromatogramFile();
    auto statement = prepareStatement(db.handle, u"INSERT INTO [assay] (id, filename) VALUES (6, ?);");
    bindText(statement, 1, path);
    readRows<>(statement, [] {});

    const auto chromatogram = load(6);
    ASSERT_TRUE(chromatogram);
    EXPECT_EQ(u"", chromatogram->sample);
    EXPECT_EQ(0, chromatogram->date);
    EXPECT_EQ(-1, chromatogram->mixtureIndex);
    // The outer join's row without a peak still gives one, unnamed and zero.
    ASSERT_EQ(1u, chromatogram->peaks.size());
    EXPECT_EQ(u"", chromatogram->peaks[0].name);
    EXPECT_EQ(0.0, chromatogram->peaks[0].time);
    EXPECT_EQ(0.0, chromatogram->peaks[0].area);
    EXPECT_EQ(0.0, chromatogram->peaks[0].concent);
    EXPECT_EQ(0.0, chromatogram->volume);
    EXPECT_EQ(Undetermined, chromatogram->kind);
    EXPECT_TRUE(messages.empty());
}

TEST_F(AssayQueries, AbsentAssaysGiveNothingAndShowNothing)
{
    const std::u16string path = writeChromatogramFile();
    insertAssay(2, path, u"удалена", u"", 0, false);
    insertAssay(3, path, u"скрыта", u"", 0, false);
    insertAssay(4, u"", u"без файла", u"", 0, false);
    db.execute(u"UPDATE [assay] SET isdeleted = 1 WHERE id = 2;");
    db.execute(u"UPDATE [assay] SET ishidden = 1 WHERE id = 3;");
    db.execute(u"INSERT INTO [assay] (id, filename) VALUES (5, NULL);");
    insertPeak(4, u"Вода", 1.0, 1.0, 0);

    for (std::int32_t id : {100, 2, 3, 4, 5})
        EXPECT_FALSE(load(id)) << "assay " << id;
    EXPECT_TRUE(notifier.notices.empty());
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(mixtures.empty());
}

TEST_F(AssayQueries, AssayIdWidenedWithoutSign)
{
    const std::u16string path = writeChromatogramFile();
    insertAssay(4294967295, path, u"беззнаковый", u"", 0, false);
    insertAssay(-1, path, u"отрицательный", u"", 0, false);

    const auto chromatogram = load(-1);
    ASSERT_TRUE(chromatogram);
    EXPECT_EQ(u"беззнаковый", chromatogram->sample);
}

TEST_F(AssayQueries, MixtureFoundByCyrillicNameIgnoringCase)
{
    const std::u16string path = writeChromatogramFile();
    insertMixture(3, u"Смесь А", u"Баллон №7", 1600000000, 1700000000);
    // nameid stored as a number arrives as its text.
    db.execute(u"INSERT INTO [mixturecomp] (mixtureid, nameid, name, concentration, deviation)"
               u" VALUES (3, 17, 'этиленгликоль', 99.25, 0.125), (3, 'd', 'диэтиленгликоль', 0.5, NULL);");
    insertAssay(10, path, u"", u"смесь а", 0, true);
    insertAssay(11, path, u"", u"СМЕСЬ А", 0, true);
    insertAssay(12, path, u"", u"смесь б", 0, true);

    const auto first = load(10);
    ASSERT_TRUE(first);
    EXPECT_EQ(0, first->mixtureIndex);
    ASSERT_EQ(1u, mixtures.size());
    const Mixture& mixture = mixtures[0];
    EXPECT_EQ(3, mixture.id);
    EXPECT_EQ(u"Смесь А", mixture.name);
    EXPECT_EQ(u"Баллон №7", mixture.ballon);
    EXPECT_EQ(1600000000, mixture.release);
    EXPECT_EQ(1700000000, mixture.expiry);
    ASSERT_EQ(2u, mixture.components.size());
    EXPECT_EQ(u"17", mixture.components[0].nameid);
    EXPECT_EQ(u"этиленгликоль", mixture.components[0].name);
    EXPECT_EQ(99.25, mixture.components[0].concentration);
    EXPECT_EQ(0.125, mixture.components[0].deviation);
    EXPECT_EQ(u"d", mixture.components[1].nameid);
    EXPECT_EQ(0.0, mixture.components[1].deviation);

    const auto second = load(11);
    ASSERT_TRUE(second);
    EXPECT_EQ(0, second->mixtureIndex);

    const auto other = load(12);
    ASSERT_TRUE(other);
    EXPECT_EQ(-1, other->mixtureIndex);
    EXPECT_EQ(1u, mixtures.size());
}

TEST_F(AssayQueries, SeveralMixturesOfOneNameAndTheEmptyName)
{
    const std::u16string path = writeChromatogramFile();
    insertMixture(5, u"Дубль");
    insertMixture(6, u"дубль");
    insertMixture(8, u"");
    insertAssay(13, path, u"", u"ДУБЛЬ", 0, true);
    db.execute(u"INSERT INTO [assay] (id, filename, iscalibration) VALUES (14, '" + path + u"', 1);");

    // Both rows join the list; the last one names the assay's mixture.
    const auto doubled = load(13);
    ASSERT_TRUE(doubled);
    ASSERT_EQ(2u, mixtures.size());
    EXPECT_EQ(5, mixtures[0].id);
    EXPECT_EQ(6, mixtures[1].id);
    EXPECT_EQ(1, doubled->mixtureIndex);

    // An assay that names no mixture is looked up by the empty name.
    const auto unnamed = load(14);
    ASSERT_TRUE(unnamed);
    EXPECT_EQ(2, unnamed->mixtureIndex);
    EXPECT_EQ(8, mixtures[2].id);
}

TEST_F(AssayQueries, MixtureReadOnceForTwoAssaysButLookedUpEachTime)
{
    const std::u16string path = writeChromatogramFile();
    insertMixture(1, u"Смесь ДЭГ", u"Баллон 1");
    insertComponent(1, u"этиленгликоль", 99.0);
    insertComponent(1, u"диэтиленгликоль", 0.6);
    insertComponent(1, u"нонанол-1", 0.4);
    for (std::int64_t id : {21, 22, 23}) {
        insertAssay(id, path, u"", id == 22 ? u"СМЕСЬ ДЭГ" : u"смесь дэг", 0, true);
        insertColumn1Peaks(id);
    }

    const auto first = load(21);
    ASSERT_TRUE(first);
    EXPECT_EQ(0, first->mixtureIndex);
    EXPECT_EQ(GradColumn1NoTeg, first->kind);

    // Were the mixture read again, the second assay would see these changes.
    db.execute(u"DELETE FROM [mixturecomp];");
    db.execute(u"UPDATE [mixture] SET ballon = 'Баллон 2';");
    const auto second = load(22);
    ASSERT_TRUE(second);
    EXPECT_EQ(0, second->mixtureIndex);
    ASSERT_EQ(1u, mixtures.size());
    EXPECT_EQ(u"Баллон 1", mixtures[0].ballon);
    EXPECT_EQ(3u, mixtures[0].components.size());
    EXPECT_EQ(GradColumn1NoTeg, second->kind);

    // The name is not cached: a renamed mixture is no longer found.
    db.execute(u"UPDATE [mixture] SET name = 'Другая';");
    const auto third = load(23);
    ASSERT_TRUE(third);
    EXPECT_EQ(-1, third->mixtureIndex);
    EXPECT_EQ(Undetermined, third->kind);
    EXPECT_EQ(1u, messages.messages(MessageLevel::Error).size());
}

TEST_F(AssayQueries, ConcentrationsOnlyFromExactlyNormalisedComponentNames)
{
    const std::u16string path = writeChromatogramFile();
    insertMixture(2, u"Смесь К");
    insertComponent(2, u"этиленгликоль", 99.0);
    insertComponent(2, u"этиленгликоль", 50.0);    // the first match wins
    insertComponent(2, u"Диэтиленгликоль", 0.5);   // capital: not a normalised name
    insertComponent(2, u" нонанол-1", 0.7);        // blank: not a normalised name
    insertComponent(2, u"вода", 0.1);
    insertAssay(30, path, u"", u"Смесь К", 0, true);
    insertPeak(30, u"Этилен гликоль", 1.0, 10.0, 1.0);
    insertPeak(30, u"диэтиленгликоль", 2.0, 20.0, 2.0);
    insertPeak(30, u"Нонанол-1", 3.0, 30.0, 3.0);
    insertPeak(30, u"ВОДА", 4.0, 40.0, 4.0);

    const auto chromatogram = load(30);
    ASSERT_TRUE(chromatogram);
    ASSERT_EQ(4u, chromatogram->peaks.size());
    EXPECT_EQ(99.0, chromatogram->peaks[0].concent);
    EXPECT_EQ(2.0, chromatogram->peaks[1].concent);
    EXPECT_EQ(3.0, chromatogram->peaks[2].concent);
    EXPECT_EQ(0.1, chromatogram->peaks[3].concent);
}

TEST_F(AssayQueries, UnreadableFileIsShownAndTheAssayStillLoads)
{
    TempFile missing(u"norvalt-нет-файла", u".stg");
    insertAssay(40, missing.text(), u"", u"", 0, false);
    insertPeak(40, u"Этиленгликоль", 1.0, 10.0, 0);
    insertPeak(40, u"Нонанол-1", 2.0, 20.0, 0);

    TempFile corrupt(u"norvalt-испорчен", u".stg");
    {
        std::ofstream out(corrupt.path(), std::ios::binary);
        out << "XYZ\x01" << std::string(12, '\0') << "<root/>";
    }
    insertAssay(41, corrupt.text(), u"", u"", 0, false);

    const auto chromatogram = load(40);
    ASSERT_TRUE(chromatogram);
    EXPECT_EQ(missing.text(), chromatogram->fileName);
    EXPECT_EQ(0.0, chromatogram->volume);
    EXPECT_EQ(0.0, chromatogram->waterMassFraction);
    EXPECT_EQ(AnalysisColumn1, chromatogram->kind);
    ASSERT_EQ(1u, notifier.notices.size());
    EXPECT_EQ(NoticeKind::Warning, notifier.notices[0].kind);
    EXPECT_EQ(u"Ошибка -1. Не удалось открыть файл.\n'" + missing.text() + u"'.", notifier.notices[0].text);

    // A file without the "STG" magic fails the format check with -3.
    ASSERT_TRUE(load(41));
    ASSERT_EQ(2u, notifier.notices.size());
    EXPECT_EQ(u"Ошибка -3. Не удалось открыть файл.\n'" + corrupt.text() + u"'.", notifier.notices[1].text);
}

TEST_F(AssayQueries, AnalysedAssayNamingAMixtureIsReported)
{
    const std::u16string path = writeChromatogramFile();
    insertMixture(3, u"Смесь А");
    insertAssay(50, path, u"", u"Смесь А", 0, false);
    insertPeak(50, u"Этиленгликоль", 1.0, 10.0, 0);

    const auto chromatogram = load(50);
    ASSERT_TRUE(chromatogram);
    EXPECT_EQ(Undetermined, chromatogram->kind);
    const std::u16string name = std::filesystem::path(path).filename().u16string();
    const auto& errors = messages.messages(MessageLevel::Error);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(u"В анализируемой хроматограмме '" + name + u"' должна отсутствовать смесь", errors[0]);
}

TEST_F(AssayQueries, DatabaseFailuresReachTheCaller)
{
    const std::u16string path = writeChromatogramFile();
    insertAssay(60, path, u"", u"Смесь М", 0, true);
    insertColumn1Peaks(60);

    // The lookups use the database that connection() names: here one with
    // mixtures but without their components.
    HostDataBaseFile partial(false);
    partial.execute(u"CREATE TABLE [mixture] (id INTEGER PRIMARY KEY, name TEXT COLLATE NOCASE,"
                    u" ballon TEXT, release INTEGER, expiry INTEGER);");
    partial.execute(u"INSERT INTO [mixture] (id, name) VALUES (4, 'смесь м');");
    connection().uri = partial.path();
    try {
        load(60);
        ADD_FAILURE() << "the component query found no table and did not throw";
    } catch (const DataBase::SqlException& e) {
        EXPECT_EQ(SQLITE_ERROR, e.code);
        EXPECT_STREQ("no such table: mixturecomp", e.what());
    }
    // No mixture without its components was left behind.
    EXPECT_TRUE(mixtures.empty());

    partial.execute(u"CREATE TABLE [mixturecomp] (mixtureid INTEGER, nameid TEXT, name TEXT,"
                    u" concentration REAL, deviation REAL);");
    partial.execute(u"INSERT INTO [mixturecomp] VALUES (4, 'n', 'этиленгликоль', 98.5, 0);");
    const auto chromatogram = load(60);
    ASSERT_TRUE(chromatogram);
    EXPECT_EQ(0, chromatogram->mixtureIndex);
    ASSERT_EQ(1u, mixtures.size());
    ASSERT_EQ(1u, mixtures[0].components.size());
    EXPECT_EQ(98.5, chromatogram->peaks[0].concent);

    // The command's own connection to a database without the host's tables.
    HostDataBaseFile empty(false);
    try {
        loadAssay(empty.handle, 60, mixtures, messages);
        ADD_FAILURE() << "no assay table and no exception";
    } catch (const DataBase::SqlException& e) {
        EXPECT_EQ(SQLITE_ERROR, e.code);
        EXPECT_STREQ("no such table: assay", e.what());
        EXPECT_TRUE(e.sql.empty());
    }
}

} // namespace
} // namespace norvalt
