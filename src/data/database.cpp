#include "data/database.h"

#include <memory>
#include <mutex>

#include "data/unicode_sql.h"

namespace norvalt {

namespace {

std::mutex& connectionLock()
{
    static std::mutex lock;
    return lock;
}

std::unique_ptr<DataBaseConnectionBase>& connectionInstance()
{
    static std::unique_ptr<DataBaseConnectionBase> instance;
    return instance;
}

} // namespace

DataBaseConnectionBase& connection()
{
    std::lock_guard<std::mutex> guard(connectionLock());
    auto& instance = connectionInstance();
    if (!instance)
        instance = std::make_unique<DataBaseConnectionBase>();
    return *instance;
}

void releaseConnection()
{
    std::lock_guard<std::mutex> guard(connectionLock());
    connectionInstance().reset();
}

DataBaseHandle::~DataBaseHandle()
{
    close();
}

DataBaseHandle& DataBaseHandle::operator=(DataBaseHandle&& other) noexcept
{
    if (this != &other) {
        close();
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

void DataBaseHandle::close()
{
    if (db_)
        sqlite3_close(std::exchange(db_, nullptr));
}

void openDataBase(DataBaseHandle& handle, std::u16string_view uri)
{
    handle.close();
    const std::u16string path(uri);
    int rc = sqlite3_open16(path.c_str(), &handle.db_);
    if (rc == SQLITE_OK)
        rc = sqlite3_db_config(handle.db_, SQLITE_DBCONFIG_ENABLE_FKEY, 1, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_busy_timeout(handle.db_, busyTimeoutMilliseconds);
    if (rc == SQLITE_OK)
        rc = registerUnicodeFunctions(handle.db_);
    if (rc != SQLITE_OK) {
        // A failed open still leaves a connection object holding the message;
        // take the text, then let nothing half-open escape.
        DataBase::SqlException failure(sqlite3_errmsg(handle.db_), rc, std::string());
        handle.close();
        throw failure;
    }
}

DataBaseHandle openHostDataBase()
{
    DataBaseHandle handle;
    openDataBase(handle, connection().uri.value_or(std::u16string()));
    return handle;
}

DataBaseStatement& DataBaseStatement::operator=(DataBaseStatement&& other) noexcept
{
    if (this != &other) {
        finalize();
        statement_ = std::exchange(other.statement_, nullptr);
    }
    return *this;
}

void DataBaseStatement::finalize()
{
    if (statement_)
        sqlite3_finalize(std::exchange(statement_, nullptr));
}

DataBaseStatement prepareStatementText(const DataBaseHandle& handle, const std::u16string& text)
{
    // SQLite built without API armour would dereference a null connection.
    if (!handle)
        throw DataBase::SqlException(sqlite3_errstr(SQLITE_MISUSE), SQLITE_MISUSE, std::string());
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare16_v2(handle.get(), text.c_str(), -1, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw DataBase::SqlException(sqlite3_errmsg(handle.get()), rc, std::string());
    }
    return DataBaseStatement(statement);
}

void bindInt(DataBaseStatement& statement, int position, std::int32_t value)
{
    sqlite3_bind_int(statement.get(), position, value);
}

void bindInt64(DataBaseStatement& statement, int position, std::int64_t value)
{
    sqlite3_bind_int64(statement.get(), position, value);
}

void bindText(DataBaseStatement& statement, int position, const std::u16string& value)
{
    sqlite3_bind_text16(statement.get(), position, value.c_str(), -1, SQLITE_TRANSIENT);
}

namespace detail {

void throwStepFailure(sqlite3_stmt* statement, int rc)
{
    const char* sql = sqlite3_sql(statement);
    throw DataBase::SqlException(sqlite3_errstr(rc), rc, sql ? std::string(sql) : std::string());
}

} // namespace detail

void executeStatement(const DataBaseHandle& handle, const std::u16string& sql)
{
    auto statement = prepareStatementText(handle, sql);
    readRows<>(statement, [] {});
}

} // namespace norvalt
