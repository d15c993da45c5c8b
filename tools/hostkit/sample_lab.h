#pragma once
// The sample laboratory that `norvalt sample-lab`, `make demo` and the
// Windows test host write: calibration mixtures ГС-1 to ГС-5, calibration
// chromatograms and analysed batches on both columns.
#include <filesystem>

namespace norvalt {

// Writes dir/lab.db (replacing one that is there) and the chromatogram
// files in dir/chromatograms; gives the database's path. Throws
// DataBase::SqlException for a database failure and std::exception for a
// file that cannot be written.
std::filesystem::path writeSampleLab(const std::filesystem::path& dir);

} // namespace norvalt
