#pragma once
// Writes what a laboratory's host database and instruments hold, in the form
// the module reads: assay rows with their peaks, calibration mixtures with
// their components, and chromatogram files with the passport values the
// module takes. The sample laboratory and the tests build their data with it.
#include <cstdint>
#include <string>
#include <vector>

#include "data/database.h"
#include "model/mixture.h"

namespace norvalt {

struct LabPeak {
    std::u16string name;
    double time = 0;
    double area = 0;
    double concentration = 0;
};

struct LabAssay {
    std::int64_t id = 0;
    std::u16string fileName;
    std::u16string sample;
    std::u16string mixture;  // the mixture's name, empty for none
    std::int64_t date = 0;
    bool isCalibration = false;
    std::vector<LabPeak> peaks;
};

// Inserts the assay row and one peak row per peak.
void insertAssay(const DataBaseHandle& handle, const LabAssay& assay);
// Inserts the mixture row and one component row per component.
void insertMixture(const DataBaseHandle& handle, const Mixture& mixture);

// Writes a chromatogram file with one short channel, a passport with the
// sample and method, the element "volume" and the element titled with the
// water mass fraction's title (string 114); gives saveToFile's code.
int writeChromatogramFile(const std::u16string& path, const std::u16string& sample, double volume,
                          double waterMassFraction);

} // namespace norvalt
