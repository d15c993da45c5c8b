#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace norvalt {

struct MixtureComponent {
    std::u16string nameid;  // read as text even where the database stores a number
    std::u16string name;
    double concentration = 0;
    double deviation = 0;
};

// A calibration mixture of the host database with its components.
struct Mixture {
    std::int32_t id = 0;
    std::u16string name;
    std::u16string ballon;       // gas cylinder
    std::int64_t release = 0;    // carried as read
    std::int64_t expiry = 0;     // carried as read
    std::vector<MixtureComponent> components;
};

} // namespace norvalt
