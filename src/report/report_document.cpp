#include "report/report_document.h"

#include <chrono>

#include "report/xml_writer_source.h"
#include "text/format.h"
#include "text/path.h"
#include "text/string_table.h"
#include "text/utf.h"
#include "workset/chromatogram_set.h"

namespace norvalt {

namespace {

bool isXmlChar(char16_t unit)
{
    // XML 1.0 admits no C0 control other than tab, line feed and carriage
    // return, and neither U+FFFE nor U+FFFF (surrogates are judged by the
    // UTF-8 conversion, which replaces unpaired ones).
    if (unit < 0x20) return unit == u'\t' || unit == u'\n' || unit == u'\r';
    return unit != 0xFFFE && unit != 0xFFFF;
}

// Texts from the database and the chromatogram files may hold characters
// that no XML parser accepts even as references; one of them would make
// the whole document unreadable, so each becomes U+FFFD.
std::string attributeText(std::u16string_view text)
{
    std::u16string clean(text);
    for (char16_t& unit : clean)
        if (!isXmlChar(unit)) unit = 0xFFFD;
    return utf16ToUtf8(clean);
}

void setAttribute(pugi::xml_node node, const char* name, std::u16string_view value)
{
    node.append_attribute(name).set_value(attributeText(value).c_str());
}

void appendFiles(pugi::xml_node files, const ReportInput& input)
{
    int number = 0;
    for (const auto& [assayId, c] : input.chromatograms) {
        pugi::xml_node row = files.append_child("row");
        setAttribute(row, "number", formatInt(++number));
        setAttribute(row, "fileName", fileNamePart(c.fileName));
        setAttribute(row, "sample", c.sample);
        setAttribute(row, "volume", formatFixed(c.volume, 2));
        setAttribute(row, "date", formatLocalDateTime(c.date));
        setAttribute(row, "type", loadString(c.isCalibration ? IDS_TAB_GRADUATION : IDS_TAB_CALCULATION));
        // An index outside the list names no mixture, as in the main list.
        const bool known = c.mixtureIndex >= 0 && static_cast<std::size_t>(c.mixtureIndex) < input.mixtures.size();
        setAttribute(row, "mixture", known ? std::u16string_view(input.mixtures[c.mixtureIndex].name) : u"");
    }
}

void appendCalculation(pugi::xml_node calculation, const ReportInput& input)
{
    int number = 0;
    for (const ComponentResult& result : input.results) {
        pugi::xml_node row = calculation.append_child("row");
        setAttribute(row, "number", formatInt(++number));
        setAttribute(row, "name", result.name);
        // Ethylene glycol has no calibration series of its own: it reads 0.
        const auto value = input.componentValues.find(result.name);
        setAttribute(row, "avgLgA", formatFixed(value == input.componentValues.end() ? 0.0 : value->second, 3));
        setAttribute(row, "avgMolarMass", formatFixed(result.massFraction, 3));
        if (result.norm != 0) setAttribute(row, "norm", formatFixed(result.norm, 3));
        setAttribute(row, "OK", loadString(result.complies ? IDS_YES : IDS_NO));
    }
}

} // namespace

ReportInput ReportInput::of(const ChromatogramSet& set, const MessageList& messages)
{
    return {set.chromatograms(), set.mixtures(), set.calculator().selectedResults(), set.componentValues(),
            messages};
}

std::u16string buildReportDocument(const ReportInput& input, std::int64_t createdAt)
{
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-16LE");

    pugi::xml_node root = document.append_child("root");
    setAttribute(root, "date_created", formatLocalDateTime(createdAt));
    setAttribute(root, "prog_version", reportProgramVersion);

    appendFiles(root.append_child("files"), input);
    appendCalculation(root.append_child("calculation"), input);
    pugi::xml_node messages = root.append_child("messages");
    for (const std::u16string& text : input.messages.allMessageTexts())
        setAttribute(messages.append_child("row"), "msg_str", text);

    std::u16string text;
    xml_writer_source writer(text);
    document.save(writer, "", pugi::format_raw, pugi::encoding_utf16_le);
    return text;
}

std::u16string buildReportDocument(const ReportInput& input)
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return buildReportDocument(input, std::chrono::duration_cast<std::chrono::seconds>(now).count());
}

} // namespace norvalt
