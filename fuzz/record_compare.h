#pragma once
// Field-by-field comparison of two chromatogram file records for the fuzz
// targets' round-trip checks.
#include <cmath>
#include <cstring>
#include <vector>

#include "data/corvane_file.h"

namespace norvalt::fuzz {

// Equal, or both NaN: a NaN is written as "nan" and read back as some NaN.
inline bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

inline bool samePeak(const Peak& a, const Peak& b)
{
    return same(a.front, b.front) && same(a.back, b.back) && same(a.time, b.time) && same(a.area, b.area) &&
           same(a.height, b.height) && same(a.concent, b.concent) && a.name == b.name &&
           a.reference == b.reference && a.left == b.left && a.right == b.right && a.flags == b.flags &&
           same(a.front_base_height, b.front_base_height) && same(a.back_base_height, b.back_base_height) &&
           same(a.index, b.index);
}

inline bool sameColumn(const PassportColumn& a, const PassportColumn& b)
{
    return a.channel == b.channel && a.name == b.name && a.brand == b.brand && a.type == b.type &&
           same(a.diameter, b.diameter) && same(a.length, b.length) && a.carrier == b.carrier &&
           a.phase == b.phase && same(a.percent, b.percent) && a.unit == b.unit &&
           same(a.fraction0, b.fraction0) && same(a.fraction1, b.fraction1) && same(a.film, b.film) &&
           a.part == b.part && a.serial == b.serial;
}

// Text inside the passport element reads as a value without a name, which
// has no element to be written as.
inline std::vector<PassportValue> namedValues(const std::vector<PassportValue>& values)
{
    std::vector<PassportValue> named;
    for (const PassportValue& v : values)
        if (!v.name.empty()) named.push_back(v);
    return named;
}

inline bool samePassport(const Passport& a, const Passport& b, bool afterSave)
{
    if (!(a.assayid == b.assayid && a.series == b.series && a.andate == b.andate && same(a.duration, b.duration) &&
          a.sample == b.sample && a.method == b.method && a.graduation == b.graduation && a.date == b.date &&
          a.defect == b.defect && a.mixture == b.mixture && a.columns.size() == b.columns.size()))
        return false;
    for (std::size_t i = 0; i < a.columns.size(); ++i)
        if (!sameColumn(a.columns[i], b.columns[i])) return false;
    const auto va = afterSave ? namedValues(a.values) : a.values;
    const auto vb = afterSave ? namedValues(b.values) : b.values;
    if (va.size() != vb.size()) return false;
    for (std::size_t i = 0; i < va.size(); ++i)
        if (va[i].name != vb[i].name || va[i].title != vb[i].title || va[i].value != vb[i].value) return false;
    return true;
}

inline bool uniqueNumber(const std::vector<Channel>& channels, std::size_t i)
{
    for (std::size_t k = 0; k < channels.size(); ++k)
        if (k != i && channels[k].number == channels[i].number) return false;
    return true;
}

// afterSave: b was saved from a and loaded again. Peak tables are found by
// channel number, so channels that share a number cannot keep theirs apart.
inline bool sameRecord(const CCorvaneFile4& a, const CCorvaneFile4& b, bool afterSave)
{
    if (a.version != b.version || a.channels.size() != b.channels.size()) return false;
    if (!samePassport(a.passport, b.passport, afterSave)) return false;
    for (std::size_t i = 0; i < a.channels.size(); ++i) {
        const Channel& x = a.channels[i];
        const Channel& y = b.channels[i];
        if (x.number != y.number || x.samples != y.samples || x.blockValueA != y.blockValueA ||
            x.blockValueB != y.blockValueB)
            return false;
        if (afterSave && !uniqueNumber(a.channels, i)) continue;
        if (x.peaks.size() != y.peaks.size()) return false;
        for (std::size_t k = 0; k < x.peaks.size(); ++k)
            if (!samePeak(x.peaks[k], y.peaks[k])) return false;
    }
    return true;
}

} // namespace norvalt::fuzz
