#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>

#include "../data/db_test_support.h"
#include "calc/components.h"
#include "calc/kinds.h"
#include "data/lab_writer.h"
#include "host/local_host.h"
#include "text/format.h"
#include "text/path.h"
#include "text/string_table.h"
#include "text/user_notifier.h"
#include "workset/chromatogram_set.h"

using namespace norvalt;
using norvalt::test::HostDataBaseFile;
using norvalt::test::TempFile;

namespace {

// Records every view operation in order and keeps the main list's ids, as
// the main window would; selecting the last row selects its chromatogram.
class RecordingViews : public ChromatogramSetViews {
public:
    ChromatogramSet* set = nullptr;
    std::vector<std::string> log;
    std::vector<std::int32_t> rows;

    void appendRow(std::int32_t id) override
    {
        rows.push_back(id);
        log.push_back("append " + std::to_string(id));
    }
    void clearRows() override
    {
        rows.clear();
        log.push_back("clearRows");
    }
    void selectLastRow() override
    {
        log.push_back("selectLast");
        if (!rows.empty()) set->selectAssay(rows.back());
    }
    void showPeaks(const Chromatogram& c) override { log.push_back("peaks " + std::to_string(c.peaks.size())); }
    void clearPeaks() override { log.push_back("clearPeaks"); }
    void setGraduation(const std::vector<CalibrationSeries>&, const std::map<std::u16string, double>&) override
    {
        log.push_back("setGraduation");
    }
    void refreshGraduation() override { log.push_back("refreshGraduation"); }
    void clearGraduation() override { log.push_back("clearGraduation"); }
    void setResults(const std::vector<ComponentResult>&) override { log.push_back("setResults"); }
    void refreshResults() override { log.push_back("refreshResults"); }
    void clearResults() override { log.push_back("clearResults"); }
    void refreshMessages() override { log.push_back("refreshMessages"); }
    void clearMessageView() override { log.push_back("clearMessageView"); }
    NoticeOwner noticeOwner() const override { return {const_cast<RecordingViews*>(this)}; }

    // The five operations that close every recalculation that runs.
    static std::vector<std::string> recalculation()
    {
        return {"setGraduation", "setResults", "refreshGraduation", "refreshResults", "refreshMessages"};
    }
};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ChromatogramSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const Component& c : componentTable())
            if (c.id < UnidentifiedSubstance) setComponentAltName(c.id, c.name);
        connection().uri = db.path();
        previousNotifier = setUserNotifier(&notices);
        host.offer(service::OpenAssayIdDlg, [this](HostArg capacity, HostArg buffer) -> HostResult {
            auto* ids = reinterpret_cast<std::int32_t*>(buffer);
            const std::size_t n = std::min<std::size_t>(dialogIds.size(), static_cast<std::size_t>(capacity));
            for (std::size_t i = 0; i < n; ++i) ids[i] = dialogIds[i];
            return dialogAnswer ? *dialogAnswer : static_cast<HostResult>(dialogIds.size());
        });
        set = std::make_unique<ChromatogramSet>(Host(host.table()), messages, views);
        views.set = set.get();
    }

    void TearDown() override
    {
        setUserNotifier(previousNotifier);
        releaseConnection();
    }

    // An assay with its chromatogram file (volume 12.5, water 0.1 %).
    void addAssay(std::int64_t id, std::vector<LabPeak> peaks, const std::u16string& mixture = u"",
                  bool calibration = false)
    {
        files.push_back(std::make_unique<TempFile>(u"norvalt-set", u".stg"));
        ASSERT_EQ(0, writeChromatogramFile(files.back()->text(), u"проба", 12.5, 0.1));
        insertAssay(db.handle, LabAssay{id, files.back()->text(), u"Проба " + formatInt(id), mixture,
                                        1700000000, calibration, std::move(peaks)});
    }

    static std::vector<LabPeak> column1Analysis() { return {{u"Этиленгликоль", 1, 900}, {u"Нонанол-1", 3, 30}}; }
    static std::vector<LabPeak> column2Analysis() { return {{u"Этиленгликоль", 1, 900}, {u"Бензиловый спирт", 4, 30}}; }

    void add(std::vector<std::int32_t> ids)
    {
        dialogIds = std::move(ids);
        set->addAssays();
    }

    HostDataBaseFile db;
    std::vector<std::unique_ptr<TempFile>> files;
    LocalHost host;
    MessageList messages;
    RecordingViews views;
    RecordingNotifier notices;
    UserNotifier* previousNotifier = nullptr;
    std::vector<std::int32_t> dialogIds;
    std::optional<HostResult> dialogAnswer;
    std::unique_ptr<ChromatogramSet> set;
};

} // namespace

