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
const Point* firstOfFile(const std::vector<Point>& points, std::u16string_view fileName)
{
    const auto it = std::find_if(points.begin(), points.end(),
                                 [&](const Point& p) { return p.fileName == fileName; });
    return it == points.end() ? nullptr : &*it;
}

} // namespace

void Calculator::clearResults()
{
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
        for (const auto& [id, analysed] : analysedChromatograms_) computeCoefficients(analysed, id);
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

    const bool standardKnown = internalStandardSeries_ >= 0 &&
                               static_cast<std::size_t>(internalStandardSeries_) < calibrationSeries_.size();
    bool standardUsable = standardKnown;
    if (standardKnown) {
        for (const auto& q : calibrationSeries_[internalStandardSeries_].points) {
            if (!isValidValue(q.area) || !isValidValue(q.concentration)) standardUsable = false;
        }
    }

    for (auto& S : calibrationSeries_) {
        if (S.mixtureIndex < 0 || static_cast<std::size_t>(S.mixtureIndex) >= mixtureCount_) continue;
        const bool ownStandard = isComponentName(S.peakName, internalStandardId_);
        double sum = 0;
        for (auto& P : S.points) {
            if (ownStandard || !isValidValue(P.concentration) || !isValidValue(P.area) ||
                !standardUsable) {
                P.coefficient = notANumber;
                continue;
            }
            const CalibrationPoint* Q =
                firstOfFile(calibrationSeries_[internalStandardSeries_].points, P.fileName);
            if (!Q) continue;
            const auto& X = analysisPointsByName_[S.peakName];
            if (X.empty()) continue;
            const AnalysisPoint* Xa = firstOfFile(X, f);
            const AnalysisPoint* Ia = firstOfFile(internalStandardPoints_, f);
            if (!Xa || !Ia) continue;

            const double ratio = Ia->area / Q->area;
            const double denominator = (Xa->area - ratio * P.area) * Q->concentration;
            const double K = (Q->area * P.concentration) / denominator;

            if (selected) P.coefficient = K;
            P.coefficientByFile.try_emplace(F, K);
            sum += K;
        }
        // Every point counts in the divisor, also those without a coefficient.
        const double mean = sum / static_cast<double>(S.points.size());
        if (selected) S.meanCoefficient = mean;
        S.meanCoefficientByFile.try_emplace(F, mean);
    }
}

void Calculator::computeMassFractions(const Chromatogram& a, std::int32_t assayId)
{
    const std::u16string_view f = fileNamePart(a.fileName);
    const std::u16string& F = a.fileName;

    std::vector<ComponentResult> rows;
    double rest = 100 - waterMassFraction_;
    for (const auto& [name, points] : analysisPointsByName_) {
        const std::int32_t id = componentOfName(name);
        if (id == EthyleneGlycol) continue;
        const auto S = std::find_if(calibrationSeries_.begin(), calibrationSeries_.end(),
                                    [&](const CalibrationSeries& s) { return s.peakName == name; });
        if (S == calibrationSeries_.end()) continue;
        const AnalysisPoint* Ia = firstOfFile(internalStandardPoints_, f);
        if (!Ia) continue;
        const AnalysisPoint* Xa = firstOfFile(points, f);
        if (!Xa) continue;
        // A series that got no coefficients (no valid mixture) gives no row.
        const auto mean = S->meanCoefficientByFile.find(F);
        if (mean == S->meanCoefficientByFile.end()) continue;

        const double numerator = mean->second * Xa->area * Ia->concentration * 100;
        const double w = numerator / (Xa->concentration * Ia->area);
        rows.push_back({name, w, w < componentNorm(id) * 100});
        rest -= w;
    }

    // Ethylene glycol is the remainder; the norm is a minimum.
    rows.push_back({normalizeName(componentTable()[EthyleneGlycol].name), rest,
                    rest >= componentNorm(EthyleneGlycol) * 100});

    if (assayId == selectedAssayId_)
        selectedResults_.insert(selectedResults_.end(), rows.begin(), rows.end());
}

} // namespace norvalt
