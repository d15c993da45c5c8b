#include "data/corvane_file.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

#include <pugixml.hpp>

#include "text/format.h"
#include "text/utf.h"
#include "text/wide.h"

// Sample words are read and written straight between the file and memory.
static_assert(std::endian::native == std::endian::little, "the chromatogram file is little-endian");

namespace norvalt {

namespace {

constexpr std::size_t headerSize = 16;
constexpr std::size_t blockHeaderSize = 32;
constexpr std::size_t wordSize = 4;
constexpr std::uint8_t latestVersion = 1;
constexpr char magic[3] = {'S', 'T', 'G'};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

FileHandle openFile(const std::u16string& path, bool forWriting)
{
    // A NUL inside the path would silently name another file.
    if (path.empty() || path.find(u'\0') != std::u16string::npos) return nullptr;
#ifdef _WIN32
    return FileHandle(_wfopen(wide(path), forWriting ? L"wb" : L"rb"));
#else
    return FileHandle(std::fopen(utf16ToUtf8(path).c_str(), forWriting ? "wb" : "rb"));
#endif
}

// The size of a freshly opened file, leaving the position at its start.
std::optional<std::uint64_t> fileSize(std::FILE* f)
{
#ifdef _WIN32
    if (_fseeki64(f, 0, SEEK_END) != 0) return std::nullopt;
    const auto size = _ftelli64(f);
    if (size < 0 || _fseeki64(f, 0, SEEK_SET) != 0) return std::nullopt;
#else
    if (fseeko(f, 0, SEEK_END) != 0) return std::nullopt;
    const auto size = ftello(f);
    if (size < 0 || fseeko(f, 0, SEEK_SET) != 0) return std::nullopt;
#endif
    return static_cast<std::uint64_t>(size);
}

std::uint64_t readLe64(const unsigned char* p)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

void writeLe64(unsigned char* p, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

bool hasMagic(const unsigned char* header)
{
    return std::memcmp(header, magic, sizeof magic) == 0;
}

std::uint64_t xmlOffsetOf(const unsigned char* header)
{
    return readLe64(header + 8);
}

std::uint64_t sampleCountOf(const unsigned char* blockHeader)
{
    return readLe64(blockHeader + 24);
}

// Whether count words fit into the bytes that remain; a count whose upper
// half is not 0 never does.
bool samplesFit(std::uint64_t count, std::uint64_t remaining)
{
    return (count >> 32) == 0 && count <= remaining / wordSize;
}

// Attribute readings as the file's writer intends them. pugixml's integer
// and boolean conversions are locale-free; its double conversion is strtod,
// which follows the process locale, so numbers go through our own parser on
// the UTF-16 text.
std::u16string textOf(const pugi::xml_attribute& a)
{
    return utf8ToUtf16(a.as_string());
}

double doubleOf(const pugi::xml_attribute& a)
{
    return a ? parseDoublePrefix(utf8ToUtf16(a.value())) : 0.0;
}

pugi::xml_attribute valueOf(const pugi::xml_node& parent, const char* child)
{
    return parent.child(child).attribute("value");
}

// Writing: every field is an empty element with a "value" attribute.
pugi::xml_attribute addValue(pugi::xml_node& parent, const char* name)
{
    return parent.append_child(name).append_attribute("value");
}

void addText(pugi::xml_node& parent, const char* name, const std::u16string& text)
{
    addValue(parent, name).set_value(utf16ToUtf8(text).c_str());
}

void addDouble(pugi::xml_node& parent, const char* name, double value)
{
    // "%.*g" with 17 digits, independent of the locale (pugixml's own
    // set_value(double) would use the locale's decimal separator).
    addValue(parent, name).set_value(formatGeneralUtf8(value, 17).c_str());
}

} // namespace

void CCorvaneFile4::appendChannel(const unsigned char* blockHeader, std::vector<std::uint32_t>&& samples)
{
    Channel& channel = channels.emplace_back();
    channel.number = blockHeader[0];
    std::memcpy(channel.blockValueA.data(), blockHeader + 8, 8);
    std::memcpy(channel.blockValueB.data(), blockHeader + 16, 8);
    channel.samples = std::move(samples);
}

int CCorvaneFile4::loadFromFile(const std::u16string& path)
{
    FileHandle file = openFile(path, false);
    if (!file) return -1;
    const std::optional<std::uint64_t> size = fileSize(file.get());
    if (!size) return -1;

    unsigned char header[headerSize];
    if (std::fread(header, 1, headerSize, file.get()) != headerSize) return -2;
    if (!hasMagic(header)) return -3;
    if (header[3] > latestVersion) return -4;
    version = header[3];
    channels.clear();

    const std::uint64_t xmlOffset = xmlOffsetOf(header);
    std::uint64_t position = headerSize;
    while (position < xmlOffset) {
        unsigned char blockHeader[blockHeaderSize];
        if (std::fread(blockHeader, 1, blockHeaderSize, file.get()) != blockHeaderSize) return -5;
        position += blockHeaderSize;

        const std::uint64_t count = sampleCountOf(blockHeader);
        if (!samplesFit(count, *size > position ? *size - position : 0)) return -6;
        std::vector<std::uint32_t> samples(static_cast<std::size_t>(count));
        if (count != 0 && std::fread(samples.data(), wordSize, samples.size(), file.get()) != samples.size())
            return -6;
        position += count * wordSize;
        appendChannel(blockHeader, std::move(samples));
    }

    // The XML part is what follows the last block, whatever the header's
    // offset says.
    const std::uint64_t rest = *size > position ? *size - position : 0;
    if (rest > std::numeric_limits<std::size_t>::max()) return -7;
    std::vector<char> xml(static_cast<std::size_t>(rest));
    if (!xml.empty() && std::fread(xml.data(), 1, xml.size(), file.get()) != xml.size()) return -7;

    // load_buffer, not load_buffer_inplace: the two differ on a NUL inside
    // the document, and both loaders must judge a document alike.
    pugi::xml_document document;
    if (!document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8)) return -7;
    readDocument(document);
    passport.path = path;
    return 0;
}

int CCorvaneFile4::loadFromMemory(const void* data, std::uint64_t size)
{
    const auto* image = static_cast<const unsigned char*>(data);
    if (!image) size = 0;

    if (size < headerSize) return -4;
    if (!hasMagic(image)) return -1;
    if (image[3] > latestVersion) return -2;
    version = image[3];
    channels.clear();

    const std::uint64_t xmlOffset = xmlOffsetOf(image);
    std::uint64_t position = headerSize;
    while (position < xmlOffset) {
        if (size - position < blockHeaderSize) return -5;
        const unsigned char* blockHeader = image + position;
        position += blockHeaderSize;

        const std::uint64_t count = sampleCountOf(blockHeader);
        if (!samplesFit(count, size - position)) return -6;
        std::vector<std::uint32_t> samples(static_cast<std::size_t>(count));
        if (count != 0) std::memcpy(samples.data(), image + position, samples.size() * wordSize);
        position += count * wordSize;
        appendChannel(blockHeader, std::move(samples));
    }

    pugi::xml_document document;
    const auto xmlSize = static_cast<std::size_t>(size - position);
    if (!document.load_buffer(xmlSize ? image + position : nullptr, xmlSize, pugi::parse_default,
                              pugi::encoding_utf8))
        return -3;
    readDocument(document);
    return 0;
}

void CCorvaneFile4::readDocument(const pugi::xml_node& document)
{
    // A missing element reads as an empty node, from which nothing is read.
    const pugi::xml_node root = document.child("root");
    readPassport(root.child("passport"));
    readChannels(root.child("channels"));
}

void CCorvaneFile4::readPassport(const pugi::xml_node& passportNode)
{
    passport.columns.clear();
    passport.values.clear();

    // Every child node counts, in document order; a later element of a
    // field's name overwrites an earlier one.
    for (pugi::xml_node node = passportNode.first_child(); node; node = node.next_sibling()) {
        const std::string_view name = node.name();
        const pugi::xml_attribute value = node.attribute("value");
        if (name == "assayid") passport.assayid = textOf(value);
        else if (name == "series") passport.series = textOf(value);
        else if (name == "andate") passport.andate = value.as_llong(0);
        else if (name == "duration") passport.duration = doubleOf(value);
        else if (name == "sample") passport.sample = textOf(value);
        else if (name == "method") passport.method = textOf(value);
        else if (name == "graduation") passport.graduation = value.as_bool(false);
        else if (name == "date") passport.date = value.as_llong(0);
        else if (name == "defect") passport.defect = value.as_bool(false);
        else if (name == "mixture") passport.mixture = textOf(value);
        else if (name == "column") {
            PassportColumn& column = passport.columns.emplace_back();
            column.channel = valueOf(node, "channel").as_int(0);
            column.name = textOf(valueOf(node, "name"));
            column.brand = textOf(valueOf(node, "brand"));
            column.type = valueOf(node, "type").as_int(0);
            column.diameter = doubleOf(valueOf(node, "diameter"));
            column.length = doubleOf(valueOf(node, "length"));
            column.carrier = textOf(valueOf(node, "carrier"));
            column.phase = textOf(valueOf(node, "phase"));
            column.percent = doubleOf(valueOf(node, "percent"));
            column.unit = valueOf(node, "unit").as_int(0);
            column.fraction0 = doubleOf(valueOf(node, "fraction0"));
            column.fraction1 = doubleOf(valueOf(node, "fraction1"));
            column.film = doubleOf(valueOf(node, "film"));
            column.part = textOf(valueOf(node, "part"));
            column.serial = textOf(valueOf(node, "serial"));
        } else {
            passport.values.push_back(
                {utf8ToUtf16(name), textOf(node.attribute("title")), textOf(value)});
        }
    }
}

void CCorvaneFile4::readChannels(const pugi::xml_node& channelsNode)
{
    for (pugi::xml_node node = channelsNode.child("channel"); node; node = node.next_sibling("channel")) {
        const pugi::xml_attribute numberValue = valueOf(node, "number");
        if (!numberValue) continue;
        const int number = numberValue.as_int();
        if (number < 0) continue;

        Channel* channel = nullptr;
        for (Channel& c : channels) {
            if (c.number == static_cast<std::uint32_t>(number)) {
                channel = &c;
                break;
            }
        }
        // Peak tables of channels without a binary block are dropped.
        if (!channel) continue;

        channel->peaks.clear();
        for (pugi::xml_node item = node.child("table").child("item"); item; item = item.next_sibling("item")) {
            Peak& peak = channel->peaks.emplace_back();
            peak.front = doubleOf(valueOf(item, "front"));
            peak.back = doubleOf(valueOf(item, "back"));
            peak.time = doubleOf(valueOf(item, "time"));
            peak.area = doubleOf(valueOf(item, "area"));
            peak.height = doubleOf(valueOf(item, "height"));
            peak.concent = doubleOf(valueOf(item, "concent"));
            peak.name = textOf(valueOf(item, "name"));
            peak.reference = valueOf(item, "reference").as_bool(false);
            peak.left = valueOf(item, "left").as_int(-1);
            peak.right = valueOf(item, "right").as_int(-1);
            peak.flags = valueOf(item, "flags").as_uint(0);
            peak.front_base_height = doubleOf(valueOf(item, "front_base_height"));
            peak.back_base_height = doubleOf(valueOf(item, "back_base_height"));
            peak.index = doubleOf(valueOf(item, "index"));
        }
    }
}

int CCorvaneFile4::saveToFile(const std::u16string& path)
{
    FileHandle file = openFile(path, true);
    if (!file) return -1;

    // The counts written now are the counts the blocks will hold, whatever
    // happens to the samples until they are copied.
    std::vector<std::uint64_t> counts;
    counts.reserve(channels.size());
    std::uint64_t xmlOffset = headerSize;
    for (const Channel& channel : channels) {
        std::lock_guard<std::mutex> guard(channel.samplesLock);
        counts.push_back(channel.samples.size());
        xmlOffset += blockHeaderSize + wordSize * counts.back();
    }

    unsigned char header[headerSize] = {'S', 'T', 'G', version};
    writeLe64(header + 8, xmlOffset);
    if (std::fwrite(header, 1, headerSize, file.get()) != headerSize) return -2;

    for (std::size_t i = 0; i < channels.size(); ++i) {
        const Channel& channel = channels[i];
        unsigned char blockHeader[blockHeaderSize] = {static_cast<unsigned char>(channel.number)};
        std::memcpy(blockHeader + 8, channel.blockValueA.data(), 8);
        std::memcpy(blockHeader + 16, channel.blockValueB.data(), 8);
        writeLe64(blockHeader + 24, counts[i]);
        if (std::fwrite(blockHeader, 1, blockHeaderSize, file.get()) != blockHeaderSize) return -5;

        const std::vector<std::uint32_t> samples = channel.lockedSamples();
        const std::size_t toWrite = static_cast<std::size_t>(std::min<std::uint64_t>(samples.size(), counts[i]));
        if (toWrite != 0 && std::fwrite(samples.data(), wordSize, toWrite, file.get()) != toWrite) return -6;
        if (toWrite != counts[i]) return -6;
    }

    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("utf-8");
    pugi::xml_node root = document.append_child("root");
    root.append_attribute("version").set_value(1);
    passport.path = path;
    pugi::xml_node passportNode = root.append_child("passport");
    writePassport(passportNode);
    pugi::xml_node channelsNode = root.append_child("channels");
    writeChannels(channelsNode);

    pugi::xml_writer_file writer(file.get());
    document.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    if (std::ferror(file.get())) return -7;
    // Buffered data reaches the disk only on closing; a failure there is
    // a failed save too.
    if (std::fclose(file.release()) != 0) return -7;
    return 0;
}

void CCorvaneFile4::writePassport(pugi::xml_node& passportNode) const
{
    passportNode.append_attribute("version").set_value(1);
    addText(passportNode, "assayid", passport.assayid);
    addText(passportNode, "series", passport.series);
    addValue(passportNode, "andate").set_value(static_cast<long long>(passport.andate));
    addDouble(passportNode, "duration", passport.duration);
    addText(passportNode, "sample", passport.sample);
    addText(passportNode, "method", passport.method);
    addValue(passportNode, "graduation").set_value(passport.graduation);
    addValue(passportNode, "date").set_value(static_cast<long long>(passport.date));
    addValue(passportNode, "defect").set_value(passport.defect);
    addText(passportNode, "mixture", passport.mixture);
    for (const PassportColumn& column : passport.columns) {
        pugi::xml_node node = passportNode.append_child("column");
        addValue(node, "channel").set_value(column.channel);
        addText(node, "name", column.name);
        addText(node, "brand", column.brand);
        addValue(node, "type").set_value(column.type);
        addDouble(node, "diameter", column.diameter);
        addDouble(node, "length", column.length);
        addText(node, "carrier", column.carrier);
        addText(node, "phase", column.phase);
        addDouble(node, "percent", column.percent);
        addValue(node, "unit").set_value(column.unit);
        addDouble(node, "fraction0", column.fraction0);
        addDouble(node, "fraction1", column.fraction1);
        addDouble(node, "film", column.film);
        addText(node, "part", column.part);
        addText(node, "serial", column.serial);
    }
    for (const PassportValue& value : passport.values) {
        // Text inside the passport element reads as a value without a name;
        // it has no element to be written as (pugixml would invent one).
        if (value.name.empty()) continue;
        pugi::xml_node node = passportNode.append_child(utf16ToUtf8(value.name).c_str());
        node.append_attribute("title").set_value(utf16ToUtf8(value.title).c_str());
        node.append_attribute("value").set_value(utf16ToUtf8(value.value).c_str());
    }
}

void CCorvaneFile4::writeChannels(pugi::xml_node& channelsNode) const
{
    channelsNode.append_attribute("version").set_value(1);
    for (const Channel& channel : channels) {
        pugi::xml_node node = channelsNode.append_child("channel");
        // The block header holds the number's low byte; the peak table is
        // found again by the same number.
        addValue(node, "number").set_value(channel.number & 0xFFu);
        pugi::xml_node table = node.append_child("table");
        for (const Peak& peak : channel.peaks) {
            pugi::xml_node item = table.append_child("item");
            addDouble(item, "front", peak.front);
            addDouble(item, "back", peak.back);
            addDouble(item, "time", peak.time);
            addDouble(item, "area", peak.area);
            addDouble(item, "height", peak.height);
            addDouble(item, "concent", peak.concent);
            addText(item, "name", peak.name);
            addValue(item, "reference").set_value(peak.reference);
            addValue(item, "left").set_value(peak.left);
            addValue(item, "right").set_value(peak.right);
            addValue(item, "flags").set_value(peak.flags);
            addDouble(item, "front_base_height", peak.front_base_height);
            addDouble(item, "back_base_height", peak.back_base_height);
            addDouble(item, "index", peak.index);
        }
    }
}

} // namespace norvalt
