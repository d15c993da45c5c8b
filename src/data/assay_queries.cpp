#include "data/assay_queries.h"

#include <utility>

#include "calc/components.h"
#include "calc/kinds.h"
#include "data/corvane_file.h"
#include "model/passport.h"
#include "model/peak.h"
#include "text/format.h"
#include "text/string_table.h"
#include "text/user_notifier.h"

namespace norvalt {

namespace {

// The host's statements, each with one positional parameter.
const char16_t* const assayStatement =
    u"SELECT filename, sample, mixture, date, iscalibration, peak.name, peak.time, peak.area, "
    u"peak.concentration FROM [assay] LEFT JOIN [peak] ON assayid = assay.id WHERE assay.id = ? AND "
    u"isdeleted = 0 AND ishidden = 0 ORDER BY time;";
const char16_t* const mixtureStatement = u"SELECT id, name, ballon, release, expiry FROM [mixture] WHERE name = ?;";
const char16_t* const componentStatement =
    u"SELECT nameid, name, concentration, deviation FROM [mixturecomp] WHERE mixtureid = ?;";

// Takes the sample volume and the water mass fraction from the passport of
// the chromatogram file; everything else about the assay comes from the
// database. A file that cannot be read is the user's to know about, but
// the assay still loads.
void readPassportNumbers(Chromatogram& chromatogram)
{
    CCorvaneFile4 file;
    const int rc = file.loadFromFile(chromatogram.fileName);
    if (rc != 0) {
        userNotifier().notify(NoticeKind::Warning, format(loadString(IDS_ERR_OPEN_FILE), rc, chromatogram.fileName));
        return;
    }
    // The title in the language of the first successful read, kept for the
    // life of the module.
    static const std::u16string waterTitle = loadString(IDS_WATER_MASS_TITLE);
    for (const PassportValue& value : file.passport.values) {
        if (value.name == u"volume")
            chromatogram.volume = parseDoublePrefix(value.value);
        else if (value.title == waterTitle)
            chromatogram.waterMassFraction = parseDoublePrefix(value.value);
    }
}

// A mixture component named exactly like the normalised peak name supplies
// the peak's concentration; the first such component wins.
void takeMixtureConcentration(Peak& peak, const Mixture& mixture)
{
    const std::u16string name = normalizeName(peak.name);
    for (const MixtureComponent& component : mixture.components) {
        if (component.name == name) {
            peak.concent = component.concentration;
            return;
        }
    }
}

} // namespace

void reachAssayTable(const DataBaseHandle& handle)
{
    // Preparing reads the schema under a shared lock, which is all it takes.
    prepareStatement(handle, u"SELECT id FROM [assay] LIMIT 0;");
}

std::optional<Chromatogram> loadAssay(const DataBaseHandle& handle, std::int32_t assayId,
                                      std::vector<Mixture>& mixtures, MessageList& messages)
{
    Chromatogram chromatogram;

    auto statement = prepareStatement(handle, assayStatement);
    // The host hands ids as 32 bits; its own ids are unsigned, so the id is
    // widened without its sign.
    bindInt64(statement, 1, static_cast<std::int64_t>(static_cast<std::uint32_t>(assayId)));
    readRows<std::u16string, std::u16string, std::u16string, std::int64_t, std::int32_t, std::u16string, double,
             double, double>(
        statement, [&](std::u16string fileName, std::u16string sample, std::u16string mixture, std::int64_t date,
                       std::int32_t isCalibration, std::u16string peakName, double time, double area,
                       double concentration) {
            if (chromatogram.fileName.empty()) {
                chromatogram.fileName = std::move(fileName);
                chromatogram.sample = std::move(sample);
                chromatogram.mixtureIndex = findMixture(mixture, mixtures);
                chromatogram.date = date;
                chromatogram.isCalibration = isCalibration != 0;
            }
            // Without peaks the LEFT JOIN still gives one row, and so one
            // unnamed peak of zeros.
            Peak peak;
            peak.name = std::move(peakName);
            peak.time = time;
            peak.area = area;
            peak.concent = concentration;
            const std::int32_t index = chromatogram.mixtureIndex;
            if (index >= 0 && static_cast<std::size_t>(index) < mixtures.size())
                takeMixtureConcentration(peak, mixtures[static_cast<std::size_t>(index)]);
            chromatogram.peaks.push_back(std::move(peak));
        });

    if (chromatogram.fileName.empty())
        return std::nullopt;

    readPassportNumbers(chromatogram);
    classifyChromatogram(chromatogram, mixtures, messages);
    return chromatogram;
}

std::int32_t findMixture(const std::u16string& name, std::vector<Mixture>& mixtures)
{
    std::int32_t position = -1;
    // The command's own connection is still stepping the assay rows.
    DataBaseHandle handle = openHostDataBase();
    auto statement = prepareStatement(handle, mixtureStatement);
    bindText(statement, 1, name);
    readRows<std::int32_t, std::u16string, std::u16string, std::int64_t, std::int64_t>(
        statement, [&](std::int32_t id, std::u16string mixtureName, std::u16string ballon, std::int64_t release,
                       std::int64_t expiry) {
            Mixture row;
            row.id = id;
            row.name = std::move(mixtureName);
            row.ballon = std::move(ballon);
            row.release = release;
            row.expiry = expiry;
            position = addMixture(row, mixtures);
        });
    return position;
}

std::int32_t addMixture(const Mixture& row, std::vector<Mixture>& mixtures)
{
    for (std::size_t i = 0; i < mixtures.size(); ++i) {
        if (mixtures[i].id == row.id)
            return static_cast<std::int32_t>(i);
    }

    Mixture mixture;
    mixture.id = row.id;
    mixture.name = row.name;
    mixture.ballon = row.ballon;
    mixture.release = row.release;
    mixture.expiry = row.expiry;

    // The mixture joins the list only once its components are read: a
    // mixture left without them after a failed read would be taken as known
    // and never read again while the set lives.
    {
        DataBaseHandle handle = openHostDataBase();
        auto statement = prepareStatement(handle, componentStatement);
        bindInt(statement, 1, mixture.id);
        readRows<std::u16string, std::u16string, double, double>(
            statement, [&](std::u16string nameid, std::u16string name, double concentration, double deviation) {
                mixture.components.push_back({std::move(nameid), std::move(name), concentration, deviation});
            });
    }
    mixtures.push_back(std::move(mixture));
    return static_cast<std::int32_t>(mixtures.size() - 1);
}

} // namespace norvalt
