// The calculator against a plain reading of its rules, on randomised sets:
// every lookup is a linear search for the first match, so whatever index
// the calculator keeps must give bit-identical results.
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "calc/calculator.h"
#include "calc/checks.h"
#include "calc/components.h"
#include "calc/kinds.h"
#include "calc/norms.h"
#include "calc_fixtures.h"
#include "text/path.h"

namespace norvalt {
namespace {

// ---- the reference -------------------------------------------------------

using ByFile = std::vector<std::pair<std::u16string, double>>;

struct RefPoint {
    std::u16string file;
    double volume, concentration, area;
    double coefficient = 0;
    ByFile byFile;
};
struct RefSeries {
    std::u16string name;
    std::int32_t mixture;
    std::vector<RefPoint> points;
    double mean = 0;
    ByFile meanByFile;
};
struct RefAnalysis {
    std::u16string file;
    double concentration, area;
};
struct Reference {
    std::vector<RefSeries> series;
    std::int32_t standardId = 6;
    std::int32_t standardSeries = -1;
    std::vector<std::pair<std::u16string, std::vector<RefAnalysis>>> byName;  // sorted on demand
    std::vector<RefAnalysis> standardPoints;
    std::vector<ComponentResult> results;
    std::vector<std::u16string> errors;
};

bool hasKey(const ByFile& m, const std::u16string& key)
{
    for (const auto& [k, v] : m)
        if (k == key) return true;
    return false;
}

const RefAnalysis* findFile(const std::vector<RefAnalysis>& list, std::u16string_view file)
{
    for (const auto& p : list)
        if (p.file == file) return &p;
    return nullptr;
}

std::vector<RefAnalysis>& listOf(Reference& r, const std::u16string& name)
{
    for (auto& [n, list] : r.byName)
        if (n == name) return list;
    r.byName.push_back({name, {}});
    return r.byName.back().second;
}

Reference reference(const ChromatogramMap& set, std::size_t mixtureCount, std::int32_t selected,
                    double water)
{
    Reference r;
    MessageList messages;
    if (!validateInputs(&set, selected, water, messages)) {
        r.errors = messages.allMessageTexts();
        return r;
    }
    std::vector<std::int32_t> analysedIds;
    for (const auto& [assay, c] : set) {
        for (const auto& peak : c.peaks) {
            const std::int32_t id = componentOfName(peak.name);
            if (id == 6) continue;
            const std::u16string file(fileNamePart(c.fileName));
            if (!c.isCalibration) {
                if (analysedIds.empty() || analysedIds.back() != assay) analysedIds.push_back(assay);
                listOf(r, peak.name).push_back({file, peak.concent, peak.area});
                if (id == 4 || id == 5) r.standardPoints.push_back({file, peak.concent, peak.area});
                continue;
            }
            int index = -1;
            for (std::size_t i = 0; i < r.series.size(); ++i)
                if (componentOfName(r.series[i].name) == id) index = static_cast<int>(i);
            if (index < 0) {
                r.series.push_back({peak.name, c.mixtureIndex, {}, 0, {}});
                index = static_cast<int>(r.series.size()) - 1;
            } else if (r.series[index].name != peak.name) {
                messages.addMessage(MessageLevel::Error,
                                    u"names of " + componentDisplayName(id));
                continue;
            }
            r.series[index].points.push_back({file, c.volume, peak.concent, peak.area, 0, {}});
            if (((c.kind == 0 || c.kind == 1) && id == 4) || ((c.kind == 3 || c.kind == 4) && id == 5)) {
                r.standardId = id;
                r.standardSeries = index;
            }
        }
    }
    r.errors = messages.allMessageTexts();

    const bool haveStandard = r.standardSeries >= 0;
    for (std::int32_t assay : analysedIds) {
        const Chromatogram& a = set.at(assay);
        const auto f = fileNamePart(a.fileName);
        for (auto& s : r.series) {
            if (s.mixture < 0 || s.mixture >= static_cast<std::int32_t>(mixtureCount)) continue;
            double sum = 0;
            for (auto& p : s.points) {
                bool spoiled = !haveStandard || isComponentName(s.name, r.standardId) ||
                               !isValidValue(p.concentration) || !isValidValue(p.area);
                if (haveStandard) {
                    for (const auto& q : r.series[r.standardSeries].points)
                        if (!isValidValue(q.area) || !isValidValue(q.concentration)) spoiled = true;
                }
                if (spoiled) {
                    p.coefficient = std::numeric_limits<double>::quiet_NaN();
                    continue;
                }
                const RefPoint* q = nullptr;
                for (const auto& candidate : r.series[r.standardSeries].points) {
                    if (candidate.file == p.file) {
                        q = &candidate;
                        break;
                    }
                }
                if (!q) continue;
                const auto& x = listOf(r, s.name);
                const RefAnalysis* xa = findFile(x, f);
                const RefAnalysis* ia = findFile(r.standardPoints, f);
                if (!xa || !ia) continue;
                const double k = (q->area * p.concentration) /
                                 ((xa->area - (ia->area / q->area) * p.area) * q->concentration);
                if (assay == selected) p.coefficient = k;
                if (!hasKey(p.byFile, a.fileName)) p.byFile.push_back({a.fileName, k});
                sum += k;
            }
            const double mean = sum / static_cast<double>(s.points.size());
            if (assay == selected) s.mean = mean;
            if (!hasKey(s.meanByFile, a.fileName)) s.meanByFile.push_back({a.fileName, mean});
        }
    }

    // Mass fractions of the selected chromatogram only: the others' rows
    // are discarded.
    std::sort(r.byName.begin(), r.byName.end(),
              [](const auto& x, const auto& y) { return x.first < y.first; });
    const Chromatogram& a = set.at(selected);
    if (std::find(analysedIds.begin(), analysedIds.end(), selected) == analysedIds.end()) return r;
    const auto f = fileNamePart(a.fileName);
    double rest = 100 - water;
    for (const auto& [name, points] : r.byName) {
        const std::int32_t id = componentOfName(name);
        if (id == 0) continue;
        const RefSeries* s = nullptr;
        for (const auto& candidate : r.series) {
            if (candidate.name == name) {
                s = &candidate;
                break;
            }
        }
        const RefAnalysis* ia = findFile(r.standardPoints, f);
        const RefAnalysis* xa = findFile(points, f);
        if (!s || !ia || !xa) continue;
        const double* mean = nullptr;
        for (const auto& [file, value] : s->meanByFile)
            if (file == a.fileName) mean = &value;
        if (!mean) continue;
        const double w = *mean * xa->area * ia->concentration * 100 / (xa->concentration * ia->area);
        r.results.push_back({name, w, w < componentNorm(id) * 100});
        rest -= w;
    }
    r.results.push_back({u"этиленгликоль", rest, rest >= 0.998 * 100});
    return r;
}

// ---- randomised sets -----------------------------------------------------

class Generator {
public:
    explicit Generator(std::uint32_t seed) : random_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random_); }

