// norvalt calc: the whole determination on a host database, printed as the
// module's windows show it, or as JSON.
#include <charconv>
#include <cmath>
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "set_session.h"
#include "text/path.h"
#include "text/string_table.h"
#include "text/utf.h"
#include "workset/page_texts.h"

namespace norvalt::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string text(std::u16string_view s)
{
    return utf16ToUtf8(s);
}

// Round-trip precision; NaN and infinities have no JSON form.
Json number(double v)
{
    if (!std::isfinite(v)) return nullptr;
    return v;
}

// Columns padded to their widest cell (counted in characters), two blanks
// apart.
template <std::size_t N>
void printTable(std::ostream& out, const std::array<std::u16string, N>& headers,
                const std::vector<std::array<std::u16string, N>>& rows)
{
    std::array<std::size_t, N> width{};
    auto length = [](const std::u16string& s) {
        std::size_t n = 0;
        for (char16_t c : s) n += (c & 0xFC00) != 0xDC00;
        return n;
    };
    for (std::size_t i = 0; i < N; ++i) width[i] = length(headers[i]);
    for (const auto& row : rows)
        for (std::size_t i = 0; i < N; ++i) width[i] = std::max(width[i], length(row[i]));
    auto line = [&](const std::array<std::u16string, N>& cells) {
        std::string s;
        for (std::size_t i = 0; i < N; ++i) {
            s += text(cells[i]);
            if (i + 1 < N) s += std::string(width[i] - length(cells[i]) + 2, ' ');
        }
        while (!s.empty() && s.back() == ' ') s.pop_back();
        out << "  " << s << '\n';
    };
    line(headers);
    for (const auto& row : rows) line(row);
}

void printHuman(std::ostream& out, SetSession& session)
{
    ChromatogramSet& set = session.set();
    std::vector<std::array<std::u16string, 7>> rows;
    for (std::size_t i = 0; i < session.rows().size(); ++i)
        rows.push_back(set.rowTexts(session.rows()[i], static_cast<int>(i)));
    printTable<7>(out,
                  {u"№", loadString(IDS_COL_FILE_NAME), loadString(IDS_COL_SAMPLE), loadString(IDS_COL_VOLUME),
                   loadString(IDS_COL_DATE), loadString(IDS_COL_KIND), loadString(IDS_COL_MIXTURE)},
                  rows);

    auto selected = set.chromatograms().find(set.selectedAssayId());
    if (selected != set.chromatograms().end()) {
        out << "\n" << text(loadString(IDS_TAB_COMPONENTS)) << ": " << text(fileNamePart(selected->second.fileName))
            << " (" << selected->first << ")\n";
        std::vector<std::array<std::u16string, 4>> peaks;
        int n = 0;
        for (const Peak& p : selected->second.peaks) peaks.push_back(peakRowTexts(p, ++n));
        printTable<4>(out, {u"№", loadString(IDS_COL_NAME), loadString(IDS_COL_AREA), loadString(IDS_COL_TIME)},
                      peaks);
    }

    const auto& series = set.calculator().calibrationSeries();
    if (!series.empty()) {
        out << "\n" << text(loadString(IDS_TAB_GRADUATION)) << ":\n";
        const auto entries = graduationEntries(series);
        auto means = set.componentValues();
        for (const CalibrationSeries& s : series) {
            out << " " << text(s.peakName) << "\n";
            printTable<5>(out,
                          {u"№", loadString(IDS_COL_GRAD_POINT), loadString(IDS_COL_PEAK_AREA),
                           loadString(IDS_COL_CONCENTRATION), loadString(IDS_KI)},
                          graduationRowTexts(entries, s.peakName, means));
        }
    }

    const auto& results = set.calculator().selectedResults();
    if (!results.empty()) {
        out << "\n" << text(loadString(IDS_TAB_CALCULATION)) << ":\n";
        std::vector<std::array<std::u16string, 5>> resultRows;
        int n = 0;
        for (const ComponentResult& r : results) resultRows.push_back(resultRowTexts(r, ++n));
        printTable<5>(out,
                      {u"№", loadString(IDS_COL_NAME), loadString(IDS_COL_MASS_FRACTION), loadString(IDS_COL_NORM),
                       loadString(IDS_COL_COMPLIES)},
                      resultRows);
    }

    const auto lines = messageLines(session.messages());
    if (!lines.empty()) {
        out << "\n" << text(loadString(IDS_TAB_MESSAGES)) << ":\n";
        for (const auto& line : lines) out << text(line) << '\n';
    }
}

Json toJson(SetSession& session)
{
    ChromatogramSet& set = session.set();
    Json rows = Json::array();
    for (std::size_t i = 0; i < session.rows().size(); ++i) {
        Json cells = Json::array();
        for (const auto& cell : set.rowTexts(session.rows()[i], static_cast<int>(i))) cells.push_back(text(cell));
        rows.push_back({{"assayId", session.rows()[i]}, {"cells", cells}});
    }
    Json peaks = Json::array();
    auto selected = set.chromatograms().find(set.selectedAssayId());
    if (selected != set.chromatograms().end())
        for (const Peak& p : selected->second.peaks)
            peaks.push_back({{"name", text(p.name)}, {"area", number(p.area)}, {"time", number(p.time)}});
    Json calibration = Json::array();
    for (const CalibrationSeries& s : set.calculator().calibrationSeries()) {
        Json points = Json::array();
        for (const CalibrationPoint& p : s.points)
            points.push_back({{"fileName", text(p.fileName)},
                              {"volume", number(p.volume)},
                              {"concentration", number(p.concentration)},
                              {"area", number(p.area)},
                              {"coefficient", number(p.coefficient)}});
        calibration.push_back({{"peakName", text(s.peakName)},
                               {"mixtureIndex", s.mixtureIndex},
                               {"meanCoefficient", number(s.meanCoefficient)},
                               {"points", points}});
    }
    Json results = Json::array();
    for (const ComponentResult& r : set.calculator().selectedResults())
        results.push_back({{"name", text(r.name)},
                           {"massFraction", number(r.massFraction)},
                           {"norm", number(r.norm)},
                           {"complies", r.complies}});
    auto texts = [&session](MessageLevel level) {
        Json list = Json::array();
        for (const auto& t : session.messages().messages(level)) list.push_back(text(t));
        return list;
    };
    return {{"rows", rows},
            {"selectedAssayId", set.selectedAssayId()},
            {"peaks", peaks},
            {"calibration", calibration},
            {"results", results},
            {"messages",
             {{"errors", texts(MessageLevel::Error)},
              {"warnings", texts(MessageLevel::Warning)},
              {"information", texts(MessageLevel::Information)}}}};
}

} // namespace

void addCalcCommand(CLI::App& app, int& exitCode)
{
    auto options = std::make_shared<SetOptions>();
    auto json = std::make_shared<bool>(false);
    CLI::App* command = app.add_subcommand("calc", "Run the determination on a host database");
    addSetOptions(*command, *options);
    command->add_flag("--json", *json, "Print one JSON object");
    command->callback([options, json, &exitCode]() {
        SetSession session(*options);
        if (const int code = session.build(); code != exitOk) {
            exitCode = code;
            return;
        }
        if (*json) std::cout << toJson(session).dump(2) << '\n';
        else printHuman(std::cout, session);
        exitCode = session.set().calculator().selectedResults().empty() ? exitFailed : exitOk;
    });
}

} // namespace norvalt::cli