TEST_F(ChromatogramSetTest, AddLoadsAppendsSelectsTheLastRowAndRecalculatesTwice)
{
    addAssay(1, column1Analysis());
    addAssay(2, column1Analysis());
    add({1, 2});

    const auto expected = std::vector<std::string>({"clearMessageView", "append 1", "append 2", "selectLast",
                                                    "clearMessageView"}) +
                          RecordingViews::recalculation() + std::vector<std::string>{"clearPeaks", "peaks 2"} +
                          RecordingViews::recalculation();
    EXPECT_EQ(views.log, expected);
    EXPECT_EQ(set->selectedAssayId(), 2);
    EXPECT_EQ(set->chromatograms().size(), 2u);
    EXPECT_FALSE(set->addInProgress());
    EXPECT_TRUE(notices.notices.empty());
}

TEST_F(ChromatogramSetTest, IdsAlreadyPresentAreNeitherReloadedNorMoved)
{
    addAssay(1, column1Analysis());
    addAssay(2, column1Analysis());
    addAssay(3, column1Analysis());
    add({1, 2});
    // A change in the database does not reach a chromatogram that is skipped.
    db.execute(u"UPDATE [peak] SET name = 'другое' WHERE assayid = 2;");
    views.log.clear();
    add({2, 3});
    EXPECT_EQ(views.rows, std::vector<std::int32_t>({1, 2, 3}));
    EXPECT_EQ(views.log[1], "append 3");
    EXPECT_EQ(set->chromatograms().at(2).peaks[0].name, u"Этиленгликоль");
    EXPECT_EQ(set->selectedAssayId(), 3);
}

TEST_F(ChromatogramSetTest, IdsThatDoNotLoadAreSkipped)
{
    addAssay(1, column1Analysis());
    add({1});
    views.log.clear();
    // Nothing loads: the last existing row is selected all the same.
    add({77, 78});
    EXPECT_EQ(views.rows, std::vector<std::int32_t>({1}));
    EXPECT_EQ(set->selectedAssayId(), 1);
    EXPECT_EQ(views.log[0], "clearMessageView");
    EXPECT_EQ(views.log[1], "selectLast");
    EXPECT_EQ(views.log.back(), "refreshMessages");
}

TEST_F(ChromatogramSetTest, AnAddIntoAnEmptySetThatLoadsNothingSelectsNothing)
{
    add({5, 6});
    EXPECT_TRUE(views.rows.empty());
    EXPECT_EQ(set->selectedAssayId(), -1);
    EXPECT_EQ(views.log, std::vector<std::string>({"clearMessageView", "selectLast"}));
}

TEST_F(ChromatogramSetTest, ADialogWithoutAChoiceChangesNothing)
{
    addAssay(1, column1Analysis());
    dialogAnswer = 0;
    add({1});
    dialogAnswer = ServiceNotFound;
    add({1});
    host.withdraw(service::OpenAssayIdDlg);
    add({1});
    EXPECT_TRUE(views.log.empty());
    EXPECT_TRUE(set->chromatograms().empty());
}

