#include "workset/chromatogram_set.h"

#include "calc/kinds.h"
#include "data/assay_queries.h"
#include "text/format.h"
#include "text/local_time.h"
#include "text/path.h"
#include "text/string_table.h"
#include "text/utf.h"

namespace norvalt {

ChromatogramSet::ChromatogramSet(Host host, MessageList& messages, ChromatogramSetViews& views)
    : host_(host), messages_(messages), views_(views), calculator_(messages)
{
}

void ChromatogramSet::clearMessages()
{
    messages_.clearMessages();
    views_.clearMessageView();
}

void ChromatogramSet::addAssays()
{
    // The host's dialog runs a message loop: a second add from inside it is
    // ignored.
    if (addInProgress_) return;

    std::array<std::int32_t, addCapacity> buffer{};
    HostResult answer = 0;
    {
        // Cleared however the call ends, or a host that failed once would
        // leave every later add ignored.
        struct InProgress {
            bool& flag;
            explicit InProgress(bool& f) : flag(f) { flag = true; }
            ~InProgress() { flag = false; }
        } inProgress(addInProgress_);
        answer = host_.callService(service::OpenAssayIdDlg, addCapacity, Host::arg(buffer.data()));
    }
    if (answer == ServiceNotFound || answer <= 0) return;
    // The host promises no more ids than the buffer holds; never read past it.
    const std::size_t count = answer > addCapacity ? addCapacity : static_cast<std::size_t>(answer);

    clearMessages();
    {
        DataBaseHandle handle;
        if (openDataBaseForCommand(handle))
            loadAssays(handle, std::vector<std::int32_t>(buffer.begin(), buffer.begin() + count));
    }
    views_.selectLastRow();
    recalculate();
}

void ChromatogramSet::tellDataBaseFailure(const DataBase::SqlException& e) const
{
    userNotifier().notify(NoticeKind::Error,
                          format(loadString(IDS_ERR_DATABASE), e.code, utf8ToUtf16(e.what()), utf8ToUtf16(e.sql)),
                          views_.noticeOwner());
}

bool ChromatogramSet::openDataBaseForCommand(DataBaseHandle& handle) const
{
    try {
        handle = openHostDataBase();
        reachAssayTable(handle);
        return true;
    } catch (const DataBase::SqlException& e) {
        handle.close();
        tellDataBaseFailure(e);
        return false;
    }
}

void ChromatogramSet::loadAssays(const DataBaseHandle& handle, const std::vector<std::int32_t>& ids)
{
    try {
        for (const std::int32_t id : ids) {
            if (chromatograms_.count(id)) continue;
            auto chromatogram = loadAssay(handle, id, mixtures_, messages_);
            if (!chromatogram) continue;
            chromatograms_.emplace(id, std::move(*chromatogram));
            views_.appendRow(id);
        }
    } catch (const DataBase::SqlException& e) {
        tellDataBaseFailure(e);
    }
}

void ChromatogramSet::removeAssays(const std::vector<std::int32_t>& selectedIds)
{
    if (selectedIds.empty()) return;
    for (const std::int32_t id : selectedIds) chromatograms_.erase(id);
    views_.clearRows();
    for (const auto& entry : chromatograms_) views_.appendRow(entry.first);
    views_.clearPeaks();
    recalculate();
}

void ChromatogramSet::removeAll()
{
    chromatograms_.clear();
    views_.clearRows();
    views_.clearPeaks();
    views_.clearGraduation();
    views_.clearResults();
    clearMessages();
}

void ChromatogramSet::openInHost(const std::vector<std::int32_t>& selectedIds) const
{
    for (const std::int32_t id : selectedIds) {
        auto it = chromatograms_.find(id);
        if (it == chromatograms_.end()) continue;
        host_.callService(service::OpenAssayFile, 1, Host::arg(it->second.fileName.c_str()));
    }
}

bool ChromatogramSet::reload()
{
    std::vector<std::int32_t> ids;
    ids.reserve(chromatograms_.size());
    for (const auto& entry : chromatograms_) ids.push_back(entry.first);

    // The database is reached before anything is emptied: a database the
    // host holds locked, or one that has moved, must not cost the user the
    // chromatograms gathered.
    DataBaseHandle handle;
    if (!openDataBaseForCommand(handle)) return false;
    // A reload empties what remove-all empties, then loads the ids again.
    removeAll();
    loadAssays(handle, ids);
    handle.close();
    views_.selectLastRow();
    return true;
}

void ChromatogramSet::selectAssay(std::int32_t assayId)
{
    selectedAssayId_ = assayId;
    clearMessages();
    recalculate();
    views_.clearPeaks();
    auto it = chromatograms_.find(assayId);
    if (it != chromatograms_.end()) views_.showPeaks(it->second);
}

void ChromatogramSet::recalculate()
{
    componentValues_.clear();
    auto selected = chromatograms_.find(selectedAssayId_);
    if (selected == chromatograms_.end()) return;

    // Only the selected chromatogram's column takes part.
    ChromatogramMap subset;
    const std::int32_t column = selected->second.column;
    for (const auto& [id, chromatogram] : chromatograms_)
        if (chromatogram.column == column) subset.emplace(id, chromatogram);

    calculator_.run(subset, mixtures_, selectedAssayId_, waterMassFractionSetting_);

    for (const CalibrationSeries& series : calculator_.calibrationSeries())
        componentValues_.emplace(series.peakName, series.meanCoefficient);

    views_.setGraduation(calculator_.calibrationSeries(), componentValues_);
    views_.setResults(calculator_.selectedResults());
    views_.refreshGraduation();
    views_.refreshResults();
    views_.refreshMessages();
}

std::array<std::u16string, 7> ChromatogramSet::rowTexts(std::int32_t assayId, int position) const
{
    std::array<std::u16string, 7> cells;
    cells[0] = formatInt(position + 1);
    auto it = chromatograms_.find(assayId);
    if (it == chromatograms_.end()) return cells;
    const Chromatogram& c = it->second;
    cells[1] = std::u16string(fileNamePart(c.fileName));
    cells[2] = c.sample;
    cells[3] = formatFixed(c.volume, 3);
    cells[4] = formatAnalysisDate(c.date);
    cells[5] = kindText(c.kind);
    if (c.mixtureIndex >= 0 && static_cast<std::size_t>(c.mixtureIndex) < mixtures_.size())
        cells[6] = mixtures_[c.mixtureIndex].name;
    return cells;
}

std::u16string formatAnalysisDate(std::int64_t secondsSince1970)
{
    std::tm local{};
    if (!toLocalTime(secondsSince1970, local)) return {};
    auto two = [](int v) {
        std::u16string s;
        s.push_back(static_cast<char16_t>(u'0' + (v / 10) % 10));
        s.push_back(static_cast<char16_t>(u'0' + v % 10));
        return s;
    };
    return two(local.tm_mday) + u"." + two(local.tm_mon + 1) + u"." + two(((local.tm_year + 1900) % 100 + 100) % 100) +
           u"   " + two(local.tm_hour) + u":" + two(local.tm_min);
}

} // namespace norvalt
