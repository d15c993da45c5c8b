#pragma once
// The part of the host's database schema that the module reads: assays with
// their deletion and hiding flags, their peaks, and the calibration mixtures
// with their components. The host owns the real schema; this is what a
// database made in its place (tests, the sample laboratory) needs.
#include "data/database.h"

namespace norvalt {

// Creates [assay], [peak], [mixture] and [mixturecomp] on an open
// connection, unless they exist. The mixture's name is declared
// COLLATE NOCASE, so lookups by name go through the module's Unicode
// collation on its own connections.
void createHostTables(const DataBaseHandle& handle);

} // namespace norvalt
