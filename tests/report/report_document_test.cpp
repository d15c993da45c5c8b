#include <gtest/gtest.h>

#include <ctime>
#include <sstream>
#include <vector>

#include "report/report_document.h"
#include "report/xml_writer_source.h"
#include "report_test_support.h"
#include "text/utf.h"

namespace norvalt {
namespace {

using test::AltNames;
using test::ReportData;

constexpr std::int64_t created = 1700000000;  // 2023-11-14 22:13:20 UTC

pugi::xml_document parse(const std::u16string& text)
{
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_buffer(text.data(), text.size() * 2, pugi::parse_default | pugi::parse_declaration,
                                pugi::encoding_utf16_le));
    return doc;
}

std::vector<std::string> attributeNames(pugi::xml_node node)
{
    std::vector<std::string> names;
    for (pugi::xml_attribute a : node.attributes()) names.push_back(a.name());
    return names;
}

std::string local(std::int64_t t)
{
    return utf16ToUtf8(formatLocalDateTime(t));
}

// Calibrations and an analysed chromatogram, added out of id order, with
// results for both glycols and a component without a norm.
ReportData determination()
{
    ReportData d;
    d.mixtures = {test::mixture(u"ГСО-1")};
    d.chromatograms[7] = test::chromatogram(u"/data/lab/a7.stg", u"Партия 12", false, 5, 0.126, 1600000000);
    d.chromatograms[3] = test::chromatogram(u"C:\\Lab\\grad\\g3.stg", u"ГСО <А>", true, 0, 1.0, 1500000000);
    d.chromatograms[5] = test::chromatogram(u"g5.stg", u"", false, -1, 2.5, 1550000000);
    d.results = {{u"ДЭГ", 0.0123, false, 0.0005}, {u"ТЭГ", 0.2, true, 0}, {u"этиленгликоль", 99.7, false, 0.998}};
    d.componentValues = {{u"ДЭГ", 1.23456}, {u"ТЭГ", 0.9996}, {u"Нонанол", 2.0}};
    d.messages.addMessage(MessageLevel::Information, u"сведения");
    d.messages.addMessage(MessageLevel::Warning, u"предупреждение");
    d.messages.addMessage(MessageLevel::Error, u"ошибка <1> & co");
    return d;
}

TEST(ReportDocument, CarriesTheSetTheResultsAndTheMessagesAttributeByAttribute)
{
    const AltNames names(test::labNames());
    const ReportData d = determination();
    const std::u16string text = buildReportDocument(d.input(), created);
    const pugi::xml_document doc = parse(text);

    const pugi::xml_node declaration = doc.first_child();
    ASSERT_EQ(declaration.type(), pugi::node_declaration);
    EXPECT_EQ(attributeNames(declaration), (std::vector<std::string>{"version", "encoding"}));
    EXPECT_STREQ(declaration.attribute("encoding").value(), "UTF-16LE");

    const pugi::xml_node root = doc.child("root");
    EXPECT_EQ(attributeNames(root), (std::vector<std::string>{"date_created", "prog_version"}));
    EXPECT_EQ(root.attribute("date_created").value(), local(created));
    EXPECT_STREQ(root.attribute("prog_version").value(), " 1.0.1.0");
    std::vector<std::string> sections;
    for (pugi::xml_node n : root.children()) sections.push_back(n.name());
    EXPECT_EQ(sections, (std::vector<std::string>{"files", "calculation", "messages"}));

    // Rows in ascending assay id (3, 5, 7), numbered from 1. Volumes "%.2f":
    // 1.0 -> "1.00", 2.5 -> "2.50", 0.126 -> "0.13". Assay 7 names mixture 5
    // of a list of one: no mixture, as the main list shows it.
    const std::vector<std::string> fileAttributes{"number", "fileName", "sample", "volume", "date", "type", "mixture"};
    using Row = std::vector<std::string>;
    const std::vector<Row> files{
        {"1", "g3.stg", "ГСО <А>", "1.00", local(1500000000), "Градуировка", "ГСО-1"},
        {"2", "g5.stg", "", "2.50", local(1550000000), "Рассчет", ""},
        {"3", "a7.stg", "Партия 12", "0.13", local(1600000000), "Рассчет", ""},
    };
    std::vector<Row> gotFiles;
    for (pugi::xml_node row : root.child("files").children()) {
        EXPECT_STREQ(row.name(), "row");
        EXPECT_EQ(attributeNames(row), fileAttributes);
        Row cells;
        for (pugi::xml_attribute a : row.attributes()) cells.push_back(a.value());
        gotFiles.push_back(cells);
    }
    EXPECT_EQ(gotFiles, files);

    // avgLgA "%.3f" of the mean coefficient: 1.23456 -> "1.235", 0.9996 ->
    // "1.000", ethylene glycol without an entry -> "0.000". Mass fractions:
    // 0.0123 -> "0.012", 0.2 -> "0.200", 99.7 -> "99.700". Norms: 0.0005 ->
    // "0.001", 0.998 -> "0.998", triethylene glycol none.
    std::vector<Row> gotResults;
    for (pugi::xml_node row : root.child("calculation").children("row")) {
        Row cells;
        for (pugi::xml_attribute a : row.attributes()) cells.push_back(std::string(a.name()) + "=" + a.value());
        gotResults.push_back(cells);
    }
    EXPECT_EQ(gotResults,
              (std::vector<Row>{
                  {"number=1", "name=ДЭГ", "avgLgA=1.235", "avgMolarMass=0.012", "norm=0.001", "OK=Нет"},
                  {"number=2", "name=ТЭГ", "avgLgA=1.000", "avgMolarMass=0.200", "OK=Да"},
                  {"number=3", "name=этиленгликоль", "avgLgA=0.000", "avgMolarMass=99.700", "norm=0.998", "OK=Нет"},
              }));

    // Errors, warnings, information, whatever the order of adding.
    Row gotMessages;
    for (pugi::xml_node row : root.child("messages").children("row")) {
        EXPECT_EQ(attributeNames(row), (std::vector<std::string>{"msg_str"}));
        gotMessages.push_back(row.attribute("msg_str").value());
    }
    EXPECT_EQ(gotMessages, (Row{"ошибка <1> & co", "предупреждение", "сведения"}));
}

TEST(ReportDocument, IsOneRawUtf16TextWithItsDeclarationAndEscapedMarkup)
{
    const AltNames names(test::labNames());
    const ReportData d = determination();
    const std::u16string text = buildReportDocument(d.input(), created);

    // No byte order mark, the declaration first, no indentation or breaks.
    EXPECT_TRUE(text.starts_with(u"<?xml version=\"1.0\" encoding=\"UTF-16LE\"?><root date_created=\""));
    EXPECT_EQ(text.find(u'\n'), std::u16string::npos);
    EXPECT_TRUE(text.ends_with(u"</messages></root>"));
    // The markup of texts is escaped and comes back from a parser whole.
    EXPECT_NE(text.find(u"msg_str=\"ошибка &lt;1"), std::u16string::npos);
    EXPECT_NE(text.find(u"&amp; co\""), std::u16string::npos);
    EXPECT_NE(text.find(u"sample=\"ГСО &lt;А"), std::u16string::npos);
}

TEST(ReportDocument, AFailedRunHasAnEmptyCalculationAndItsErrors)
{
    ReportData d;
    d.chromatograms[1] = test::chromatogram(u"g1.stg", u"s", true, 0, 1, 0);
    d.mixtures = {test::mixture(u"M")};
    d.messages.addMessage(MessageLevel::Error, u"Не выбрана хроматограмма");
    const pugi::xml_document doc = parse(buildReportDocument(d.input(), created));
    const pugi::xml_node root = doc.child("root");

    ASSERT_TRUE(root.child("calculation"));
    EXPECT_FALSE(root.child("calculation").first_child());
    EXPECT_EQ(std::distance(root.child("files").begin(), root.child("files").end()), 1);
    EXPECT_STREQ(root.child("messages").child("row").attribute("msg_str").value(), "Не выбрана хроматограмма");

    // Nothing at all: the three sections are still there, empty.
    const ReportData empty;
    const pugi::xml_document none = parse(buildReportDocument(empty.input(), created));
    for (const char* section : {"files", "calculation", "messages"}) {
        ASSERT_TRUE(none.child("root").child(section)) << section;
        EXPECT_FALSE(none.child("root").child(section).first_child()) << section;
    }
}

TEST(ReportDocument, NormIsTheOneTheResultWasJudgedBy)
{
    // The row's norm comes from the result, not from the row's name: a name
    // that the component table would not resolve still shows its norm, and a
    // result judged without a norm shows none.
    ReportData d;
    d.results = {{u"МЭГ", 99.9, true, 0.998}, {u"этиленгликоль", 99.9, true, 0}};
    const pugi::xml_document doc = parse(buildReportDocument(d.input(), created));
    const pugi::xml_node row = doc.child("root").child("calculation").child("row");
    EXPECT_STREQ(row.attribute("norm").value(), "0.998");
    EXPECT_FALSE(row.next_sibling("row").attribute("norm"));
    EXPECT_STREQ(row.next_sibling("row").attribute("OK").value(), "Да");
}

TEST(ReportDocument, CharactersThatXmlRefusesBecomeReplacementCharacters)
{
    ReportData d;
    d.chromatograms[1] = test::chromatogram(u"g1.stg", std::u16string(u"a\x01" u"b\x1F") + u'\0' + u"c\tz", false, -1,
                                            1, 0);
    d.messages.addMessage(MessageLevel::Error, u"x\uFFFEy\nz");
    const std::u16string text = buildReportDocument(d.input(), created);
    const pugi::xml_document doc = parse(text);
    // The tab and the line break are XML characters and stay (as references).
    EXPECT_EQ(doc.child("root").child("files").child("row").attribute("sample").value(),
              utf16ToUtf8(u"a\uFFFDb\uFFFD\uFFFDc\tz"));
    EXPECT_EQ(doc.child("root").child("messages").child("row").attribute("msg_str").value(),
              utf16ToUtf8(u"x\uFFFDy\nz"));
    EXPECT_EQ(text.find(u"&#1;"), std::u16string::npos);
}

TEST(ReportDocument, LocalDateAndTimeOfAnInstant)
{
    EXPECT_EQ(formatLocalDateTime(-1), u"");
    const std::u16string text = formatLocalDateTime(created);
    // Whatever the user's formats, the local minutes and seconds of the
    // instant show as ":MM:SS", and the date comes before the time.
    const std::time_t t = created;
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    const std::string mmss = ":" + std::to_string(tm.tm_min / 10) + std::to_string(tm.tm_min % 10) + ":" +
                             std::to_string(tm.tm_sec / 10) + std::to_string(tm.tm_sec % 10);
    const std::string s = utf16ToUtf8(text);
    const auto at = s.find(mmss);
    ASSERT_NE(at, std::string::npos) << s;
    const auto space = s.find(' ');
    ASSERT_NE(space, std::string::npos) << s;
    EXPECT_LT(space, at);
    EXPECT_NE(s.substr(0, space).find(std::to_string(tm.tm_mday)), std::string::npos) << s;
    EXPECT_NE(formatLocalDateTime(created + 86400), text);
}

TEST(XmlWriterSource, AppendsCodeUnitsAndDropsWhatCannotBeAppendedWhole)
{
    std::u16string target;
    xml_writer_source writer(target, 5);
    const char16_t abc[] = u"abc";
    writer.write(abc, 6);
    EXPECT_EQ(target, u"abc");
    // Nothing, or less than one code unit: no change.
    writer.write(abc, 0);
    writer.write(nullptr, 4);
    writer.write(abc, 1);
    EXPECT_EQ(target, u"abc");
    // An odd byte count appends the whole units only.
    writer.write(abc, 3);
    EXPECT_EQ(target, u"abca");
    // Three more would pass the bound of five: dropped whole; one fits.
    writer.write(abc, 6);
    EXPECT_EQ(target, u"abca");
    writer.write(abc + 2, 2);
    EXPECT_EQ(target, u"abcac");
    writer.write(abc, 2);
    EXPECT_EQ(target, u"abcac");

    // Through pugixml: the bytes it writes arrive as its UTF-16 text.
    pugi::xml_document doc;
    doc.append_child("ж").append_attribute("a").set_value("𝄞");
    std::u16string out;
    xml_writer_source sink(out);
    doc.save(sink, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf16_le);
    std::ostringstream utf8;
    doc.save(utf8, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    EXPECT_EQ(out, utf8ToUtf16(utf8.str()));
    EXPECT_NE(out.find(u"𝄞"), std::u16string::npos);
}

} // namespace
} // namespace norvalt
