#pragma once
#include <cstdint>
#include <string>

namespace norvalt {

// One peak. The same record serves the peak tables of the chromatogram file
// and the peaks that the database gives an assay; field names are those of
// the file format.
struct Peak {
    double front = 0;
    double back = 0;
    double time = 0;   // retention time
    double area = 0;   // mV·min
    double height = 0;
    double concent = 0;
    std::u16string name;
    bool reference = false;
    std::int32_t left = -1;
    std::int32_t right = -1;
    std::uint32_t flags = 0;
    double front_base_height = 0;
    double back_base_height = 0;
    double index = 0;  // stored as a double by the file format
};

} // namespace norvalt
