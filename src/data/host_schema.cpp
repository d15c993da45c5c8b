#include "data/host_schema.h"

namespace norvalt {

namespace {

// The assay statement joins [assay] and [peak] and names isdeleted,
// ishidden, time, filename, sample, mixture, date and assayid without a
// table, so each of these columns must exist in exactly one of the two.
// No index on the mixture's name: an index ordered by the module's NOCASE
// would disagree with the ASCII NOCASE of a stock SQLite shell.
const char16_t* const hostTables[] = {
    u"CREATE TABLE IF NOT EXISTS [assay] ("
    u" id INTEGER PRIMARY KEY,"
    u" filename TEXT,"
    u" sample TEXT,"
    u" mixture TEXT,"
    u" date INTEGER,"
    u" iscalibration INTEGER NOT NULL DEFAULT 0,"
    u" isdeleted INTEGER NOT NULL DEFAULT 0,"
    u" ishidden INTEGER NOT NULL DEFAULT 0);",

    u"CREATE TABLE IF NOT EXISTS [peak] ("
    u" id INTEGER PRIMARY KEY,"
    u" assayid INTEGER NOT NULL REFERENCES [assay](id) ON DELETE CASCADE,"
    u" name TEXT,"
    u" time REAL,"
    u" area REAL,"
    u" concentration REAL);",

    u"CREATE INDEX IF NOT EXISTS [peak_assayid] ON [peak](assayid);",

    u"CREATE TABLE IF NOT EXISTS [mixture] ("
    u" id INTEGER PRIMARY KEY,"
    u" name TEXT COLLATE NOCASE,"
    u" ballon TEXT,"
    u" release INTEGER,"
    u" expiry INTEGER);",

    u"CREATE TABLE IF NOT EXISTS [mixturecomp] ("
    u" id INTEGER PRIMARY KEY,"
    u" mixtureid INTEGER NOT NULL REFERENCES [mixture](id) ON DELETE CASCADE,"
    u" nameid TEXT,"
    u" name TEXT,"
    u" concentration REAL,"
    u" deviation REAL);",

    u"CREATE INDEX IF NOT EXISTS [mixturecomp_mixtureid] ON [mixturecomp](mixtureid);",
};

} // namespace

void createHostTables(const DataBaseHandle& handle)
{
    for (const char16_t* sql : hostTables)
        executeStatement(handle, sql);
}

} // namespace norvalt
