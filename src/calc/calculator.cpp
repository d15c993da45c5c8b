#include "calc/calculator.h"

#include <algorithm>
#include <limits>

#include "calc/checks.h"
#include "calc/components.h"
#include "calc/kinds.h"
#include "calc/norms.h"
#include "text/format.h"
#include "text/path.h"
#include "text/string_table.h"

namespace norvalt {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

template <class Point>
const Point* linearFirstOfFile(const std::vector<Point>& points, std::u16string_view fileName)
{
    const auto it = std::find_if(points.begin(), points.end(),
                                 [&](const Point& p) { return p.fileName == fileName; });
    return it == points.end() ? nullptr : &*it;
}

} // namespace

Calculator::FirstPointIndex::FirstPointIndex(const std::vector<AnalysisPoint>& points)
    : points_(points)
{
    first_.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) first_.try_emplace(points[i].fileName, i);
}

const AnalysisPoint* Calculator::FirstPointIndex::find(std::u16string_view fileName) const
{
    const auto it = first_.find(fileName);
    return it == first_.end() ? nullptr : &points_[it->second];
}

const AnalysisPoint* Calculator::firstOfFile(const std::vector<AnalysisPoint>& points,
                                             std::u16string_view fileName) const
{
    const auto index = pointIndexes_.find(&points);
    // Lists entered after the gathering are empty and have no index.
    return index == pointIndexes_.end() ? linearFirstOfFile(points, fileName)
                                        : index->second.find(fileName);
}

const CalibrationSeries* Calculator::standardSeries() const
{
    const bool valid = internalStandardSeries_ >= 0 &&
                       static_cast<std::size_t>(internalStandardSeries_) < calibrationSeries_.size();
    return valid ? &calibrationSeries_[internalStandardSeries_] : nullptr;
}

void Calculator::buildIndexes()
{
    pointIndexes_.clear();
    pointIndexes_.emplace(&internalStandardPoints_, internalStandardPoints_);
    for (const auto& [name, points] : analysisPointsByName_) pointIndexes_.emplace(&points, points);

    const CalibrationSeries* standard = standardSeries();
    standardUsable_ = standard != nullptr;
    standardOfPoint_.assign(calibrationSeries_.size(), {});
    if (!standard) return;
    for (const auto& q : standard->points) {
        if (!isValidValue(q.area) || !isValidValue(q.concentration)) standardUsable_ = false;
    }
    for (std::size_t s = 0; s < calibrationSeries_.size(); ++s) {
        for (const auto& p : calibrationSeries_[s].points)
            standardOfPoint_[s].push_back(linearFirstOfFile(standard->points, p.fileName));
    }
}

void Calculator::clearResults()
{
    pointIndexes_.clear();
    standardOfPoint_.clear();
    standardUsable_ = false;
    internalStandardId_ = UnidentifiedSubstance;
    internalStandardSeries_ = -1;
    calibrationSeries_.clear();
    analysisPointsByName_.clear();
    internalStandardPoints_.clear();
    selectedResults_.clear();
    analysedChromatograms_.clear();
    seriesOfComponent_.clear();
}

void Calculator::run(const ChromatogramMap& chromatograms, const std::vector<Mixture>& mixtures,
                     std::int32_t selectedAssayId, double waterMassFraction)
{
    chromatograms_ = &chromatograms;
    mixtureCount_ = mixtures.size();
    selectedAssayId_ = selectedAssayId;
    waterMassFraction_ = waterMassFraction;
    messages_.clearMessages();
    clearResults();

    if (validateInputs(&chromatograms, selectedAssayId, waterMassFraction, messages_)) {
        gatherPoints();
        // A chromatogram's coefficients depend on its file name alone and
        // are entered only where its path is not yet a key, so the order of
        // these calls changes no result. In path order every new key lands
        // at the end of the maps by path, which the insertions below use.
        std::vector<ChromatogramMap::const_iterator> byPath;
        byPath.reserve(analysedChromatograms_.size());
        for (auto it = analysedChromatograms_.begin(); it != analysedChromatograms_.end(); ++it)
            byPath.push_back(it);
        std::stable_sort(byPath.begin(), byPath.end(), [](const auto& x, const auto& y) {
            return x->second.fileName < y->second.fileName;
        });
        for (const auto& it : byPath) computeCoefficients(it->second, it->first);
        for (const auto& [id, analysed] : analysedChromatograms_) computeMassFractions(analysed, id);
    }
    chromatograms_ = nullptr;
}

void Calculator::gatherPoints()
{
    if (!chromatograms_) return;
    seriesOfComponent_.clear();
    for (const auto& [assayId, c] : *chromatograms_) {
        for (const auto& peak : c.peaks) {
            const std::int32_t id = componentOfName(peak.name);
            if (id == UnidentifiedSubstance) continue;
            if (c.isCalibration) {
                if (!addCalibrationPeak(c, peak, id)) continue;
                const bool column1Standard =
                    (c.kind == GradColumn1NoTeg || c.kind == GradColumn1WithTeg) && id == Nonanol1;
                const bool column2Standard =
                    (c.kind == GradColumn2NoTeg || c.kind == GradColumn2WithTeg) && id == BenzylAlcohol;
                if (column1Standard || column2Standard) {
                    internalStandardId_ = id;
                    internalStandardSeries_ = static_cast<std::int32_t>(seriesOfComponent_.at(id));
                }
            } else {
                analysedChromatograms_.try_emplace(assayId, c);
                AnalysisPoint point{std::u16string(fileNamePart(c.fileName)), peak.concent, peak.area};
                if (id == Nonanol1 || id == BenzylAlcohol) internalStandardPoints_.push_back(point);
                analysisPointsByName_[peak.name].push_back(std::move(point));
            }
        }
    }
    buildIndexes();
}

