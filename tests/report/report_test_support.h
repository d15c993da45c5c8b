#pragma once
// Inputs for report tests, and the reading of a written page: the texts of
// its tables and messages, and those that the report document says the
// default template must show.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "../calc/calc_fixtures.h"
#include "calc/components.h"
#include "report/report_document.h"
#include "text/utf.h"

namespace norvalt::test {

// The laboratory's peak names: ethylene glycol under its own name, the
// others short.
inline std::array<std::u16string, 6> labNames()
{
    return {u"Этиленгликоль", u"ДЭГ", u"ТЭГ", u"Вода", u"Нонанол", u"Бензол"};
}

inline Chromatogram chromatogram(std::u16string fileName, std::u16string sample, bool isCalibration,
                                 std::int32_t mixtureIndex, double volume, std::int64_t date)
{
    Chromatogram c;
    c.fileName = std::move(fileName);
    c.sample = std::move(sample);
    c.isCalibration = isCalibration;
    c.mixtureIndex = mixtureIndex;
    c.volume = volume;
    c.date = date;
    return c;
}

inline Mixture mixture(std::u16string name)
{
    Mixture m;
    m.name = std::move(name);
    return m;
}

// The owner of everything a ReportInput refers to.
struct ReportData {
    ChromatogramMap chromatograms;
    std::vector<Mixture> mixtures;
    std::vector<ComponentResult> results;
    std::map<std::u16string, double> componentValues;
    MessageList messages;

    ReportInput input() const { return {chromatograms, mixtures, results, componentValues, messages}; }
};

inline std::string slurp(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A path of the source tree as this program's platform names it: Wine
// shows the Linux root as drive Z:.
inline std::filesystem::path sourcePath(const std::string& path)
{
#ifdef _WIN32
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/') c = '\\';
    return std::filesystem::u8path(windows);
#else
    return std::filesystem::u8path(path);
#endif
}

inline std::filesystem::path defaultTemplate()
{
    return sourcePath(std::string(NORVALT_TEMPLATES) + "/norvalt/Report.xsl");
}

// What a page shows: the cells of its two tables row by row, its numbered
// messages, and all its text.
struct PageTexts {
    std::vector<std::vector<std::string>> files;
    std::vector<std::vector<std::string>> results;
    std::vector<std::string> messages;
    std::string allText;
    bool operator==(const PageTexts& other) const
    {
        return files == other.files && results == other.results && messages == other.messages;
    }
};

inline void PrintTo(const PageTexts& page, std::ostream* out)
{
    auto rows = [out](const std::vector<std::vector<std::string>>& table) {
        for (const auto& row : table) {
            *out << "\n   ";
            for (const auto& cell : row) *out << " [" << cell << "]";
        }
    };
    *out << "files:";
    rows(page.files);
    *out << "\nresults:";
    rows(page.results);
    *out << "\nmessages:";
    for (const auto& m : page.messages) *out << "\n    [" << m << "]";
}

inline std::string textOf(pugi::xml_node node)
{
    std::string text;
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling())
        text += n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata ? std::string(n.value()) : textOf(n);
    return text;
}

// Reads a written page. The default template writes well-formed XHTML
// markup (MSXML builds the result as a document), so an XML parser reads
// the pages of both processors.
inline PageTexts readPage(const std::string& bytes)
{
    pugi::xml_document page;
    const pugi::xml_parse_result parsed = page.load_buffer(bytes.data(), bytes.size());
    EXPECT_TRUE(parsed) << parsed.description() << " at " << parsed.offset;
    PageTexts texts;
    auto rows = [&page](const char* table) {
        std::vector<std::vector<std::string>> cells;
        const std::string path = std::string("//table[@class='") + table + "']/tbody/tr";
        for (const pugi::xpath_node& tr : page.select_nodes(path.c_str())) {
            std::vector<std::string> row;
            for (pugi::xml_node td : tr.node().children("td")) row.push_back(textOf(td));
            cells.push_back(row);
        }
        return cells;
    };
    texts.files = rows("files");
    texts.results = rows("results");
    for (const pugi::xpath_node& li : page.select_nodes("//ol[@class='messages']/li"))
        texts.messages.push_back(textOf(li.node()));
    texts.allText = textOf(page);
    return texts;
}

// What the default template shows for a report document: every attribute
// of a row in a cell of its own, in the document's order, a dash for an
// empty or absent one.
inline PageTexts expectedPage(const std::u16string& sourceXml)
{
    pugi::xml_document source;
    EXPECT_TRUE(source.load_buffer(sourceXml.data(), sourceXml.size() * 2, pugi::parse_default,
                                   pugi::encoding_utf16_le));
    auto cell = [](pugi::xml_node row, const char* name) {
        const std::string value = row.attribute(name).value();
        return value.empty() ? std::string("—") : value;
    };
    PageTexts texts;
    for (pugi::xml_node row : source.child("root").child("files").children("row"))
        texts.files.push_back({row.attribute("number").value(), cell(row, "fileName"), cell(row, "sample"),
                               cell(row, "volume"), cell(row, "date"), cell(row, "type"), cell(row, "mixture")});
    for (pugi::xml_node row : source.child("root").child("calculation").children("row"))
        texts.results.push_back({row.attribute("number").value(), cell(row, "name"), cell(row, "avgLgA"),
                                 cell(row, "avgMolarMass"), cell(row, "norm"), cell(row, "OK")});
    for (pugi::xml_node row : source.child("root").child("messages").children("row"))
        texts.messages.push_back(cell(row, "msg_str"));
    return texts;
}

} // namespace norvalt::test
