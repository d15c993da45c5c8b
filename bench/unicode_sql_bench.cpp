// The Unicode NOCASE collation and LIKE against SQLite's built-in ASCII ones
// on the same 200 000 names, in the same run: each *_Builtin benchmark runs on
// a connection without the module's functions.
#include "data/unicode_sql.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
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

DbPtr makeDatabase(bool unicode)
{
    sqlite3* raw = nullptr;
    sqlite3_open(":memory:", &raw);
    DbPtr db(raw);
    if (unicode)
        norvalt::registerUnicodeFunctions(db.get());
    sqlite3_exec(db.get(), "create table names(name text collate nocase)", nullptr, nullptr, nullptr);
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

void runQuery(benchmark::State& state, bool unicode, const char* sql)
{
    sqlite3* db = database(unicode);
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
constexpr const char* likeQuery = "select name from names where name like '%ли%'";

void BM_NocaseSort(benchmark::State& state) { runQuery(state, true, sortQuery); }
void BM_NocaseSort_Builtin(benchmark::State& state) { runQuery(state, false, sortQuery); }
void BM_LikeScan(benchmark::State& state) { runQuery(state, true, likeQuery); }
void BM_LikeScan_Builtin(benchmark::State& state) { runQuery(state, false, likeQuery); }

BENCHMARK(BM_NocaseSort)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NocaseSort_Builtin)->Unit(benchmark::kMillisecond);
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