TEST_F(ChromatogramSetTest, AHostDialogThatFailsDoesNotStopLaterAdds)
{
    addAssay(1, column1Analysis());
    host.offer(service::OpenAssayIdDlg, [](HostArg, HostArg) -> HostResult { throw std::runtime_error("host"); });
    EXPECT_THROW(set->addAssays(), std::runtime_error);
    host.offer(service::OpenAssayIdDlg, [](HostArg, HostArg buffer) -> HostResult {
        reinterpret_cast<std::int32_t*>(buffer)[0] = 1;
        return 1;
    });
    set->addAssays();
    EXPECT_EQ(set->chromatograms().size(), 1u);
}

TEST_F(ChromatogramSetTest, ACountAboveTheBufferIsCutToTheBuffer)
{
    addAssay(1, column1Analysis());
    std::vector<std::int32_t> ids(256, 0);
    ids[255] = 1;
    dialogAnswer = 1000;
    add(ids);
    EXPECT_EQ(views.rows, std::vector<std::int32_t>({1}));
}

TEST_F(ChromatogramSetTest, RemovingRenumbersAndKeepsTheSelectedId)
{
    for (int id = 1; id <= 3; ++id) addAssay(id, column1Analysis());
    add({3, 1, 2});
    ASSERT_EQ(set->selectedAssayId(), 2);
    views.log.clear();
    set->removeAssays({2, 3});
    EXPECT_EQ(views.rows, std::vector<std::int32_t>({1}));
    EXPECT_EQ(set->rowTexts(1, 0)[0], u"1");
    // The removed selected chromatogram stays selected; the recalculation
    // finds it missing and refreshes nothing.
    EXPECT_EQ(set->selectedAssayId(), 2);
    EXPECT_EQ(views.log, std::vector<std::string>({"clearRows", "append 1", "clearPeaks"}));

    views.log.clear();
    set->removeAssays({});
    EXPECT_TRUE(views.log.empty());
}

TEST_F(ChromatogramSetTest, RemoveAllEmptiesEverythingButKeepsMixturesAndSelection)
{
    insertMixture(db.handle, Mixture{4, u"Смесь 1", u"Б-4", 0, 0,
                                     {{u"1", u"этиленгликоль", 99.0, 0}, {u"2", u"диэтиленгликоль", 0.5, 0}}});
    addAssay(1, {{u"Этиленгликоль", 1, 900}, {u"Диэтиленгликоль", 2, 5}, {u"Нонанол-1", 3, 30}}, u"смесь 1", true);
    add({1});
    ASSERT_EQ(set->mixtures().size(), 1u);
    messages.addMessage(MessageLevel::Error, u"x");
    views.log.clear();
    set->removeAll();
    EXPECT_EQ(views.log, std::vector<std::string>({"clearRows", "clearPeaks", "clearGraduation", "clearResults",
                                                   "clearMessageView"}));
    EXPECT_TRUE(set->chromatograms().empty());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(set->mixtures().size(), 1u);
    EXPECT_EQ(set->selectedAssayId(), 1);
}

TEST_F(ChromatogramSetTest, ReloadPicksUpChangesInTheDataBase)
{
    addAssay(1, column1Analysis());
    addAssay(2, column1Analysis());
    add({2, 1});
    db.execute(u"UPDATE [peak] SET name = 'Вода' WHERE assayid = 2 AND name = 'Нонанол-1';");
    db.execute(u"UPDATE [assay] SET isdeleted = 1 WHERE id = 1;");
    views.log.clear();
    set->reload();
    EXPECT_EQ(views.rows, std::vector<std::int32_t>({2}));
    EXPECT_EQ(set->chromatograms().at(2).peaks[1].name, u"Вода");
    // Nonanol-1 is gone, so the chromatogram has no kind any more.
    EXPECT_EQ(set->chromatograms().at(2).kind, Undetermined);
    const auto expected = std::vector<std::string>({"clearRows", "clearPeaks", "clearGraduation", "clearResults",
                                                    "clearMessageView", "append 2", "selectLast",
                                                    "clearMessageView"}) +
                          RecordingViews::recalculation() + std::vector<std::string>{"clearPeaks", "peaks 2"};
    EXPECT_EQ(views.log, expected);
}