bool Calculator::addCalibrationPeak(const Chromatogram& c, const Peak& peak, std::int32_t id)
{
    const auto [entry, opened] = seriesOfComponent_.try_emplace(id, calibrationSeries_.size());
    if (opened) {
        CalibrationSeries series;
        series.peakName = peak.name;
        series.mixtureIndex = c.mixtureIndex;
        calibrationSeries_.push_back(std::move(series));
    }
    auto& series = calibrationSeries_[entry->second];
    if (series.peakName != peak.name) {
        // One component under two names cannot be calibrated as one series.
        messages_.addMessage(MessageLevel::Error,
                             format(loadString(IDS_ERR_PEAK_NAMES), componentDisplayName(id)));
        return false;
    }
    CalibrationPoint point;
    point.fileName = fileNamePart(c.fileName);
    point.volume = c.volume;
    point.concentration = peak.concent;
    point.area = peak.area;
    series.points.push_back(std::move(point));
    return true;
}

void Calculator::computeCoefficients(const Chromatogram& a, std::int32_t assayId)
{
    const std::u16string_view f = fileNamePart(a.fileName);
    const std::u16string& F = a.fileName;
    const bool selected = assayId == selectedAssayId_;
    // The standard's peak in a: the same for every series.
    const AnalysisPoint* Ia = firstOfFile(internalStandardPoints_, f);

    for (std::size_t s = 0; s < calibrationSeries_.size(); ++s) {
        auto& S = calibrationSeries_[s];
        if (S.mixtureIndex < 0 || static_cast<std::size_t>(S.mixtureIndex) >= mixtureCount_) continue;
        const bool ownStandard = isComponentName(S.peakName, internalStandardId_);
        // Looked up (and entered when absent) at the first point that gets
        // this far, as a point-by-point reading would do.
        const std::vector<AnalysisPoint>* X = nullptr;
        const AnalysisPoint* Xa = nullptr;
        double sum = 0;
        for (std::size_t i = 0; i < S.points.size(); ++i) {
            auto& P = S.points[i];
            if (ownStandard || !isValidValue(P.concentration) || !isValidValue(P.area) ||
                !standardUsable_) {
                P.coefficient = notANumber;
                continue;
            }
            const CalibrationPoint* Q = standardOfPoint_[s][i];
            if (!Q) continue;
            if (!X) {
                X = &analysisPointsByName_[S.peakName];
                Xa = firstOfFile(*X, f);
            }
            if (!Xa || !Ia) continue;

            const double ratio = Ia->area / Q->area;
            const double denominator = (Xa->area - ratio * P.area) * Q->concentration;
            const double K = (Q->area * P.concentration) / denominator;

            if (selected) P.coefficient = K;
            P.coefficientByFile.try_emplace(P.coefficientByFile.end(), F, K);
            sum += K;
        }
        // Every point counts in the divisor, also those without a coefficient.
        const double mean = sum / static_cast<double>(S.points.size());
        if (selected) S.meanCoefficient = mean;
        S.meanCoefficientByFile.try_emplace(S.meanCoefficientByFile.end(), F, mean);
    }
}

void Calculator::computeMassFractions(const Chromatogram& a, std::int32_t assayId)
{
    const std::u16string_view f = fileNamePart(a.fileName);
    const std::u16string& F = a.fileName;

    const AnalysisPoint* Ia = firstOfFile(internalStandardPoints_, f);

    std::vector<ComponentResult> rows;
    double rest = 100 - waterMassFraction_;
    for (const auto& [name, points] : analysisPointsByName_) {
        const std::int32_t id = componentOfName(name);
        if (id == EthyleneGlycol) continue;
        const auto S = std::find_if(calibrationSeries_.begin(), calibrationSeries_.end(),
                                    [&](const CalibrationSeries& s) { return s.peakName == name; });
        if (S == calibrationSeries_.end()) continue;
        if (!Ia) continue;
        const AnalysisPoint* Xa = firstOfFile(points, f);
        if (!Xa) continue;
        // A series that got no coefficients (no valid mixture) gives no row.
        const auto mean = S->meanCoefficientByFile.find(F);
        if (mean == S->meanCoefficientByFile.end()) continue;

        const double numerator = mean->second * Xa->area * Ia->concentration * 100;
        const double w = numerator / (Xa->concentration * Ia->area);
        const double norm = componentNorm(id);
        rows.push_back({name, w, w < norm * 100, norm});
        rest -= w;
    }

    // Ethylene glycol is the remainder; the norm is a minimum.
    const double norm = componentNorm(EthyleneGlycol);
    rows.push_back({normalizeName(componentTable()[EthyleneGlycol].name), rest, rest >= norm * 100, norm});

    if (assayId == selectedAssayId_)
        selectedResults_.insert(selectedResults_.end(), rows.begin(), rows.end());
}

} // namespace norvalt
