#include "data/lab_writer.h"

#include "data/corvane_file.h"
#include "text/format.h"
#include "text/string_table.h"

namespace norvalt {

namespace {

// Doubles go into the statement text at round-trip precision.
void execute(DataBaseStatement& statement)
{
    readRows<>(statement, [] {});
}

} // namespace

void insertAssay(const DataBaseHandle& handle, const LabAssay& assay)
{
    auto row = prepareStatement(handle, u"INSERT INTO [assay] (id, filename, sample, mixture, date, iscalibration)"
                                        u" VALUES (?, ?, ?, ?, ?, ?);");
    bindInt64(row, 1, assay.id);
    bindText(row, 2, assay.fileName);
    bindText(row, 3, assay.sample);
    bindText(row, 4, assay.mixture);
    bindInt64(row, 5, assay.date);
    bindInt(row, 6, assay.isCalibration ? 1 : 0);
    execute(row);
    for (const LabPeak& peak : assay.peaks) {
        auto statement = prepareStatement(
            handle, u"INSERT INTO [peak] (assayid, name, time, area, concentration) VALUES (?, ?, %.17g, %.17g, %.17g);",
            peak.time, peak.area, peak.concentration);
        bindInt64(statement, 1, assay.id);
        bindText(statement, 2, peak.name);
        execute(statement);
    }
}

void insertMixture(const DataBaseHandle& handle, const Mixture& mixture)
{
    auto row = prepareStatement(handle, u"INSERT INTO [mixture] (id, name, ballon, release, expiry) VALUES (?, ?, ?, ?, ?);");
    bindInt(row, 1, mixture.id);
    bindText(row, 2, mixture.name);
    bindText(row, 3, mixture.ballon);
    bindInt64(row, 4, mixture.release);
    bindInt64(row, 5, mixture.expiry);
    execute(row);
    for (const MixtureComponent& component : mixture.components) {
        auto statement = prepareStatement(
            handle, u"INSERT INTO [mixturecomp] (mixtureid, nameid, name, concentration, deviation)"
                    u" VALUES (?, ?, ?, %.17g, %.17g);",
            component.concentration, component.deviation);
        bindInt(statement, 1, mixture.id);
        bindText(statement, 2, component.nameid);
        bindText(statement, 3, component.name);
        execute(statement);
    }
}

int writeChromatogramFile(const std::u16string& path, const std::u16string& sample, double volume,
                          double waterMassFraction)
{
    CCorvaneFile4 file;
    // A short baseline: the module carries samples but never reads them.
    std::vector<std::uint32_t> samples(64);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint32_t>(1000 + (i * 37) % 11);
    file.channels.emplace_back(std::uint8_t{1}, Channel::BlockValue{}, Channel::BlockValue{}, samples.data(),
                               samples.size());
    file.passport.sample = sample;
    file.passport.method = u"ГОСТ 19710-2019";
    file.passport.values.push_back({u"volume", u"Объем пробы, мкл", formatGeneral(volume, 17)});
    file.passport.values.push_back({u"water", loadString(IDS_WATER_MASS_TITLE), formatGeneral(waterMassFraction, 17)});
    return file.saveToFile(path);
}

} // namespace norvalt