TEST_F(ChromatogramSetTest, ADataBaseErrorKeepsWhatWasLoaded)
{
    // The second assay names a mixture whose components cannot be read.
    insertMixture(db.handle, Mixture{9, u"М", u"", 0, 0, {}});
    addAssay(1, column1Analysis());
    addAssay(2, column1Analysis(), u"М", true);
    addAssay(3, column1Analysis());
    db.execute(u"DROP TABLE [mixturecomp];");
    add({1, 2, 3});

    ASSERT_EQ(notices.notices.size(), 1u);
    EXPECT_EQ(notices.notices[0].kind, NoticeKind::Error);
    EXPECT_NE(notices.notices[0].text.find(u"no such table: mixturecomp"), std::u16string::npos);
    EXPECT_NE(notices.notices[0].text.find(u"Ошибка базы данных 1."), std::u16string::npos);
    EXPECT_EQ(views.rows, std::vector<std::int32_t>({1}));
    EXPECT_EQ(set->selectedAssayId(), 1);

    // The set stays usable once the database is mended.
    db.execute(u"CREATE TABLE [mixturecomp] (id INTEGER PRIMARY KEY, mixtureid INTEGER, nameid TEXT, name TEXT,"
               u" concentration REAL, deviation REAL);");
    add({3});
    EXPECT_EQ(views.rows, std::vector<std::int32_t>({1, 3}));
}

TEST_F(ChromatogramSetTest, AReloadThatCannotReadTheDataBaseKeepsTheWork)
{
    addAssay(1, column1Analysis());
    addAssay(2, column1Analysis());
    add({2, 1});
    ASSERT_EQ(views.rows, std::vector<std::int32_t>({2, 1}));
    // Without calibrations the checks fail: the messages are the work shown.
    const std::vector<std::u16string> shown = messages.allMessageTexts();
    ASSERT_FALSE(shown.empty());

    // The host holds the database locked past the busy timeout; then the
    // database has moved (SQLite makes an empty file at the old place).
    TempFile moved(u"norvalt-moved", u".db");
    const std::function<void()> breaks[] = {[this] { db.execute(u"BEGIN EXCLUSIVE;"); },
                                            [&moved] { connection().uri = moved.text(); }};
    const char16_t* const failures[] = {u"Ошибка базы данных 5.", u"no such table: assay"};
    for (int i = 0; i < 2; ++i) {
        breaks[i]();
        views.log.clear();
        notices.notices.clear();
        EXPECT_FALSE(set->reload());
        EXPECT_TRUE(views.log.empty());
        EXPECT_EQ(views.rows, std::vector<std::int32_t>({2, 1}));
        EXPECT_EQ(set->chromatograms().size(), 2u);
        EXPECT_EQ(messages.allMessageTexts(), shown);
        ASSERT_EQ(notices.notices.size(), 1u);
        EXPECT_NE(notices.notices[0].text.find(failures[i]), std::u16string::npos);
        // The main window owns the box.
        EXPECT_EQ(notices.notices[0].owner, views.noticeOwner());
    }
    db.execute(u"COMMIT;");

    // A failure later in the reload keeps what was loaded before it: the
    // second id names a mixture whose components cannot be read.
    connection().uri = db.path();
    insertMixture(db.handle, Mixture{9, u"М", u"", 0, 0, {}});
    db.execute(u"UPDATE [assay] SET mixture = 'М' WHERE id = 1;");
    db.execute(u"DROP TABLE [mixturecomp];");
    std::vector<std::int32_t> before;
    for (const auto& entry : set->chromatograms()) {
        if (entry.first == 1) break;
        before.push_back(entry.first);
    }
    EXPECT_TRUE(set->reload());
    EXPECT_EQ(views.rows, before);
    EXPECT_EQ(notices.notices.size(), 2u);
}

