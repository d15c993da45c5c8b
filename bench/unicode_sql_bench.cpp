// The Unicode NOCASE collation and LIKE against SQLite's built-in ASCII ones
// on the same 200 000 names, in the same run: each *_Builtin benchmark runs on
// a connection without the module's functions. The *File pair sorts a UTF-8
// database file through SQLite, as the stock shell with the extension does.
#include "data/unicode_sql.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using DbPtr = std::unique_ptr<sqlite3, CloseDb>;

// Mixed Cyrillic and Latin names of two to four syllables in varied case,
// from a fixed linear congruential sequence so that every run sorts the same.
std::string makeName(std::uint32_t& state)
{
    static const char* const cyrillic[] = {"ли", "ка", "ЕЛ", "ён", "мо", "Гли", "ко", "ль", "ДИ", "эт", "ан", "ОЛ",
                                           "бе", "нз", "Ёр", "ви", "жу", "ТР", "щи", "я"};
    static const char* const latin[] = {"li", "Ka", "el", "ON", "mo", "gly", "co", "L", "di", "Et", "an", "OL",
                                        "be", "nz", "er", "Vi", "ju", "TR", "sch", "ya"};
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    const bool isCyrillic = next() % 3 != 0;
    std::string name;
    for (std::uint32_t n = 2 + next() % 3; n > 0; --n)
        name += (isCyrillic ? cyrillic : latin)[next() % 20];
    name += ' ';
    name += std::to_string(next() % 1000);
    return name;
}

// `where` is ":memory:" or a file (written afresh); in a file the names have
// no collation of their own, as a table the stock shell is asked to sort with
// "order by name collate nocase".
DbPtr makeDatabase(bool unicode, const std::string& where = ":memory:")
{
    const bool inFile = where != ":memory:";
    if (inFile)
        std::remove(where.c_str());
    sqlite3* raw = nullptr;
    sqlite3_open(where.c_str(), &raw);
    DbPtr db(raw);
    if (unicode)
        norvalt::registerUnicodeFunctions(db.get());
    sqlite3_exec(db.get(), inFile ? "create table names(name text)" : "create table names(name text collate nocase)",
                 nullptr, nullptr, nullptr);
    sqlite3_exec(db.get(), "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db.get(), "insert into names values (?1)", -1, &insert, nullptr);
    std::uint32_t state = 12345;
    for (int i = 0; i < 200000; ++i) {
        const std::string name = makeName(state);
        sqlite3_bind_text(insert, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db.get(), "commit", nullptr, nullptr, nullptr);
    return db;
}

sqlite3* database(bool unicode)
{
    static DbPtr withUnicode = makeDatabase(true);
    static DbPtr builtin = makeDatabase(false);
    return unicode ? withUnicode.get() : builtin.get();
}

// The same names in a UTF-8 database file, each kind of connection opening
// it as the shell would.
sqlite3* fileDatabase(bool unicode)
{
    static const std::string path = (std::filesystem::temp_directory_path() / "norvalt-bench-names.db").string();
    static DbPtr written = makeDatabase(false, path);
    static DbPtr withUnicode = [] {
        sqlite3* raw = nullptr;
        sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
        norvalt::registerUnicodeFunctions(raw);
        return DbPtr(raw);
    }();
    return unicode ? withUnicode.get() : written.get();
}

void runQuery(benchmark::State& state, sqlite3* db, const char* sql)
{
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    std::int64_t rows = 0;
    for (auto _ : state) {
        while (sqlite3_step(stmt) == SQLITE_ROW)
            ++rows;
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    state.counters["rows"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kAvgIterations);
}

constexpr const char* sortQuery = "select name from names order by name";
constexpr const char* sortFileQuery = "select name from names order by name collate nocase";
constexpr const char* likeQuery = "select name from names where name like '%ли%'";

void BM_NocaseSort(benchmark::State& state) { runQuery(state, database(true), sortQuery); }
void BM_NocaseSort_Builtin(benchmark::State& state) { runQuery(state, database(false), sortQuery); }
void BM_NocaseSortFile(benchmark::State& state) { runQuery(state, fileDatabase(true), sortFileQuery); }
void BM_NocaseSortFile_Builtin(benchmark::State& state) { runQuery(state, fileDatabase(false), sortFileQuery); }
void BM_LikeScan(benchmark::State& state) { runQuery(state, database(true), likeQuery); }
void BM_LikeScan_Builtin(benchmark::State& state) { runQuery(state, database(false), likeQuery); }

BENCHMARK(BM_NocaseSort)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NocaseSort_Builtin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NocaseSortFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NocaseSortFile_Builtin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LikeScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LikeScan_Builtin)->Unit(benchmark::kMillisecond);

// The longest pattern allowed, 25 000 pairs "%a", against 20 000 letters:
// one pass over the text, however many '%' the pattern holds.
void BM_LikeLongPattern(benchmark::State& state)
{
    std::string pattern;
    for (int i = 0; i < 25000; ++i)
        pattern += "%a";
    const std::string text(20000, 'A');
    for (auto _ : state)
        benchmark::DoNotOptimize(norvalt::likeMatch(pattern, text, std::nullopt));
}

BENCHMARK(BM_LikeLongPattern)->Unit(benchmark::kMicrosecond);

} // namespace
