#include "data/database.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "db_test_support.h"

namespace norvalt {
namespace {

using test::HostDataBaseFile;
using test::TempFile;

// The emulator that runs the i686 build under 32-bit Wine here cannot start
// a second thread (scripts/wine32-env says so).
bool threadsCanStart() { return std::getenv("NORVALT_NO_THREADS") == nullptr; }
constexpr const char* noThreads = "no second thread can be started in this run";

TEST(DataBaseConnection, OneInstanceUntilReleased)
{
    DataBaseConnectionBase* first = &connection();
    EXPECT_EQ(first, &connection());
    connection().uri = u"C:\\Данные\\host.db";
    EXPECT_EQ(u"C:\\Данные\\host.db", *connection().uri);
    releaseConnection();
    EXPECT_FALSE(connection().uri.has_value());
    releaseConnection();
}

TEST(DataBaseConnection, CallersOnSeveralThreadsFindOneInstance)
{
    if (!threadsCanStart()) GTEST_SKIP() << noThreads;
    releaseConnection();
    std::vector<DataBaseConnectionBase*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (auto& slot : seen)
        threads.emplace_back([&slot] { slot = &connection(); });
    for (auto& thread : threads)
        thread.join();
    for (DataBaseConnectionBase* instance : seen)
        EXPECT_EQ(seen.front(), instance);
    EXPECT_FALSE(connection().uri.has_value());
    releaseConnection();
}

TEST(DataBaseOpen, UnicodePathWithFunctionsCollationAndForeignKeys)
{
    HostDataBaseFile db;
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(db.path())));

    // The module's functions and collation replace SQLite's ASCII ones.
    auto statement = prepareStatement(db.handle,
                                      u"SELECT upper('ёлка'), 'Ёлка' LIKE 'елка', unicode_version(),"
                                      u" 'Смесь А' = 'смесь а' COLLATE NOCASE;");
    int rows = 0;
    readRows<std::u16string, std::int32_t, std::u16string, std::int32_t>(
        statement, [&](std::u16string upper, std::int32_t like, std::u16string version, std::int32_t nocase) {
            ++rows;
            EXPECT_EQ(u"ЁЛКА", upper);
            EXPECT_EQ(1, like);
            EXPECT_EQ(u"5.1.0.12", version);
            EXPECT_EQ(1, nocase);
        });
    EXPECT_EQ(1, rows);

    // Foreign keys are enforced: a peak of an assay that does not exist is
    // refused at the step, which reports SQLite's text for the code.
    const std::u16string insert = u"INSERT INTO [peak] (assayid, name) VALUES (99, 'Вода');";
    try {
        executeStatement(db.handle, insert);
        ADD_FAILURE() << "a dangling peak was accepted";
    } catch (const DataBase::SqlException& e) {
        EXPECT_EQ(SQLITE_CONSTRAINT, e.code);
        EXPECT_STREQ("constraint failed", e.what());
        EXPECT_EQ(utf16ToUtf8(insert), e.sql);
    }
}

