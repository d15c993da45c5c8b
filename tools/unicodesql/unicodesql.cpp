// The module's Unicode SQL functions and NOCASE collation as a SQLite
// loadable extension, for the stock sqlite3 shell:  .load unicodesql
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include "data/unicode_sql.h"

#ifdef _WIN32
#define NORVALT_EXPORT __declspec(dllexport)
#else
#define NORVALT_EXPORT __attribute__((visibility("default")))
#endif

extern "C" NORVALT_EXPORT int sqlite3_unicodesql_init(sqlite3* db, char** /*errorMessage*/,
                                                      const sqlite3_api_routines* api)
{
    SQLITE_EXTENSION_INIT2(api);
    return norvalt::registerUnicodeFunctions(db);
}
