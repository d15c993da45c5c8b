#pragma once
// The determination by the internal-standard method: calibration points and
// coefficients from the calibration chromatograms of known mixtures, then
// the mass fractions of each analysed chromatogram and their compliance.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "calc/chromatogram_map.h"
#include "calc/message_list.h"
#include "model/mixture.h"

namespace norvalt {

// One calibration peak of a component.
struct CalibrationPoint {
    std::u16string fileName;     // name part of the calibration chromatogram's path
    double volume = 0;           // shown only
    double concentration = 0;    // the component's concentration in the mixture
    double area = 0;
    double coefficient = 0;      // for the selected chromatogram; NaN when it cannot be formed
    std::map<std::u16string, double> coefficientByFile;  // by full path of an analysed chromatogram
};

// All calibration peaks of one component, under the peak name that opened it.
struct CalibrationSeries {
    std::u16string peakName;
    std::int32_t mixtureIndex = -1;
    std::vector<CalibrationPoint> points;
    double meanCoefficient = 0;  // for the selected chromatogram
    std::map<std::u16string, double> meanCoefficientByFile;
};

// One recognised peak of an analysed chromatogram.
struct AnalysisPoint {
    std::u16string fileName;  // name part of the analysed chromatogram's path
    double concentration = 0;
    double area = 0;
};

// One row of the results: a mass fraction in percent, the component's norm
// it was judged by (a fraction of 1; 0 for a component without a norm) and
// its compliance with it.
struct ComponentResult {
    std::u16string name;
    double massFraction = 0;
    bool complies = false;
    double norm = 0;
};

class Calculator {
public:
    explicit Calculator(MessageList& messages) : messages_(messages) {}

    // A whole calculation. The inputs are used only while it runs; the
    // results stay until the next run. A run whose checks fail leaves every
    // result empty.
    void run(const ChromatogramMap& chromatograms, const std::vector<Mixture>& mixtures,
             std::int32_t selectedAssayId, double waterMassFraction);

    // The stages of run, in the order run calls them.
    void gatherPoints();
    void computeCoefficients(const Chromatogram& analysed, std::int32_t assayId);
    void computeMassFractions(const Chromatogram& analysed, std::int32_t assayId);

    const std::vector<CalibrationSeries>& calibrationSeries() const { return calibrationSeries_; }
    std::int32_t internalStandardId() const { return internalStandardId_; }
    std::int32_t internalStandardSeries() const { return internalStandardSeries_; }
    const std::map<std::u16string, std::vector<AnalysisPoint>>& analysisPointsByName() const
    {
        return analysisPointsByName_;
    }
    const std::vector<AnalysisPoint>& internalStandardPoints() const { return internalStandardPoints_; }
    const ChromatogramMap& analysedChromatograms() const { return analysedChromatograms_; }
    const std::vector<ComponentResult>& selectedResults() const { return selectedResults_; }
    std::int32_t selectedAssayId() const { return selectedAssayId_; }

private:
    // The first point of each file name part in one list of analysis
    // points: the lookups of a recalculation are first-match searches by
    // file name, and linear ones would make it quadratic in the number of
    // analysed chromatograms.
    class FirstPointIndex {
    public:
        explicit FirstPointIndex(const std::vector<AnalysisPoint>& points);
        const AnalysisPoint* find(std::u16string_view fileName) const;

    private:
        const std::vector<AnalysisPoint>& points_;
        std::unordered_map<std::u16string_view, std::size_t> first_;
    };

    bool addCalibrationPeak(const Chromatogram& c, const Peak& peak, std::int32_t id);
    void clearResults();
    void buildIndexes();
    const CalibrationSeries* standardSeries() const;
    const AnalysisPoint* firstOfFile(const std::vector<AnalysisPoint>& points,
                                     std::u16string_view fileName) const;

    MessageList& messages_;

    // Inputs of the current run; null outside it.
    const ChromatogramMap* chromatograms_ = nullptr;
    std::size_t mixtureCount_ = 0;
    double waterMassFraction_ = 0;
    std::int32_t selectedAssayId_ = -1;

    std::vector<CalibrationSeries> calibrationSeries_;
    std::int32_t internalStandardId_ = 6;
    std::int32_t internalStandardSeries_ = -1;
    std::map<std::u16string, std::vector<AnalysisPoint>> analysisPointsByName_;
    std::vector<AnalysisPoint> internalStandardPoints_;
    ChromatogramMap analysedChromatograms_;
    std::vector<ComponentResult> selectedResults_;

    // Component id -> index of its series, for one gathering.
    std::map<std::int32_t, std::size_t> seriesOfComponent_;

    // Built when the points are gathered; they stay valid because the
    // gathered lists do not change afterwards.
    std::unordered_map<const std::vector<AnalysisPoint>*, FirstPointIndex> pointIndexes_;
    // For each series and point, the standard's point of the same
    // calibration chromatogram (the first one), or null.
    std::vector<std::vector<const CalibrationPoint*>> standardOfPoint_;
    // Every point of the standard's series has a valid area and concentration.
    bool standardUsable_ = false;
};

} // namespace norvalt