TEST(DataBaseOpen, FailuresCarrySqliteMessageAndNoSql)
{
    // A folder that does not exist cannot hold the database.
    const std::filesystem::path missing = test::uniqueTempPath(u"norvalt-нет-папки", u"") / "host.db";
    DataBaseHandle handle;
    try {
        openDataBase(handle, missing.u16string());
        ADD_FAILURE() << "opened a database in a missing folder";
    } catch (const DataBase::SqlException& e) {
        EXPECT_EQ(SQLITE_CANTOPEN, e.code);
        EXPECT_STREQ("unable to open database file", e.what());
        EXPECT_TRUE(e.sql.empty());
    }
    EXPECT_FALSE(handle);

    // A path that names no database yet: SQLite creates an empty one, and
    // the first query finds none of the host's tables.
    TempFile fresh(u"norvalt-пустая", u".db");
    connection().uri = fresh.text();
    {
        DataBaseHandle hostHandle = openHostDataBase();
        EXPECT_TRUE(std::filesystem::exists(fresh.path()));
        try {
            prepareStatement(hostHandle, u"SELECT filename FROM [assay];");
            ADD_FAILURE() << "prepared a query on a missing table";
        } catch (const DataBase::SqlException& e) {
            EXPECT_EQ(SQLITE_ERROR, e.code);
            EXPECT_STREQ("no such table: assay", e.what());
            EXPECT_TRUE(e.sql.empty());
        }
        try {
            prepareStatement(hostHandle, u"SELEC 1;");
            ADD_FAILURE() << "prepared a misspelt statement";
        } catch (const std::exception& e) {
            EXPECT_STREQ("near \"SELEC\": syntax error", e.what());
        }
    }
    releaseConnection();

    // Without a uri the connection is a private temporary database.
    DataBaseHandle scratch = openHostDataBase();
    int rows = 0;
    auto statement = prepareStatement(scratch, u"SELECT 1;");
    readRows<std::int32_t>(statement, [&](std::int32_t) { ++rows; });
    EXPECT_EQ(1, rows);
    releaseConnection();
}

TEST(DataBaseStatements, FormattingArgumentsIntoTheText)
{
    HostDataBaseFile db;
    auto statement = prepareStatement(db.handle, u"SELECT %d, '%s', %.1f, '100%%';", 42, u"ёж", 0.5);
    int rows = 0;
    readRows<std::int32_t, std::u16string, double, std::u16string>(
        statement, [&](std::int32_t number, std::u16string text, double real, std::u16string percent) {
            ++rows;
            EXPECT_EQ(42, number);
            EXPECT_EQ(u"ёж", text);
            EXPECT_EQ(0.5, real);
            EXPECT_EQ(u"100%", percent);
        });
    EXPECT_EQ(1, rows);
}

TEST(DataBaseStatements, RowReaderDefaultsForNullAndConversions)
{
    HostDataBaseFile db;
    // 1099511627777 = 2^40 + 1 needs the 64-bit reading; U+1D11E is a
    // surrogate pair in UTF-16.
    auto statement = prepareStatement(db.handle,
                                      u"SELECT NULL, NULL, NULL, NULL, 42, 1.5, '12abc', 1099511627777, 'x𝄞';");
    int rows = 0;
    readRows<std::int32_t, std::int64_t, double, std::u16string, std::u16string, std::u16string, std::int32_t,
             std::int64_t, std::u16string>(
        statement, [&](std::int32_t nullInt, std::int64_t nullInt64, double nullDouble, std::u16string nullText,
                       std::u16string intAsText, std::u16string realAsText, std::int32_t textAsInt,
                       std::int64_t big, std::u16string beyondBmp) {
            ++rows;
            EXPECT_EQ(0, nullInt);
            EXPECT_EQ(0, nullInt64);
            EXPECT_EQ(0.0, nullDouble);
            EXPECT_EQ(u"", nullText);
            EXPECT_EQ(u"42", intAsText);
            EXPECT_EQ(u"1.5", realAsText);
            EXPECT_EQ(12, textAsInt);
            EXPECT_EQ(INT64_C(1099511627777), big);
            EXPECT_EQ(u"x\U0001D11E", beyondBmp);
        });
    EXPECT_EQ(1, rows);
}

TEST(DataBaseStatements, QueryWithoutRowsCallsNoHandler)
{
    HostDataBaseFile db;
    int calls = 0;
    auto statement = prepareStatement(db.handle, u"SELECT id, filename FROM [assay] WHERE id = ?;");
    bindInt(statement, 1, 1);
    EXPECT_NO_THROW((readRows<std::int32_t, std::u16string>(statement, [&](std::int32_t, std::u16string) {
        ++calls;
    })));
    EXPECT_EQ(nullptr, statement.get());

    // A text without a statement has no rows either.
    auto blank = prepareStatement(db.handle, u"  -- nothing\n");
    EXPECT_NO_THROW(readRows<std::int32_t>(blank, [&](std::int32_t) { ++calls; }));
    EXPECT_EQ(0, calls);
}

