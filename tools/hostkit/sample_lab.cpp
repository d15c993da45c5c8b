// The sample laboratory: a small laboratory made up for trying the module.
// lab.db holds the host's tables with calibration mixtures and assays, and
// chromatograms/ the chromatogram files the assays name.
//
// Column 1 (internal standard nonanol-1): three mixtures of diethylene and
// triethylene glycol, each measured twice, and three analysed batches.
// Column 2 (internal standard benzyl alcohol): two mixtures, each measured
// twice, and two analysed batches. All calibrations hold triethylene
// glycol. Areas follow the mixtures' concentrations with a little scatter,
// as real injections do; the analysed batches carry the instrument's own
// concentration estimates in their peak tables.
#include "sample_lab.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/host_schema.h"
#include "data/lab_writer.h"
#include "text/format.h"

namespace norvalt {

namespace {

// Mixture component names are stored as the module compares them with
// peak names: normalised (lower case, without blanks).
Mixture mixture(std::int32_t id, const std::u16string& name, const std::u16string& ballon, double deg, double teg,
                const std::u16string& standard, double standardConcentration)
{
    return Mixture{id,
                   name,
                   ballon,
                   1767225600,  // 2026-01-01
                   1798761600,  // 2027-01-01
                   {{u"1", u"этиленгликоль", 99.0, 0.5},
                    {u"2", u"диэтиленгликоль", deg, deg * 0.02},
                    {u"3", u"триэтиленгликоль", teg, teg * 0.02},
                    {u"4", standard, standardConcentration, 0.01}}};
}

struct Calibration {
    std::u16string mixture;
    double standardArea, degArea, tegArea;
};

struct Batch {
    std::u16string sample;
    double standardArea, degArea, tegArea;
};

struct Column {
    std::u16string standardName;  // as the instrument names the peak
    double standardTime;
    std::u16string prefix;        // of the file names
    std::vector<Calibration> calibrations;
    std::vector<Batch> batches;
};

} // namespace

std::filesystem::path writeSampleLab(const std::filesystem::path& dir)
{
    const std::filesystem::path chromatograms = dir / "chromatograms";
    std::filesystem::create_directories(chromatograms);
    const std::filesystem::path dbPath = dir / "lab.db";
    std::filesystem::remove(dbPath);

    const Column columns[] = {
        {u"Нонанол-1",
         9.31,
         u"k1",
         {{u"ГС-1", 50.2, 8.1, 3.9},
          {u"ГС-1", 49.6, 7.9, 3.7},
          {u"ГС-2", 50.5, 20.3, 11.5},
          {u"ГС-2", 49.9, 19.8, 11.2},
          {u"ГС-3", 50.1, 40.4, 19.2},
          {u"ГС-3", 49.4, 39.7, 18.8}},
         {{u"Партия 2611-01", 50.3, 61.0, 45.0},
          {u"Партия 2611-02", 49.8, 59.5, 44.1},
          {u"Партия 2611-03", 50.6, 62.2, 46.3}}},
        {u"Бензиловый спирт",
         8.64,
         u"k2",
         {{u"ГС-4", 60.1, 14.2, 7.1}, {u"ГС-4", 59.5, 13.8, 6.8}, {u"ГС-5", 60.8, 37.5, 14.6}, {u"ГС-5", 59.9, 36.9, 14.1}},
         {{u"Партия 2611-04", 60.4, 52.0, 30.5}, {u"Партия 2611-05", 59.7, 50.8, 29.9}}},
    };

    {
        DataBaseHandle db;
        openDataBase(db, dbPath.u16string());
        createHostTables(db);
        executeStatement(db, u"BEGIN;");
        insertMixture(db, mixture(1, u"ГС-1", u"Баллон 114", 0.02, 0.01, u"нонанол-1", 0.5));
        insertMixture(db, mixture(2, u"ГС-2", u"Баллон 115", 0.05, 0.03, u"нонанол-1", 0.5));
        insertMixture(db, mixture(3, u"ГС-3", u"Баллон 116", 0.10, 0.05, u"нонанол-1", 0.5));
        insertMixture(db, mixture(4, u"ГС-4", u"Баллон 117", 0.03, 0.02, u"бензиловыйспирт", 0.5));
        insertMixture(db, mixture(5, u"ГС-5", u"Баллон 118", 0.08, 0.04, u"бензиловыйспирт", 0.5));

        std::int64_t id = 0;
        std::int64_t date = 1793523600;  // 2026-11-01 09:00 UTC, then every 40 minutes
        auto addAssay = [&](const std::u16string& fileStem, const std::u16string& sample, const std::u16string& mix,
                            bool calibration, std::vector<LabPeak> peaks) {
            const std::filesystem::path file = std::filesystem::absolute(chromatograms / (fileStem + u".stg"));
            if (writeChromatogramFile(file.u16string(), sample, 1.0, calibration ? 0.0 : 0.08) != 0)
                throw std::runtime_error("cannot write " + file.string());
            insertAssay(db, LabAssay{++id, file.u16string(), sample, mix, date, calibration, std::move(peaks)});
            date += 40 * 60;
        };

        for (const Column& c : columns) {
            int n = 0;
            for (const Calibration& cal : c.calibrations) {
                // Concentrations of calibration peaks come from the mixture.
                addAssay(c.prefix + u"-grad-" + formatInt(++n), u"Градуировка " + cal.mixture, cal.mixture, true,
                         {{u"Этиленгликоль", 3.45, 19750.0 + 10 * n, 0},
                          {u"Диэтиленгликоль", 7.82, cal.degArea, 0},
                          {c.standardName, c.standardTime, cal.standardArea, 0},
                          {u"Триэтиленгликоль", 11.05, cal.tegArea, 0}});
            }
            n = 0;
            for (const Batch& b : c.batches) {
                addAssay(c.prefix + u"-analysis-" + formatInt(++n), b.sample, u"", false,
                         {{u"Вода", 0.92, 12.5, 0},
                          {u"Этиленгликоль", 3.46, 39620.0 + 15 * n, 99.8},
                          {u"н/и", 5.10, 0.8, 0},
                          {u"Диэтиленгликоль", 7.83, b.degArea, 480},
                          {c.standardName, c.standardTime + 0.01, b.standardArea, 0.5},
                          {u"Триэтиленгликоль", 11.06, b.tegArea, 300}});
            }
        }
        executeStatement(db, u"COMMIT;");
    }
    return dbPath;
}


} // namespace norvalt
