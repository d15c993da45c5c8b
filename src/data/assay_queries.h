#pragma once
// An assay of the host database turned into a Chromatogram: the assay row
// with its peaks, the calibration mixture it names (read into the set's
// mixture list the first time it is met), the sample volume and water mass
// fraction from its chromatogram file, and its kind and column.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calc/message_list.h"
#include "data/database.h"
#include "model/chromatogram.h"
#include "model/mixture.h"

namespace norvalt {

// Reads assay assayId through the command's open handle. Nothing when no
// row qualifies (no such id, deleted or hidden) or the file name is empty.
// A chromatogram file that cannot be read is reported to the user (string
// 143) and leaves volume and water mass fraction 0; the chromatogram is
// still returned and classified, findings going to messages. Database
// failures throw DataBase::SqlException. The mixture lookups open their own
// connections to the database that connection() names.
std::optional<Chromatogram> loadAssay(const DataBaseHandle& handle, std::int32_t assayId,
                                      std::vector<Mixture>& mixtures, MessageList& messages);

// Reaches the assay table through the handle, reading no row: throws
// DataBase::SqlException when the database cannot be read (locked past the
// busy timeout, not the host's database, unreadable), so that a command can
// find out before it changes anything.
void reachAssayTable(const DataBaseHandle& handle);

// The position in mixtures of the mixture named name in the database
// (compared with the collation of the mixture's name column), appending it
// with its components when it is new; -1 when the database has none of that
// name. With several rows of that name the last one's position.
std::int32_t findMixture(const std::u16string& name, std::vector<Mixture>& mixtures);

// The position of the mixture of row.id in mixtures. A new one is appended
// with row's fields and its components read from the database; a known one
// is neither changed nor read again. row.components is not used.
std::int32_t addMixture(const Mixture& row, std::vector<Mixture>& mixtures);

} // namespace norvalt