    double value()
    {
        switch (below(20)) {
        case 0: return 0;
        case 1: return -1 - below(5);
        case 2: return std::numeric_limits<double>::quiet_NaN();
        case 3: return 1e-300;
        default: return std::uniform_real_distribution<double>(0.01, 100)(random_);
        }
    }

    std::u16string file()
    {
        static const char16_t* folders[] = {u"C:\\data\\", u"D:/other/", u""};
        return std::u16string(folders[below(3)]) + u"f" + std::u16string(1, char16_t(u'a' + below(12))) +
               u".chr";
    }

    Peak peak(bool standardColumn2)
    {
        // Mostly the exact short names; now and then a variant spelling,
        // an unknown peak or the other column's standard.
        static const char16_t* names[] = {u"ЭГ", u"ДЭГ", u"ТЭГ", u"Вода"};
        Peak p;
        const int pick = below(12);
        if (pick < 4) p.name = names[pick];
        else if (pick < 7) p.name = standardColumn2 ? u"Бензол" : u"Нонанол";
        else if (pick == 7) p.name = u"дэг";
        else if (pick == 8) p.name = u"Пик";
        else if (pick == 9) p.name = standardColumn2 ? u"Нонанол" : u"Бензол";
        else p.name = names[below(4)];
        p.area = value();
        p.concent = value();
        return p;
    }

