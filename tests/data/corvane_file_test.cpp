#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "data/corvane_file.h"

namespace norvalt {
namespace {

namespace fs = std::filesystem;

// --- building file images by hand -------------------------------------------

std::string le64(std::uint64_t v)
{
    std::string s(8, '\0');
    for (int i = 0; i < 8; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

std::string fileHeader(std::uint8_t version, std::uint64_t xmlOffset)
{
    return std::string("STG") + static_cast<char>(version) + std::string(4, '\0') + le64(xmlOffset);
}

// A block header with fixed header values: A = 01..08, B = 11..18.
std::string blockHeader(std::uint8_t number, std::uint64_t count)
{
    return std::string(1, static_cast<char>(number)) + std::string(7, '\0') +
           "\x01\x02\x03\x04\x05\x06\x07\x08" + "\x11\x12\x13\x14\x15\x16\x17\x18" + le64(count);
}

std::string words(std::initializer_list<std::uint32_t> values)
{
    std::string s;
    for (std::uint32_t v : values)
        for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
    return s;
}

// One channel (number 3, samples 10 and 20) followed by the given XML.
// XML offset: 16 + 32 + 2 * 4 = 56.
std::string imageWithXml(const std::string& xml)
{
    return fileHeader(1, 56) + blockHeader(3, 2) + words({10, 20}) + xml;
}

std::string documentWith(const std::string& passport, const std::string& channels = "")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><root version=\"1\"><passport version=\"1\">" + passport +
           "</passport><channels version=\"1\">" + channels + "</channels></root>";
}

int loadImage(CCorvaneFile4& file, const std::string& image)
{
    return file.loadFromMemory(image.data(), image.size());
}

class CorvaneFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / (std::string("norvalt-file-") + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path pathOf(const std::string& name) const { return dir_ / fs::u8path(name); }

    void writeBytes(const fs::path& path, const std::string& bytes) const
    {
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    std::string readBytes(const fs::path& path) const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir_;
};

// A record that uses every field, with texts that need escaping or are not ASCII.
CCorvaneFile4 fullRecord()
{
    CCorvaneFile4 f;
    f.version = 0;
    Passport& p = f.passport;
    p.assayid = u"6F9619FF-8B86-D011-B42D-00C04FC964FF";
    p.series = u"Серия <1> & \"2\"";
    p.andate = -1234567890123LL;
    p.duration = 0.1;
    p.sample = u"Образец 'A'";
    p.method = u"ГОСТ 19710-2019";
    p.graduation = true;
    p.date = std::numeric_limits<std::int64_t>::max();
    p.defect = true;
    p.mixture = u"Смесь №7";
    PassportColumn c1;
    c1.channel = 1;
    c1.name = u"HP-FFAP";
    c1.brand = u"Agilent";
    c1.type = -3;
    c1.diameter = 0.32;
    c1.length = 50;
    c1.carrier = u"гелий";
    c1.phase = u"ПЭГ";
    c1.percent = 1e-300;
    c1.unit = 2;
    c1.fraction0 = -2.5;
    c1.fraction1 = 1.0 / 3.0;
    c1.film = 0.5;
    c1.part = u"19091F-105";
    c1.serial = u"US1234";
    PassportColumn c2;
    c2.name = u"второй";
    p.columns = {c1, c2};
    p.values = {{u"volume", u"Объём пробы", u"0.2"}, {u"water", u"Массовая доля воды, %", u"0,05"}};

    const std::uint32_t s1[] = {0, 1, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    f.channels.emplace_back(0, Channel::BlockValue{1, 2, 3, 4, 5, 6, 7, 8},
                            Channel::BlockValue{0xFF, 0xFE, 0, 0, 0, 0, 0, 0x80}, s1, 5);
    f.channels.emplace_back(200, Channel::BlockValue{}, Channel::BlockValue{9}, nullptr, 0);
    Peak a;
    a.front = 1.25;
    a.back = 1.75;
    a.time = 1.5;
    a.area = 123.456789012345;
    a.height = -0.0001;
    a.concent = 99.5;
    a.name = u"Этиленгликоль";
    a.reference = true;
    a.left = -7;
    a.right = 2147483647;
    a.flags = 4294967295u;
    a.front_base_height = 0.3;
    a.back_base_height = 1e100;
    a.index = 1002.5;
    Peak b;  // defaults throughout
    f.channels[0].peaks = {a, b};
    f.channels[1].peaks = {b};
    return f;
}

void expectSameRecord(const CCorvaneFile4& want, const CCorvaneFile4& got)
{
    EXPECT_EQ(got.version, want.version);
    const Passport& p = want.passport;
    const Passport& q = got.passport;
    EXPECT_EQ(q.assayid, p.assayid);
    EXPECT_EQ(q.series, p.series);
    EXPECT_EQ(q.andate, p.andate);
    EXPECT_EQ(q.duration, p.duration);
    EXPECT_EQ(q.sample, p.sample);
    EXPECT_EQ(q.method, p.method);
    EXPECT_EQ(q.graduation, p.graduation);
    EXPECT_EQ(q.date, p.date);
    EXPECT_EQ(q.defect, p.defect);
    EXPECT_EQ(q.mixture, p.mixture);
    ASSERT_EQ(q.columns.size(), p.columns.size());
    for (std::size_t i = 0; i < p.columns.size(); ++i) {
        const PassportColumn& x = p.columns[i];
        const PassportColumn& y = q.columns[i];
        EXPECT_EQ(y.channel, x.channel);
        EXPECT_EQ(y.name, x.name);
        EXPECT_EQ(y.brand, x.brand);
        EXPECT_EQ(y.type, x.type);
        EXPECT_EQ(y.diameter, x.diameter);
        EXPECT_EQ(y.length, x.length);
        EXPECT_EQ(y.carrier, x.carrier);
        EXPECT_EQ(y.phase, x.phase);
        EXPECT_EQ(y.percent, x.percent);
        EXPECT_EQ(y.unit, x.unit);
        EXPECT_EQ(y.fraction0, x.fraction0);
        EXPECT_EQ(y.fraction1, x.fraction1);
        EXPECT_EQ(y.film, x.film);
        EXPECT_EQ(y.part, x.part);
        EXPECT_EQ(y.serial, x.serial);
    }
    ASSERT_EQ(q.values.size(), p.values.size());
    for (std::size_t i = 0; i < p.values.size(); ++i) {
        EXPECT_EQ(q.values[i].name, p.values[i].name);
        EXPECT_EQ(q.values[i].title, p.values[i].title);
        EXPECT_EQ(q.values[i].value, p.values[i].value);
    }
    ASSERT_EQ(got.channels.size(), want.channels.size());
    for (std::size_t i = 0; i < want.channels.size(); ++i) {
        const Channel& x = want.channels[i];
        const Channel& y = got.channels[i];
        EXPECT_EQ(y.number, x.number);
        EXPECT_EQ(y.samples, x.samples);
        EXPECT_EQ(y.blockValueA, x.blockValueA);
        EXPECT_EQ(y.blockValueB, x.blockValueB);
        ASSERT_EQ(y.peaks.size(), x.peaks.size());
        for (std::size_t k = 0; k < x.peaks.size(); ++k) {
            const Peak& a = x.peaks[k];
            const Peak& b = y.peaks[k];
            EXPECT_EQ(b.front, a.front);
            EXPECT_EQ(b.back, a.back);
            EXPECT_EQ(b.time, a.time);
            EXPECT_EQ(b.area, a.area);
            EXPECT_EQ(b.height, a.height);
            EXPECT_EQ(b.concent, a.concent);
            EXPECT_EQ(b.name, a.name);
            EXPECT_EQ(b.reference, a.reference);
            EXPECT_EQ(b.left, a.left);
            EXPECT_EQ(b.right, a.right);
            EXPECT_EQ(b.flags, a.flags);
            EXPECT_EQ(b.front_base_height, a.front_base_height);
            EXPECT_EQ(b.back_base_height, a.back_base_height);
            EXPECT_EQ(b.index, a.index);
        }
    }
}

// --- round trip and layout ---------------------------------------------------

TEST_F(CorvaneFileTest, EveryFieldSurvivesSaveAndLoad)
{
    CCorvaneFile4 original = fullRecord();
    const fs::path path = pathOf("хроматограмма 1.dat");
    ASSERT_EQ(original.saveToFile(path.u16string()), 0);
    EXPECT_EQ(original.passport.path, path.u16string());

    CCorvaneFile4 fromFile;
    ASSERT_EQ(fromFile.loadFromFile(path.u16string()), 0);
    expectSameRecord(original, fromFile);
    EXPECT_EQ(fromFile.passport.path, path.u16string());

    const std::string bytes = readBytes(path);
    CCorvaneFile4 fromMemory;
    fromMemory.passport.path = u"unchanged";
    ASSERT_EQ(fromMemory.loadFromMemory(bytes.data(), bytes.size()), 0);
    expectSameRecord(original, fromMemory);
    EXPECT_EQ(fromMemory.passport.path, u"unchanged");
}

TEST_F(CorvaneFileTest, SavedFileHasTheDocumentedLayout)
{
    CCorvaneFile4 f;
    f.passport.duration = 0.1;
    const std::uint32_t s[] = {0x04030201u, 0xA0B0C0D0u};
    f.channels.emplace_back(5, Channel::BlockValue{1, 2, 3, 4, 5, 6, 7, 8},
                            Channel::BlockValue{9, 10, 11, 12, 13, 14, 15, 16}, s, 2);
    f.passport.columns.emplace_back();
    f.passport.values.push_back({u"volume", u"V", u"0.2"});
    Peak& peak = f.channels[0].peaks.emplace_back();
    peak.front = 1;
    peak.back = 2;
    peak.time = 1.5;
    peak.area = 0.25;
    peak.height = 3;
    peak.name = u"x";
    peak.reference = true;
    peak.left = 4;
    peak.right = 5;
    peak.flags = 6;
    peak.front_base_height = 0.5;
    peak.back_base_height = -0.5;
    peak.index = 7;
    const fs::path path = pathOf("layout.dat");
    ASSERT_EQ(f.saveToFile(path.u16string()), 0);
    const std::string bytes = readBytes(path);

    // Header 16 bytes, one block of 32 + 2 * 4 = 40 bytes: the XML starts at 56.
    ASSERT_GT(bytes.size(), 56u);
    EXPECT_EQ(bytes.substr(0, 16), fileHeader(1, 56));
    EXPECT_EQ(bytes.substr(16, 8), std::string("\x05\0\0\0\0\0\0\0", 8));
    EXPECT_EQ(bytes.substr(24, 16), "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10");
    EXPECT_EQ(bytes.substr(40, 8), le64(2));
    EXPECT_EQ(bytes.substr(48, 8), "\x01\x02\x03\x04\xD0\xC0\xB0\xA0");

    // Raw UTF-8 without a byte order mark, indentation or line breaks; 0.1
    // with 17 significant digits is 0.10000000000000001.
    EXPECT_EQ(bytes.substr(56),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
              "<root version=\"1\"><passport version=\"1\">"
              "<assayid value=\"00000000-0000-0000-0000-000000000000\"/><series value=\"\"/>"
              "<andate value=\"0\"/><duration value=\"0.10000000000000001\"/><sample value=\"\"/>"
              "<method value=\"\"/><graduation value=\"false\"/><date value=\"0\"/>"
              "<defect value=\"false\"/><mixture value=\"\"/>"
              "<column><channel value=\"0\"/><name value=\"\"/><brand value=\"\"/><type value=\"0\"/>"
              "<diameter value=\"0\"/><length value=\"0\"/><carrier value=\"\"/><phase value=\"\"/>"
              "<percent value=\"0\"/><unit value=\"0\"/><fraction0 value=\"0\"/><fraction1 value=\"0\"/>"
              "<film value=\"0\"/><part value=\"\"/><serial value=\"\"/></column>"
              "<volume title=\"V\" value=\"0.2\"/></passport>"
              "<channels version=\"1\"><channel><number value=\"5\"/><table><item>"
              "<front value=\"1\"/><back value=\"2\"/><time value=\"1.5\"/><area value=\"0.25\"/>"
              "<height value=\"3\"/><concent value=\"0\"/><name value=\"x\"/><reference value=\"true\"/>"
              "<left value=\"4\"/><right value=\"5\"/><flags value=\"6\"/>"
              "<front_base_height value=\"0.5\"/><back_base_height value=\"-0.5\"/><index value=\"7\"/>"
              "</item></table></channel></channels></root>");
}

TEST_F(CorvaneFileTest, RecordWithoutChannelsLoadsBack)
{
    CCorvaneFile4 f;
    f.passport.sample = u"пусто";
    const fs::path path = pathOf("empty.dat");
    ASSERT_EQ(f.saveToFile(path.u16string()), 0);
    const std::string bytes = readBytes(path);
    EXPECT_EQ(bytes.substr(0, 16), fileHeader(1, 16));

    CCorvaneFile4 fromFile;
    fromFile.channels.emplace_back();
    ASSERT_EQ(fromFile.loadFromFile(path.u16string()), 0);
    EXPECT_TRUE(fromFile.channels.empty());
    EXPECT_EQ(fromFile.passport.sample, u"пусто");

    CCorvaneFile4 fromMemory;
    ASSERT_EQ(loadImage(fromMemory, bytes), 0);
    EXPECT_TRUE(fromMemory.channels.empty());
    EXPECT_EQ(fromMemory.passport.sample, u"пусто");
}

TEST_F(CorvaneFileTest, XmlIsParsedWhereTheLastBlockEnds)
{
    // An XML offset of 0 reads no block: the XML follows the header.
    const std::string noBlocks = fileHeader(0, 0) + documentWith("<sample value=\"a\"/>");
    CCorvaneFile4 f;
    ASSERT_EQ(loadImage(f, noBlocks), 0);
    EXPECT_EQ(f.version, 0);
    EXPECT_TRUE(f.channels.empty());
    EXPECT_EQ(f.passport.sample, u"a");

    // An offset inside the first block: the block is read whole, then the XML.
    const std::string inside = fileHeader(1, 20) + blockHeader(3, 2) + words({10, 20}) + documentWith("");
    ASSERT_EQ(loadImage(f, inside), 0);
    ASSERT_EQ(f.channels.size(), 1u);
    EXPECT_EQ(f.channels[0].samples, (std::vector<std::uint32_t>{10, 20}));
}

// --- failures of loadFromFile and the state they leave ------------------------

TEST_F(CorvaneFileTest, LoadFromFileCodesAndKeptState)
{
    const std::string good = imageWithXml(documentWith("<sample value=\"neu\"/>"));
    struct Case {
        const char* what;
        std::string bytes;
        int code;
        std::size_t channelsLeft;  // the record starts with one placeholder channel
        int versionLeft;           // the record starts with version 1
    };
    const Case cases[] = {
        {"short header", good.substr(0, 15), -2, 1, 1},
        {"bad magic", "STX" + good.substr(3), -3, 1, 1},
        {"version 2", fileHeader(2, 56) + good.substr(16), -4, 1, 1},
        // The list is emptied after the header checks.
        {"short block header", fileHeader(0, 56) + blockHeader(3, 2).substr(0, 31), -5, 0, 0},
        {"upper half of the count", fileHeader(1, 56) + blockHeader(3, 0x100000002ULL) + words({10, 20}), -6, 0, 1},
        // Four billion words counted, eight bytes present: refused before any
        // memory is reserved for them.
        {"count beyond the file", fileHeader(1, 56) + blockHeader(3, 0xFFFFFFFFULL) + words({10, 20}), -6, 0, 1},
        {"one word short", fileHeader(1, 56) + blockHeader(3, 2) + words({10}), -6, 0, 1},
        // The first block is kept, the second one is short.
        {"second block short", fileHeader(1, 200) + blockHeader(3, 2) + words({10, 20}) + blockHeader(4, 1), -6, 1,
         1},
        {"nothing after the last block", good.substr(0, 56), -7, 1, 1},
        {"XML not well-formed", imageWithXml("<root><passport>"), -7, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = pathOf("bad.dat");
        writeBytes(path, c.bytes);
        CCorvaneFile4 f;
        f.channels.emplace_back();
        f.passport.sample = u"old";
        f.passport.path = u"old path";
        EXPECT_EQ(f.loadFromFile(path.u16string()), c.code);
        EXPECT_EQ(f.channels.size(), c.channelsLeft);
        EXPECT_EQ(f.version, c.versionLeft);
        EXPECT_EQ(f.passport.sample, u"old");
        EXPECT_EQ(f.passport.path, u"old path");
    }

    CCorvaneFile4 f;
    EXPECT_EQ(f.loadFromFile(pathOf("missing.dat").u16string()), -1);
    EXPECT_EQ(f.loadFromFile(u""), -1);
    EXPECT_EQ(f.loadFromFile(dir_.u16string() + std::u16string(1, u'\0') + u"x"), -1);
}

TEST_F(CorvaneFileTest, BothLoadersRefuseANulInsideTheDocument)
{
    // pugixml's in-place parse would take this end tag as complete.
    const std::string image = imageWithXml(std::string("<root><passport/></root\0>", 25));
    const fs::path path = pathOf("zero-byte.dat");
    writeBytes(path, image);
    CCorvaneFile4 f;
    EXPECT_EQ(f.loadFromFile(path.u16string()), -7);
    EXPECT_EQ(loadImage(f, image), -3);
}

// --- failures of loadFromMemory: every count is checked against the image ----

TEST_F(CorvaneFileTest, LoadFromMemoryCodesAndKeptState)
{
    const std::string good = imageWithXml(documentWith("<sample value=\"neu\"/>"));
    struct Case {
        const char* what;
        std::string bytes;
        int code;
        std::size_t channelsLeft;
    };
    const Case cases[] = {
        {"bad magic", "stg" + good.substr(3), -1, 1},
        {"version 2", fileHeader(2, 56) + good.substr(16), -2, 1},
        {"XML not well-formed", imageWithXml("<root>"), -3, 1},
        {"nothing after the last block", good.substr(0, 56), -3, 1},
        {"shorter than the header", good.substr(0, 15), -4, 1},
        {"empty", "", -4, 1},
        {"XML offset beyond the image", fileHeader(1, 1000) + blockHeader(3, 2) + words({10, 20}), -5, 1},
        {"short block header", fileHeader(1, 56) + blockHeader(3, 2).substr(0, 20), -5, 0},
        {"count beyond the image", fileHeader(1, 56) + blockHeader(3, 3) + words({10, 20}), -6, 0},
        {"upper half of the count", fileHeader(1, 56) + blockHeader(3, 1ULL << 32) + words({10, 20}), -6, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CCorvaneFile4 f;
        f.channels.emplace_back();
        f.passport.sample = u"old";
        // A copy of exactly the image's size, so that a read past it is a
        // read past the allocation.
        const std::vector<char> image(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(f.loadFromMemory(image.data(), image.size()), c.code);
        EXPECT_EQ(f.channels.size(), c.channelsLeft);
        EXPECT_EQ(f.passport.sample, u"old");
    }

    CCorvaneFile4 f;
    EXPECT_EQ(f.loadFromMemory(nullptr, 100), -4);
    EXPECT_EQ(loadImage(f, good), 0);
    EXPECT_EQ(f.passport.sample, u"neu");
}

// --- reading rules --------------------------------------------------------

TEST_F(CorvaneFileTest, PassportReadingRules)
{
    const std::string passport =
        "<assayid/>"                                       // no value attribute: empty, not the zero GUID
        "<series value=\"first\"/><series value=\"second\"/>"  // the later one wins
        "<andate value=\"0x1F\"/>"                         // hexadecimal: 31
        "<date value=\"99999999999999999999\"/>"           // beyond 2^63 - 1: clamped
        "<duration value=\" 1.5e3xyz\"/>"                  // blanks skipped, tail ignored: 1500
        "<graduation value=\"Yes\"/><defect value=\"no\"/>"
        "<column><channel value=\"-0x10\"/><type value=\"4294967296\"/><unit value=\"-2147483649\"/>"
        "<diameter value=\"1,5\"/><length value=\"abc\"/><name value=\"first\"/></column>"
        "<column><name value=\"second\"/></column>"
        "<volume title=\"Объём\" value=\"0.2\"/>"
        "<Sample value=\"case matters\"/>";
    CCorvaneFile4 f;
    f.passport.method = u"kept";
    f.passport.values.push_back({u"stale", u"", u""});
    ASSERT_EQ(loadImage(f, imageWithXml(documentWith(passport))), 0);

    const Passport& p = f.passport;
    EXPECT_EQ(p.assayid, u"");
    EXPECT_EQ(p.series, u"second");
    EXPECT_EQ(p.andate, 31);
    EXPECT_EQ(p.date, std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(p.duration, 1500.0);
    EXPECT_TRUE(p.graduation);
    EXPECT_FALSE(p.defect);
    EXPECT_EQ(p.method, u"kept");  // no element: the field keeps its value

    ASSERT_EQ(p.columns.size(), 2u);
    EXPECT_EQ(p.columns[0].channel, -16);
    EXPECT_EQ(p.columns[0].type, 2147483647);   // 2^32 clamps to the largest int
    EXPECT_EQ(p.columns[0].unit, -2147483647 - 1);  // -2^31 - 1 clamps to the smallest
    EXPECT_EQ(p.columns[0].diameter, 1.0);      // the decimal separator is a point only
    EXPECT_EQ(p.columns[0].length, 0.0);
    EXPECT_EQ(p.columns[0].name, u"first");
    EXPECT_EQ(p.columns[1].name, u"second");
    EXPECT_EQ(p.columns[1].diameter, 0.0);

    ASSERT_EQ(p.values.size(), 2u);
    EXPECT_EQ(p.values[0].name, u"volume");
    EXPECT_EQ(p.values[0].title, u"Объём");
    EXPECT_EQ(p.values[0].value, u"0.2");
    EXPECT_EQ(p.values[1].name, u"Sample");
    EXPECT_EQ(p.values[1].title, u"");
    EXPECT_EQ(p.sample, u"");
}

TEST_F(CorvaneFileTest, PeakReadingRules)
{
    const std::string channels =
        "<channel><number value=\"3\"/><table>"
        "<item><time value=\"2.5\"/><reference value=\"Yes\"/><name value=\"ЭГ &amp; ДЭГ\"/></item>"
        "<item><left value=\"abc\"/><right value=\"+0x7FFFFFFF\"/><flags value=\"-5\"/>"
        "<reference value=\"no\"/><index value=\"-1e-2\"/></item>"
        "<item><flags value=\"0xFFFFFFFF\"/><reference value=\"1\"/></item>"
        "<item><flags value=\"4294967296\"/><reference value=\"\"/></item>"
        "</table></channel>";
    CCorvaneFile4 f;
    ASSERT_EQ(loadImage(f, imageWithXml(documentWith("", channels))), 0);
    ASSERT_EQ(f.channels.size(), 1u);
    const std::vector<Peak>& peaks = f.channels[0].peaks;
    ASSERT_EQ(peaks.size(), 4u);

    // Missing left, right and flags: -1, -1 and 0.
    EXPECT_EQ(peaks[0].time, 2.5);
    EXPECT_TRUE(peaks[0].reference);
    EXPECT_EQ(peaks[0].name, u"ЭГ & ДЭГ");
    EXPECT_EQ(peaks[0].left, -1);
    EXPECT_EQ(peaks[0].right, -1);
    EXPECT_EQ(peaks[0].flags, 0u);
    EXPECT_EQ(peaks[0].area, 0.0);

    // Present but not a number: 0; a negative unsigned: 0.
    EXPECT_EQ(peaks[1].left, 0);
    EXPECT_EQ(peaks[1].right, 2147483647);
    EXPECT_EQ(peaks[1].flags, 0u);
    EXPECT_FALSE(peaks[1].reference);
    EXPECT_EQ(peaks[1].index, -0.01);

    EXPECT_EQ(peaks[2].flags, 4294967295u);
    EXPECT_TRUE(peaks[2].reference);
    EXPECT_EQ(peaks[3].flags, 4294967295u);  // 2^32 clamps to the largest unsigned
    EXPECT_FALSE(peaks[3].reference);
}

TEST_F(CorvaneFileTest, ChannelElementsFindTheirBlocks)
{
    // Blocks 3 and 7. XML offset: 16 + (32 + 4) + (32 + 0) = 84.
    const std::string blocks = fileHeader(1, 84) + blockHeader(3, 1) + words({1}) + blockHeader(7, 0);
    const std::string channels =
        "<channel><number value=\"7\"/><table><item><time value=\"1\"/></item><item/></table></channel>"
        "<channel><number value=\"9\"/><table><item/></table></channel>"            // no block 9
        "<channel><number value=\"-3\"/><table><item/></table></channel>"           // negative: skipped
        "<channel><table><item/></table></channel>"                                 // no number: skipped
        "<channel><number/><table><item/></table></channel>"                        // no value: skipped
        "<channel><number value=\"7\"/><table><item><time value=\"2\"/></item></table></channel>"
        "<other><number value=\"3\"/><table><item/></table></other>";
    CCorvaneFile4 f;
    ASSERT_EQ(loadImage(f, blocks + documentWith("", channels)), 0);
    ASSERT_EQ(f.channels.size(), 2u);
    EXPECT_TRUE(f.channels[0].peaks.empty());
    // The second element of number 7 replaced the table that the first filled.
    ASSERT_EQ(f.channels[1].peaks.size(), 1u);
    EXPECT_EQ(f.channels[1].peaks[0].time, 2.0);
}

TEST_F(CorvaneFileTest, OddButWellFormedXml)
{
    // A byte order mark before the XML is accepted.
    CCorvaneFile4 f;
    ASSERT_EQ(loadImage(f, imageWithXml("\xEF\xBB\xBF" + documentWith("<sample value=\"bom\"/>"))), 0);
    EXPECT_EQ(f.passport.sample, u"bom");

    // No root element of that name: nothing is read, and that is no failure.
    f.passport.sample = u"kept";
    ASSERT_EQ(loadImage(f, imageWithXml("<other><passport><sample value=\"x\"/></passport></other>")), 0);
    EXPECT_EQ(f.passport.sample, u"kept");
    EXPECT_EQ(f.channels.size(), 1u);

    // Attribute values are normalised the XML way: a tab becomes a blank.
    ASSERT_EQ(loadImage(f, imageWithXml(documentWith("<sample value=\"a\tb\"/>"))), 0);
    EXPECT_EQ(f.passport.sample, u"a b");
}

TEST_F(CorvaneFileTest, TextInsideThePassportIsNotWrittenBack)
{
    // Every child node of the passport counts: loose text becomes a value
    // without name, title or text. Saving cannot name an element after it,
    // so it is left out and the saved file still loads.
    CCorvaneFile4 f;
    ASSERT_EQ(loadImage(f, imageWithXml(documentWith("loose<volume title=\"t\" value=\"1\"/>"))), 0);
    ASSERT_EQ(f.passport.values.size(), 2u);
    EXPECT_EQ(f.passport.values[0].name, u"");
    EXPECT_EQ(f.passport.values[0].value, u"");

    const fs::path path = pathOf("text.dat");
    ASSERT_EQ(f.saveToFile(path.u16string()), 0);
    CCorvaneFile4 again;
    ASSERT_EQ(again.loadFromFile(path.u16string()), 0);
    ASSERT_EQ(again.passport.values.size(), 1u);
    EXPECT_EQ(again.passport.values[0].name, u"volume");
}

// --- failures of saveToFile ---------------------------------------------------

TEST_F(CorvaneFileTest, SaveFailures)
{
    CCorvaneFile4 f;
    EXPECT_EQ(f.saveToFile(pathOf("no such folder/x.dat").u16string()), -1);
    EXPECT_EQ(f.passport.path, u"");

    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full to make writes fail";
    // Without channels everything fits into the stream's buffer; the error
    // shows once the document is written and the file closed.
    EXPECT_EQ(f.saveToFile(u"/dev/full"), -7);
    // A megabyte of samples cannot be buffered: the sample write fails.
    std::vector<std::uint32_t> many(1 << 18, 0x55AA55AAu);
    f.channels.emplace_back(1, Channel::BlockValue{}, Channel::BlockValue{}, many.data(), many.size());
    EXPECT_EQ(f.saveToFile(u"/dev/full"), -6);
}

} // namespace
} // namespace norvalt
