#pragma once
// Building blocks for the calculation tests: peaks, chromatograms and the
// alternative names that recognition depends on.
#include <array>
#include <initializer_list>
#include <string>

#include "calc/components.h"
#include "model/chromatogram.h"
#include "model/mixture.h"

namespace norvalt::test {

// Sets the six alternative names for the lifetime of the object and puts
// the previous ones back afterwards: the table is process-wide.
class AltNames {
public:
    explicit AltNames(std::array<std::u16string, 6> names)
    {
        for (int id = 0; id < 6; ++id) {
            saved_[id] = componentTable()[id].altName;
            setComponentAltName(id, names[id]);
        }
    }
    ~AltNames()
    {
        for (int id = 0; id < 6; ++id) setComponentAltName(id, saved_[id]);
    }
    AltNames(const AltNames&) = delete;
    AltNames& operator=(const AltNames&) = delete;

private:
    std::array<std::u16string, 6> saved_;
};

// The short names that the laboratory's chromatograms use in these tests.
inline std::array<std::u16string, 6> shortNames()
{
    return {u"ЭГ", u"ДЭГ", u"ТЭГ", u"Вода", u"Нонанол", u"Бензол"};
}

inline Peak peak(std::u16string name, double area = 1, double concent = 1)
{
    Peak p;
    p.name = std::move(name);
    p.area = area;
    p.concent = concent;
    return p;
}

inline Chromatogram chromatogram(std::u16string fileName, bool isCalibration, int mixtureIndex,
                                 std::initializer_list<Peak> peaks, int kind = 6)
{
    Chromatogram c;
    c.fileName = std::move(fileName);
    c.isCalibration = isCalibration;
    c.mixtureIndex = mixtureIndex;
    c.peaks = peaks;
    c.kind = kind;
    return c;
}

inline Mixture mixture(std::u16string name, std::initializer_list<std::u16string> components)
{
    Mixture m;
    m.name = std::move(name);
    for (const auto& component : components) {
        MixtureComponent mc;
        mc.name = component;
        m.components.push_back(mc);
    }
    return m;
}

} // namespace norvalt::test
