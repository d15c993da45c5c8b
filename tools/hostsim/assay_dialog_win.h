#pragma once
// The host's assay selection dialog ("Main/OpenAssayIdDlg"): the assays of
// the database, several of which the user may choose.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace norvalt::hostsim {

// The chosen ids in list order; empty when the user cancels or chooses none.
// A database that cannot be read shows its failure in the list.
std::vector<std::int32_t> chooseAssays(HWND owner, const std::u16string& dataBase);

} // namespace norvalt::hostsim