    // A set that passes the checks most of the time: one column, 3 to 5
    // (column 2) or 6 to 10 (column 1) calibration chromatograms paired by
    // mixture, and several analysed ones.
    ChromatogramMap set(bool column2, std::size_t mixtureCount)
    {
        ChromatogramMap result;
        const int calibrations = column2 ? 3 + below(3) : 6 + below(5);
        const int calKind = column2 ? (chance(0.5) ? 3 : 4) : (chance(0.5) ? 0 : 1);
        std::vector<int> mixturesUsed;
        for (int i = 0; i < calibrations; i += 2) {
            const int m = chance(0.1) ? -1 : chance(0.05) ? 9 : below(static_cast<int>(mixtureCount));
            mixturesUsed.push_back(m);
            mixturesUsed.push_back(m);
        }
        if (calibrations % 2) mixturesUsed[calibrations - 1] = mixturesUsed[0];
        for (int i = 0; i < calibrations; ++i) {
            Chromatogram c;
            c.fileName = file();
            c.isCalibration = true;
            c.mixtureIndex = mixturesUsed[i];
            c.kind = calKind;
            c.volume = value();
            addPeaks(c, column2);
            result.emplace(id(result), std::move(c));
        }
        const int analysed = 2 + below(30);
        for (int i = 0; i < analysed; ++i) {
            Chromatogram c;
            c.fileName = file();
            c.kind = chance(0.9) ? (column2 ? 5 : 2) : 6;
            addPeaks(c, column2);
            result.emplace(id(result), std::move(c));
        }
        return result;
    }

private:
    void addPeaks(Chromatogram& c, bool column2)
    {
        const int count = below(9);
        for (int k = 0; k < count; ++k) c.peaks.push_back(peak(column2));
    }
    std::int32_t id(const ChromatogramMap& set)
    {
        // Unordered ids, so iteration order differs from insertion order.
        std::int32_t candidate;
        do candidate = below(100000) - 50000;
        while (set.count(candidate));
        return candidate;
    }

    std::mt19937 random_;
};

// ---- comparison ----------------------------------------------------------

bool same(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

void expectSame(const std::map<std::u16string, double>& actual, const ByFile& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (const auto& [file, value] : expected) {
        ASSERT_EQ(actual.count(file), 1u);
        EXPECT_TRUE(same(actual.at(file), value));
    }
}

void expectSame(const Calculator& calculator, const Reference& r, std::size_t messageCount)
{
    EXPECT_EQ(messageCount, r.errors.size());
    EXPECT_EQ(calculator.internalStandardId(), r.standardId);
    EXPECT_EQ(calculator.internalStandardSeries(), r.standardSeries);
    const auto& series = calculator.calibrationSeries();
    ASSERT_EQ(series.size(), r.series.size());
    for (std::size_t i = 0; i < series.size(); ++i) {
        const auto& s = series[i];
        const auto& e = r.series[i];
        EXPECT_EQ(s.peakName, e.name);
        EXPECT_EQ(s.mixtureIndex, e.mixture);
        EXPECT_TRUE(same(s.meanCoefficient, e.mean));
        expectSame(s.meanCoefficientByFile, e.meanByFile);
        ASSERT_EQ(s.points.size(), e.points.size());
        for (std::size_t j = 0; j < s.points.size(); ++j) {
            EXPECT_EQ(s.points[j].fileName, e.points[j].file);
            EXPECT_TRUE(same(s.points[j].coefficient, e.points[j].coefficient));
            expectSame(s.points[j].coefficientByFile, e.points[j].byFile);
        }
    }
    // Names entered by lookups (with empty lists) included.
    const auto& byName = calculator.analysisPointsByName();
    ASSERT_EQ(byName.size(), r.byName.size());
    auto entry = byName.begin();
    for (const auto& [name, points] : r.byName) {
        EXPECT_EQ(entry->first, name);
        EXPECT_EQ(entry->second.size(), points.size());
        ++entry;
    }
    const auto& rows = calculator.selectedResults();
    ASSERT_EQ(rows.size(), r.results.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].name, r.results[i].name);
        EXPECT_TRUE(same(rows[i].massFraction, r.results[i].massFraction));
        EXPECT_EQ(rows[i].complies, r.results[i].complies);
    }
}

TEST(CalculatorReference, RandomisedSetsGiveIdenticalResults)
{
    test::AltNames names(test::shortNames());
    Generator generate(20240517);
    const std::vector<Mixture> mixtures(3);
    int calculated = 0;
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        const bool column2 = generate.chance(0.5);
        const ChromatogramMap set = generate.set(column2, mixtures.size());
        MessageList messages;
        Calculator calculator(messages);
        // A few selections per set, analysed ones mostly.
        for (int pick = 0; pick < 3; ++pick) {
            auto it = set.begin();
            std::advance(it, generate.below(static_cast<int>(set.size())));
            const double water = generate.chance(0.9) ? 0.05 + generate.below(100) / 10.0 : 0;
            calculator.run(set, mixtures, it->first, water);
            const Reference r = reference(set, mixtures.size(), it->first, water);
            expectSame(calculator, r, messages.allMessageTexts().size());
            if (!calculator.selectedResults().empty()) ++calculated;
            if (::testing::Test::HasFailure()) return;
        }
    }
    // The sets must exercise the calculation, not only the checks.
    EXPECT_GT(calculated, 200);
}

} // namespace
} // namespace norvalt
