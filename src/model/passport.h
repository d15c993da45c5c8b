#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace norvalt {

// One chromatographic column of the instrument.
struct PassportColumn {
    std::int32_t channel = 0;
    std::u16string name;
    std::u16string brand;
    std::int32_t type = 0;
    double diameter = 0;
    double length = 0;
    std::u16string carrier;
    std::u16string phase;
    double percent = 0;
    std::int32_t unit = 0;
    double fraction0 = 0;
    double fraction1 = 0;
    double film = 0;
    std::u16string part;
    std::u16string serial;
};

// A free-form passport entry: the element's name, its title and its text.
struct PassportValue {
    std::u16string name;
    std::u16string title;
    std::u16string value;
};

// The descriptive header of a chromatogram file.
struct Passport {
    std::u16string path;  // where the file was loaded from or last saved to; not stored
    std::u16string assayid = u"00000000-0000-0000-0000-000000000000";
    std::u16string series;
    std::int64_t andate = 0;
    double duration = 0;
    std::u16string sample;
    std::u16string method;
    bool graduation = false;
    std::int64_t date = 0;
    bool defect = false;
    std::u16string mixture;
    std::vector<PassportColumn> columns;
    std::vector<PassportValue> values;
};

} // namespace norvalt