TEST(DataBaseStatements, BusyStepThrowsWithCodeMessageAndSql)
{
    HostDataBaseFile db;
    DataBaseHandle reader;
    openDataBase(reader, db.path());
    // Read the schema now: later, under the other connection's lock, only
    // the step may fail, not the prepare.
    executeStatement(reader, u"SELECT count(*) FROM [assay];");

    db.execute(u"BEGIN EXCLUSIVE;");
    const std::u16string query = u"SELECT filename FROM [assay] WHERE id = ?;";
    auto statement = prepareStatement(reader, query);
    bindInt64(statement, 1, 1);
    try {
        readRows<std::u16string>(statement, [](std::u16string) { ADD_FAILURE() << "a row under a lock"; });
        ADD_FAILURE() << "stepping under an exclusive lock succeeded";
    } catch (const std::exception& caught) {
        const auto* e = dynamic_cast<const DataBase::SqlException*>(&caught);
        ASSERT_NE(nullptr, e);
        EXPECT_EQ(5, e->code);
        EXPECT_STREQ(sqlite3_errstr(SQLITE_BUSY), e->what());
        EXPECT_STREQ("database is locked", e->what());
        EXPECT_EQ(utf16ToUtf8(query), e->sql);

        // The exception keeps its own copies.
        const DataBase::SqlException copy = *e;
        statement.finalize();
        EXPECT_STREQ("database is locked", copy.what());
        EXPECT_EQ(utf16ToUtf8(query), copy.sql);
    }
    db.execute(u"ROLLBACK;");
}

TEST(DataBaseStatements, ALockShorterThanTheBusyTimeoutIsWaitedFor)
{
    // The host writes for a fifth of the timeout; the module's read waits
    // for it instead of failing with SQLITE_BUSY at once (the lock that
    // outlasts the timeout is the test above).
    if (!threadsCanStart()) GTEST_SKIP() << noThreads;
    HostDataBaseFile db;
    db.execute(u"INSERT INTO [assay] (id, filename) VALUES (1, 'a');");
    DataBaseHandle reader;
    openDataBase(reader, db.path());
    db.execute(u"BEGIN EXCLUSIVE;");
    std::thread host([&db] {
        std::this_thread::sleep_for(std::chrono::milliseconds(busyTimeoutMilliseconds / 5));
        db.execute(u"COMMIT;");
    });
    std::vector<std::u16string> names;
    EXPECT_NO_THROW({
        auto statement = prepareStatement(reader, u"SELECT filename FROM [assay];");
        readRows<std::u16string>(statement, [&names](std::u16string name) { names.push_back(name); });
    });
    host.join();
    EXPECT_EQ(names, std::vector<std::u16string>{u"a"});
}

TEST(DataBaseStatements, HandlerExceptionLeavesNoLockBehind)
{
    HostDataBaseFile db;
    db.execute(u"INSERT INTO [assay] (id, filename) VALUES (1, 'a'), (2, 'b');");
    {
        auto statement = prepareStatement(db.handle, u"SELECT id FROM [assay];");
        EXPECT_THROW(readRows<std::int32_t>(statement, [](std::int32_t) { throw std::runtime_error("stop"); }),
                     std::runtime_error);
    }
    // The interrupted statement was finalized by its owner, so the reading
    // connection (still open) holds no lock and a writer can lock the file.
    DataBaseHandle writer;
    openDataBase(writer, db.path());
    EXPECT_NO_THROW(executeStatement(writer, u"BEGIN EXCLUSIVE;"));
    executeStatement(writer, u"ROLLBACK;");
}

} // namespace
} // namespace norvalt
