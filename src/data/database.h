#pragma once
// The host database as the module reads it: the process-wide location of
// the database, owners of SQLite connections and statements, typed reading
// of result rows, and the one exception type for every SQLite failure.
//
// The module only reads. Each user command opens its own connection and
// closes it at its end; nested lookups open connections of their own, so a
// load keeps up to three connections to the same file open at once.
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include <sqlite3.h>

#include "text/format.h"

namespace norvalt {

namespace DataBase {

// Every failure of open, prepare or step. `what()` is SQLite's own text
// (sqlite3_errmsg for open and prepare, sqlite3_errstr of the code for a
// step); `sql` is the UTF-8 text of the failing statement, empty when no
// statement was involved.
class SqlException : public std::exception {
public:
    SqlException(std::string message, std::int32_t code, std::string sql)
        : code(code), sql(std::move(sql)), message_(std::move(message))
    {
    }

    const char* what() const noexcept override { return message_.c_str(); }

    std::int32_t code;
    std::string sql;

private:
    std::string message_;
};

} // namespace DataBase

// Where the host keeps its database. One instance per process.
class DataBaseConnectionBase {
public:
    virtual ~DataBaseConnectionBase() = default;

    // Absent until the host has named its database.
    std::optional<std::u16string> uri;
};

// The single instance, created by the first call under a process-wide lock.
DataBaseConnectionBase& connection();
// Destroys the instance (the module is unloading); the next connection()
// starts afresh without a uri. References obtained before are invalid.
void releaseConnection();

// One open SQLite connection, closed when the owner goes out of scope.
// Statements prepared on it must be finalized first, which their owners do
// when they are declared after the handle.
class DataBaseHandle {
public:
    DataBaseHandle() = default;
    ~DataBaseHandle();
    DataBaseHandle(DataBaseHandle&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}
    DataBaseHandle& operator=(DataBaseHandle&& other) noexcept;
    DataBaseHandle(const DataBaseHandle&) = delete;
    DataBaseHandle& operator=(const DataBaseHandle&) = delete;

    sqlite3* get() const { return db_; }
    explicit operator bool() const { return db_ != nullptr; }

    // Closes the connection now (no-op when empty).
    void close();

private:
    friend void openDataBase(DataBaseHandle& handle, std::u16string_view uri);
    sqlite3* db_ = nullptr;
};

// How long a statement of a connection the module opens waits for a lock
// that another connection (the host writing) holds before it fails with
// SQLITE_BUSY: the host's writes are short, and a command that fails at
// once for a moment's lock makes the user start it again.
inline constexpr int busyTimeoutMilliseconds = 1000;

// Opens uri as a plain path (URI file names are off; an empty text gives a
// private temporary database; a missing file is created), turns foreign key
// enforcement on and registers the Unicode SQL functions and the NOCASE
// collation. Whatever the handle held before is closed first.
void openDataBase(DataBaseHandle& handle, std::u16string_view uri);

// Opens the database that connection() names.
DataBaseHandle openHostDataBase();

// One prepared statement, finalized when the owner goes out of scope.
class DataBaseStatement {
public:
    DataBaseStatement() = default;
    explicit DataBaseStatement(sqlite3_stmt* statement) : statement_(statement) {}
    ~DataBaseStatement() { finalize(); }
    DataBaseStatement(DataBaseStatement&& other) noexcept : statement_(std::exchange(other.statement_, nullptr)) {}
    DataBaseStatement& operator=(DataBaseStatement&& other) noexcept;
    DataBaseStatement(const DataBaseStatement&) = delete;
    DataBaseStatement& operator=(const DataBaseStatement&) = delete;

    sqlite3_stmt* get() const { return statement_; }

    // Finalizes now; the result of sqlite3_finalize is of no interest, the
    // failure (if any) was already reported by the step.
    void finalize();

private:
    sqlite3_stmt* statement_ = nullptr;
};

// Prepares the text of format formatted printf-style with args (as the
// string table's patterns are: a literal '%' in SQL must be written "%%"
// when arguments may follow). A failure throws with sqlite3_errmsg and an
// empty sql, as no statement exists.
DataBaseStatement prepareStatementText(const DataBaseHandle& handle, const std::u16string& text);

template <class... Args>
DataBaseStatement prepareStatement(const DataBaseHandle& handle, std::u16string_view format, const Args&... args)
{
    return prepareStatementText(handle, formatText(format, {FormatArg(args)...}));
}

// Parameter binding, positions from 1. Binding can only fail for a wrong
// position or an out-of-memory copy; both show up at the step, so the
// results are not checked. Text is bound up to its first zero unit and
// copied by SQLite.
void bindInt(DataBaseStatement& statement, int position, std::int32_t value);
void bindInt64(DataBaseStatement& statement, int position, std::int64_t value);
void bindText(DataBaseStatement& statement, int position, const std::u16string& value);

namespace detail {

// A column as one of the row types; NULL gives the type's default, any
// other value is converted by SQLite.
template <class T>
T readColumn(sqlite3_stmt* statement, int column);

template <>
inline std::int32_t readColumn<std::int32_t>(sqlite3_stmt* statement, int column)
{
    return sqlite3_column_type(statement, column) == SQLITE_NULL ? 0 : sqlite3_column_int(statement, column);
}

template <>
inline std::int64_t readColumn<std::int64_t>(sqlite3_stmt* statement, int column)
{
    return sqlite3_column_type(statement, column) == SQLITE_NULL ? 0 : sqlite3_column_int64(statement, column);
}

template <>
inline double readColumn<double>(sqlite3_stmt* statement, int column)
{
    return sqlite3_column_type(statement, column) == SQLITE_NULL ? 0.0 : sqlite3_column_double(statement, column);
}

template <>
inline std::u16string readColumn<std::u16string>(sqlite3_stmt* statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return {};
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(statement, column));
    return text ? std::u16string(text) : std::u16string();
}

[[noreturn]] void throwStepFailure(sqlite3_stmt* statement, int rc);

} // namespace detail

// Reads the current row as Columns (column 0 first) and calls handler with
// one value of each type.
template <class... Columns>
struct RowReader {
    template <class Handler>
    static void read(sqlite3_stmt* statement, Handler& handler)
    {
        readIndexed(statement, handler, std::index_sequence_for<Columns...>{});
    }

private:
    template <class Handler, std::size_t... Index>
    static void readIndexed([[maybe_unused]] sqlite3_stmt* statement, Handler& handler, std::index_sequence<Index...>)
    {
        // Braced initialisation reads the columns in order.
        std::tuple<Columns...> values{detail::readColumn<Columns>(statement, static_cast<int>(Index))...};
        std::apply(handler, std::move(values));
    }
};

// Steps the statement to its end, handing each row to handler through
// RowReader<Columns...>, and finalizes it. A step that ends in anything but
// SQLITE_DONE throws with sqlite3_errstr of its code and the statement's
// text. An exception from the handler leaves the statement to its owner.
// A text without a statement (blank or only a comment) has no rows.
template <class... Columns, class Handler>
void readRows(DataBaseStatement& statement, Handler&& handler)
{
    if (!statement.get())
        return;
    int rc = sqlite3_step(statement.get());
    while (rc == SQLITE_ROW) {
        RowReader<Columns...>::read(statement.get(), handler);
        rc = sqlite3_step(statement.get());
    }
    if (rc != SQLITE_DONE)
        detail::throwStepFailure(statement.get(), rc);
    statement.finalize();
}

// Runs one statement (the first of the text) and ignores any rows it gives.
void executeStatement(const DataBaseHandle& handle, const std::u16string& sql);

} // namespace norvalt
