#pragma once
// The laboratory the main window's benchmarks run on: 256 assays of column 2
// with their chromatogram files, 4 calibrations of two mixtures (ГС-4, ГС-5)
// and 252 analysed batches, peaks scattered a little from assay to assay.
#include <filesystem>
#include <string>

#include "data/database.h"
#include "data/host_schema.h"
#include "data/lab_writer.h"
#include "text/format.h"
#include "workset/chromatogram_set.h"
#include "workset/windowless_views.h"

namespace norvalt {

inline constexpr int benchAssayCount = 256;

inline Mixture benchMixture(std::int32_t id, const std::u16string& name, double deg, double teg)
{
    return Mixture{id,
                   name,
                   u"Баллон",
                   0,
                   0,
                   {{u"1", u"этиленгликоль", 99.0, 0.5},
                    {u"2", u"диэтиленгликоль", deg, deg * 0.02},
                    {u"3", u"триэтиленгликоль", teg, teg * 0.02},
                    {u"4", u"бензиловыйспирт", 0.5, 0.01}}};
}

inline std::filesystem::path writeBenchLab(const std::filesystem::path& dir)
{
    std::filesystem::create_directories(dir / "chromatograms");
    const std::filesystem::path db = dir / "lab.db";
    std::filesystem::remove(db);
    DataBaseHandle handle;
    openDataBase(handle, db.u16string());
    createHostTables(handle);
    executeStatement(handle, u"BEGIN;");
    insertMixture(handle, benchMixture(1, u"ГС-4", 0.03, 0.02));
    insertMixture(handle, benchMixture(2, u"ГС-5", 0.08, 0.04));
    for (int id = 1; id <= benchAssayCount; ++id) {
        const bool calibration = id <= 4;
        const std::u16string mix = !calibration ? u"" : id <= 2 ? u"ГС-4" : u"ГС-5";
        const std::filesystem::path file = dir / "chromatograms" / ("a" + std::to_string(id) + ".stg");
        writeChromatogramFile(file.u16string(), u"Партия " + formatInt(id), 1.0, calibration ? 0.0 : 0.08);
        const double scatter = 0.1 * (id % 7);
        insertAssay(handle, LabAssay{id,
                                     file.u16string(),
                                     u"Партия " + formatInt(id),
                                     mix,
                                     1793523600 + id * 60,
                                     calibration,
                                     {{u"Вода", 0.92, 12.5, 0},
                                      {u"Этиленгликоль", 3.45, 19750.0 + id, calibration ? 0 : 99.8},
                                      {u"Диэтиленгликоль", 7.82, (id <= 2 ? 14.0 : 37.0) + scatter, 0},
                                      {u"Бензиловый спирт", 8.64, 60.0 + scatter, 0},
                                      {u"Триэтиленгликоль", 11.05, (id <= 2 ? 7.0 : 14.0) + scatter, 0}}});
    }
    executeStatement(handle, u"COMMIT;");
    return db;
}

} // namespace norvalt
