#pragma once
// The working state behind the main window: the chromatograms gathered for
// one determination, the calibration mixtures they refer to, the selected
// chromatogram and the results of the last recalculation. It carries out the
// window's commands and drives what the window shows through the views.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "calc/calculator.h"
#include "calc/chromatogram_map.h"
#include "calc/message_list.h"
#include "data/database.h"
#include "host/host_services.h"
#include "model/mixture.h"
#include "text/user_notifier.h"

namespace norvalt {

class ChromatogramSet;

// What the set shows through the main window's list and pages.
class ChromatogramSetViews {
public:
    virtual ~ChromatogramSetViews() = default;

    // Main list.
    virtual void appendRow(std::int32_t assayId) = 0;  // cells from rowTexts
    virtual void clearRows() = 0;
    // Selects the last row, scrolled into view and without highlight; the
    // list's selection handling must end in selectAssay of that row's id.
    // An empty list selects nothing.
    virtual void selectLastRow() = 0;

    // Components page.
    virtual void showPeaks(const Chromatogram& chromatogram) = 0;
    virtual void clearPeaks() = 0;

    // Graduation page.
    virtual void setGraduation(const std::vector<CalibrationSeries>& series,
                               const std::map<std::u16string, double>& componentValues) = 0;
    virtual void refreshGraduation() = 0;
    virtual void clearGraduation() = 0;

    // Calculation page.
    virtual void setResults(const std::vector<ComponentResult>& results) = 0;
    virtual void refreshResults() = 0;
    virtual void clearResults() = 0;

    // Messages page.
    virtual void refreshMessages() = 0;
    virtual void clearMessageView() = 0;

    // The window that owns the notices of the commands (the main window);
    // none without windows.
    virtual NoticeOwner noticeOwner() const { return {}; }
};

class ChromatogramSet {
public:
    static constexpr std::int32_t addCapacity = 256;

    ChromatogramSet(Host host, MessageList& messages, ChromatogramSetViews& views);

    // The commands of the main window.
    void addAssays();
    void removeAssays(const std::vector<std::int32_t>& selectedIds);
    void removeAll();
    void openInHost(const std::vector<std::int32_t>& selectedIds) const;
    // False, with the set, the list and the pages as they were, when the
    // database cannot be read at all; the failure is told to the user.
    bool reload();
    void selectAssay(std::int32_t assayId);
    void recalculate();

    // The seven cells of the main list's row of assayId at position.
    std::array<std::u16string, 7> rowTexts(std::int32_t assayId, int position) const;

    const ChromatogramMap& chromatograms() const { return chromatograms_; }
    const std::vector<Mixture>& mixtures() const { return mixtures_; }
    const Calculator& calculator() const { return calculator_; }
    const std::map<std::u16string, double>& componentValues() const { return componentValues_; }
    std::int32_t selectedAssayId() const { return selectedAssayId_; }
    bool addInProgress() const { return addInProgress_; }

    double waterMassFractionSetting() const { return waterMassFractionSetting_; }
    void setWaterMassFractionSetting(double percent) { waterMassFractionSetting_ = percent; }

private:
    // The command's connection to the host database, checked to reach the
    // assay table; false when it does not, the failure told to the user.
    bool openDataBaseForCommand(DataBaseHandle& handle) const;
    // Loads ids through the command's connection in order, skipping those
    // already present or not loadable, and appends a row for each new one. A
    // database failure is told to the user and ends the loading; what was
    // loaded before it stays.
    void loadAssays(const DataBaseHandle& handle, const std::vector<std::int32_t>& ids);
    void tellDataBaseFailure(const DataBase::SqlException& e) const;
    void clearMessages();

    Host host_;
    MessageList& messages_;
    ChromatogramSetViews& views_;
    ChromatogramMap chromatograms_;
    std::vector<Mixture> mixtures_;
    std::int32_t selectedAssayId_ = -1;
    double waterMassFractionSetting_ = 0;
    Calculator calculator_;
    std::map<std::u16string, double> componentValues_;
    bool addInProgress_ = false;
};

// The "Дата анализа" cell: local time as "%d.%m.%y   %R"; empty for a time
// before 1970 or one that local time cannot represent.
std::u16string formatAnalysisDate(std::int64_t secondsSince1970);

} // namespace norvalt