TEST_F(ChromatogramSetTest, OpenInHostPassesEachFileInListOrder)
{
    addAssay(1, column1Analysis());
    addAssay(2, column1Analysis());
    add({1, 2});
    std::vector<std::u16string> opened;
    host.offer(service::OpenAssayFile, [&opened](HostArg first, HostArg path) -> HostResult {
        EXPECT_EQ(first, 1);
        opened.emplace_back(reinterpret_cast<const char16_t*>(path));
        return 0;
    });
    set->openInHost({2, 1});
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], set->chromatograms().at(2).fileName);
    EXPECT_EQ(opened[1], set->chromatograms().at(1).fileName);
}

TEST_F(ChromatogramSetTest, RowTexts)
{
    addAssay(1, column1Analysis());
    add({1});
    const auto cells = set->rowTexts(1, 4);
    EXPECT_EQ(cells[0], u"5");
    EXPECT_EQ(cells[1], fileNamePart(set->chromatograms().at(1).fileName));
    EXPECT_EQ(cells[2], u"Проба 1");
    EXPECT_EQ(cells[3], u"12.500");
    EXPECT_EQ(cells[5], kindText(AnalysisColumn1));
    EXPECT_EQ(cells[6], u"");
    // "dd.mm.yy   HH:MM" in local time.
    ASSERT_EQ(cells[4].size(), 16u);
    EXPECT_EQ(cells[4].substr(8, 3), u"   ");
    EXPECT_EQ(cells[4][13], u':');
}

TEST(AnalysisDate, FormatAndTimesLocalTimeCannotTake)
{
    EXPECT_EQ(formatAnalysisDate(-1), u"");
#ifndef _WIN32
    const char* tz = std::getenv("TZ");
    const std::string saved = tz ? tz : "";
    setenv("TZ", "UTC", 1);
    tzset();
    // 1700000000 s = 19675 days + 80000 s; day 19675 after 1970-01-01 is
    // 2023-11-14, and 80000 s is 22:13:20.
    EXPECT_EQ(formatAnalysisDate(1700000000), u"14.11.23   22:13");
    if (tz) setenv("TZ", saved.c_str(), 1);
    else unsetenv("TZ");
    tzset();
#endif
}

TEST_F(ChromatogramSetTest, OnlyTheSelectedColumnReachesTheCalculator)
{
    insertMixture(db.handle, Mixture{1, u"С1", u"", 0, 0,
                                     {{u"", u"этиленгликоль", 99, 0}, {u"", u"диэтиленгликоль", 0.5, 0},
                                      {u"", u"нонанол-1", 1, 0}}});
    insertMixture(db.handle, Mixture{2, u"С2", u"", 0, 0,
                                     {{u"", u"этиленгликоль", 99, 0}, {u"", u"диэтиленгликоль", 0.5, 0},
                                      {u"", u"бензиловыйспирт", 1, 0}}});
    addAssay(1, {{u"Этиленгликоль", 1, 900}, {u"Диэтиленгликоль", 2, 5}, {u"Нонанол-1", 3, 30}}, u"С1", true);
    addAssay(2, {{u"Этиленгликоль", 1, 900}, {u"Диэтиленгликоль", 2, 5}, {u"Бензиловый спирт", 3, 30}}, u"С2", true);
    addAssay(3, column2Analysis());
    add({1, 2, 3});
    ASSERT_EQ(set->chromatograms().at(1).kind, GradColumn1NoTeg);
    ASSERT_EQ(set->chromatograms().at(2).kind, GradColumn2NoTeg);
    ASSERT_EQ(set->chromatograms().at(3).kind, AnalysisColumn2);
    // Had the column-1 calibration reached the checks, they would have
    // found calibrations of another column.
    for (const auto& text : messages.allMessageTexts()) EXPECT_NE(text, loadString(IDS_ERR_COLUMN_MISMATCH));
    // The one column-2 calibration of one mixture fails the pair check.
    EXPECT_EQ(messages.allMessageTexts(), std::vector<std::u16string>({loadString(IDS_ERR_MIXTURE_PAIRS)}));
}
