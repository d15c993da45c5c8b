// Generates the module's Unicode character tables (src/text/generated/) from
// the Unicode Character Database files, keeping only what Unicode 5.1.0
// assigned in the Basic Multilingual Plane, so the tables do not drift with
// the version of the data installed on the build machine.
//
//   unicodegen <ucd-directory> <output-directory>
//
// Reads UnicodeData.txt, CaseFolding.txt, DerivedAge.txt and PropList.txt;
// writes unicode_tables.h and unicode_tables.cpp.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t planeSize = 0x10000;
constexpr std::uint16_t noMapping = 0xFFFF;

using Units = std::vector<std::uint16_t>;

struct CharInfo {
    std::string name;
    std::string category;
    std::vector<std::uint32_t> decomposition; // canonical or compatibility, tag dropped
    std::optional<std::uint32_t> upper, lower, title;
};

struct Database {
    std::array<bool, planeSize> assigned51{}; // assigned in Unicode 5.1 or earlier
    std::vector<CharInfo> chars = std::vector<CharInfo>(planeSize);
    std::map<std::uint32_t, std::uint32_t> caseFolding; // common and simple entries
    std::array<bool, planeSize> whiteSpace{};

    bool old(std::uint32_t cp) const { return cp < planeSize && assigned51[cp]; }
};

[[noreturn]] void fail(const std::string& message)
{
    std::cerr << "unicodegen: " << message << '\n';
    std::exit(1);
}

std::string trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> splitFields(const std::string& line, char sep)
{
    std::vector<std::string> out;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, sep))
        out.push_back(trim(field));
    if (!line.empty() && line.back() == sep)
        out.emplace_back();
    return out;
}

std::uint32_t hex(const std::string& s)
{
    std::size_t used = 0;
    const unsigned long v = std::stoul(s, &used, 16);
    if (used != s.size())
        fail("bad code point '" + s + "'");
    return static_cast<std::uint32_t>(v);
}

// Calls f(first, last, fields) for every data line of a "range ; value ..." file.
template <class F>
void forEachRangeLine(const std::string& path, F f)
{
    std::ifstream in(path);
    if (!in)
        fail("cannot read " + path);
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        const auto fields = splitFields(line, ';');
        const std::string& range = fields[0];
        const auto dots = range.find("..");
        const std::uint32_t first = hex(range.substr(0, dots));
        const std::uint32_t last = dots == std::string::npos ? first : hex(range.substr(dots + 2));
        f(first, last, fields);
    }
}

void readAge(Database& db, const std::string& dir)
{
    forEachRangeLine(dir + "/DerivedAge.txt", [&](std::uint32_t first, std::uint32_t last, const auto& fields) {
        const std::string& v = fields.at(1);
        const auto dot = v.find('.');
        const int major = std::stoi(v.substr(0, dot));
        const int minor = std::stoi(v.substr(dot + 1));
        if (major > 5 || (major == 5 && minor > 1))
            return;
        for (std::uint32_t cp = first; cp <= last && cp < planeSize; ++cp)
            db.assigned51[cp] = true;
    });
}

void readUnicodeData(Database& db, const std::string& dir)
{
    const std::string path = dir + "/UnicodeData.txt";
    std::ifstream in(path);
    if (!in)
        fail("cannot read " + path);
    std::string line;
    std::optional<std::uint32_t> rangeFirst;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        const auto f = splitFields(line, ';');
        if (f.size() < 15)
            fail("short line in UnicodeData.txt: " + line);
        const std::uint32_t cp = hex(f[0]);
        if (f[1].ends_with(", First>")) {
            rangeFirst = cp;
            continue;
        }
        const std::uint32_t first = f[1].ends_with(", Last>") && rangeFirst ? *rangeFirst : cp;
        rangeFirst.reset();
        for (std::uint32_t c = first; c <= cp && c < planeSize; ++c) {
            CharInfo& info = db.chars[c];
            info.category = f[2];
            if (first != cp)
                continue; // ranges (ideographs, Hangul, surrogates, private use) carry only a category
            info.name = f[1];
            std::istringstream d(f[5]);
            std::string part;
            while (d >> part)
                if (part.front() != '<')
                    info.decomposition.push_back(hex(part));
            if (!f[12].empty())
                info.upper = hex(f[12]);
            if (!f[13].empty())
                info.lower = hex(f[13]);
            if (!f[14].empty())
                info.title = hex(f[14]);
        }
    }
}

void readCaseFolding(Database& db, const std::string& dir)
{
    forEachRangeLine(dir + "/CaseFolding.txt", [&](std::uint32_t cp, std::uint32_t, const auto& fields) {
        const std::string& status = fields.at(1);
        if (status != "C" && status != "S")
            return;
        std::istringstream t(fields.at(2));
        std::string part;
        std::vector<std::uint32_t> target;
        while (t >> part)
            target.push_back(hex(part));
        if (target.size() == 1)
            db.caseFolding[cp] = target[0];
    });
}

void readWhiteSpace(Database& db, const std::string& dir)
{
    forEachRangeLine(dir + "/PropList.txt", [&](std::uint32_t first, std::uint32_t last, const auto& fields) {
        if (fields.at(1) != "White_Space")
            return;
        for (std::uint32_t cp = first; cp <= last && cp < planeSize; ++cp)
            db.whiteSpace[cp] = db.old(cp);
    });
}

// A simple mapping keeps a pair only when both ends are 5.1 characters of the BMP.
std::vector<Units> simpleMapping(const Database& db, std::optional<std::uint32_t> CharInfo::* field)
{
    std::vector<Units> m(planeSize);
    for (std::uint32_t cp = 0; cp < planeSize; ++cp) {
        const auto& target = db.chars[cp].*field;
        if (db.old(cp) && target && db.old(*target) && *target != cp)
            m[cp] = {static_cast<std::uint16_t>(*target)};
    }
    return m;
}

std::vector<Units> foldMapping(const Database& db)
{
    std::vector<Units> m(planeSize);
    for (const auto& [cp, target] : db.caseFolding)
        if (db.old(cp) && db.old(target))
            m[cp] = {static_cast<std::uint16_t>(target)};
    return m;
}

std::vector<Units> titleMapping(const Database& db)
{
    auto m = simpleMapping(db, &CharInfo::title);
    // The titlecase digraphs are their own title form. Newer data also lists
    // self title mappings for Georgian letters that 5.1 did not have; those
    // are not mappings and stay out.
    for (std::uint16_t digraph : {0x01C5, 0x01C8, 0x01CB, 0x01F2})
        m[digraph] = {digraph};
    return m;
}

// The unaccent reduction: the full compatibility decomposition without
// combining marks; a character named "X WITH ..." (Latin letters with a
// stroke, bar or hook such as Ø, Đ, Ł, ƀ, and likewise the Cyrillic and
// Arabic letters and the signs built that way, but no combining mark)
// reduced to the character named X; the ligature letters Æ and Œ spelt out.
// Hangul syllables stay whole: they are letters, not letters with accents.
class Unaccent {
public:
    explicit Unaccent(const Database& db) : db_(db)
    {
        for (std::uint32_t cp = 0; cp < planeSize; ++cp)
            if (db.old(cp) && !db.chars[cp].name.empty() && db.chars[cp].name.front() != '<')
                byName_[db.chars[cp].name] = cp;
    }

    std::vector<Units> mapping() const
    {
        std::vector<Units> m(planeSize);
        for (std::uint32_t cp = 0; cp < planeSize; ++cp) {
            if (!db_.old(cp))
                continue;
            const auto r = reduce(cp);
            bool usable = !r.empty() && !(r.size() == 1 && r[0] == cp);
            for (std::uint32_t u : r)
                usable = usable && db_.old(u);
            if (usable)
                m[cp].assign(r.begin(), r.end());
        }
        return m;
    }

private:
    bool isMark(std::uint32_t cp) const
    {
        return cp < planeSize && !db_.chars[cp].category.empty() && db_.chars[cp].category[0] == 'M';
    }

    std::vector<std::uint32_t> reduce(std::uint32_t cp) const
    {
        if (cp >= planeSize)
            return {cp};
        const CharInfo& info = db_.chars[cp];
        if (!info.decomposition.empty()) {
            std::vector<std::uint32_t> out;
            for (std::uint32_t part : info.decomposition) {
                if (isMark(part))
                    continue;
                const auto r = reduce(part);
                out.insert(out.end(), r.begin(), r.end());
            }
            return out;
        }
        switch (cp) {
        case 0x00C6: return {'A', 'E'};
        case 0x00E6: return {'a', 'e'};
        case 0x0152: return {'O', 'E'};
        case 0x0153: return {'o', 'e'};
        default: break;
        }
        // Combining marks are never reduced, only dropped from decompositions.
        const auto with = info.name.find(" WITH ");
        if (with != std::string::npos && !isMark(cp)) {
            const auto base = byName_.find(info.name.substr(0, with));
            if (base != byName_.end())
                return reduce(base->second);
        }
        return {cp};
    }

    const Database& db_;
    std::map<std::string, std::uint32_t> byName_;
};

// A two-stage table: blocks of 2^shift positions, each block pointing to a
// shared second-stage entry of (positions + 1) offsets into its units.
struct TwoStage {
    std::string name;
    int shift = 0;
    std::vector<std::uint8_t> stage1;
    std::vector<Units> entries; // per entry, the units of its positions in order
    std::vector<std::vector<std::uint8_t>> offsets;
    std::size_t mapped = 0;
};

TwoStage buildTwoStage(const std::string& name, const std::vector<Units>& m, int shift)
{
    TwoStage t;
    t.name = name;
    t.shift = shift;
    const std::uint32_t blockSize = 1u << shift;
    std::map<std::vector<Units>, std::size_t> index;
    for (std::uint32_t block = 0; block < planeSize / blockSize; ++block) {
        std::vector<Units> content;
        for (std::uint32_t i = 0; i < blockSize; ++i) {
            const Units& r = m[block * blockSize + i];
            content.push_back(r.empty() ? Units{noMapping} : r);
            t.mapped += r.empty() ? 0 : 1;
        }
        auto [it, added] = index.try_emplace(content, t.entries.size());
        if (added) {
            Units units;
            std::vector<std::uint8_t> offsets{0};
            for (const Units& r : content) {
                units.insert(units.end(), r.begin(), r.end());
                if (units.size() > 255)
                    fail(name + ": a block's replacements exceed 8-bit offsets");
                offsets.push_back(static_cast<std::uint8_t>(units.size()));
            }
            t.entries.push_back(std::move(units));
            t.offsets.push_back(std::move(offsets));
        }
        if (it->second > 255)
            fail(name + ": more than 256 second-stage entries");
        t.stage1.push_back(static_cast<std::uint8_t>(it->second));
    }
    return t;
}

// A bit set over the BMP: blocks of 32 bits, each block an index into shared words.
struct BitSet {
    std::string name;
    std::vector<std::uint8_t> stage1;
    std::vector<std::uint32_t> words;
    std::size_t members = 0;
};

BitSet buildBitSet(const std::string& name, const std::vector<bool>& members)
{
    BitSet s;
    s.name = name;
    std::map<std::uint32_t, std::size_t> index;
    for (std::uint32_t block = 0; block < planeSize / 32; ++block) {
        std::uint32_t word = 0;
        for (std::uint32_t i = 0; i < 32; ++i)
            if (members[block * 32 + i]) {
                word |= 1u << i;
                ++s.members;
            }
        auto [it, added] = index.try_emplace(word, s.words.size());
        if (added)
            s.words.push_back(word);
        if (it->second > 255)
            fail(name + ": more than 256 distinct words");
        s.stage1.push_back(static_cast<std::uint8_t>(it->second));
    }
    return s;
}

// The comparison key of every BMP unit in one lookup: fold of the unit below
// 128, otherwise fold of the first unit of its unaccent replacement. NOCASE
// and LIKE ask for it per character. Stored as the difference key - unit
// (modulo 2^16), so that all blocks of units that are their own key share one
// block of zeros.
struct KeyTable {
    std::vector<std::uint8_t> stage1;
    std::vector<std::uint16_t> keys; // 32 differences per distinct block
};

KeyTable buildKeyTable(const std::vector<Units>& fold, const std::vector<Units>& unaccent)
{
    auto folded = [&](std::uint32_t u) { return fold[u].empty() ? u : fold[u][0]; };
    KeyTable k;
    std::map<std::vector<std::uint16_t>, std::size_t> index;
    for (std::uint32_t block = 0; block < planeSize / 32; ++block) {
        std::vector<std::uint16_t> keys;
        for (std::uint32_t u = block * 32; u < block * 32 + 32; ++u) {
            const std::uint32_t v = u < 0x80 || unaccent[u].empty() ? u : unaccent[u][0];
            keys.push_back(static_cast<std::uint16_t>(folded(v) - u));
        }
        auto [it, added] = index.try_emplace(keys, index.size());
        if (added)
            k.keys.insert(k.keys.end(), keys.begin(), keys.end());
        if (it->second > 255)
            fail("key: more than 256 distinct blocks");
        k.stage1.push_back(static_cast<std::uint8_t>(it->second));
    }
    return k;
}

template <class T>
void writeArray(std::ostream& out, const std::string& decl, const std::vector<T>& values, int perLine, bool hexa)
{
    out << decl << "[" << values.size() << "] = {";
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << (i % perLine == 0 ? "\n    " : " ");
        char buf[16];
        if (hexa)
            std::snprintf(buf, sizeof buf, "0x%04X,", static_cast<unsigned>(values[i]));
        else
            std::snprintf(buf, sizeof buf, "%u,", static_cast<unsigned>(values[i]));
        out << buf;
    }
    out << "\n};\n\n";
}

void writeTwoStage(std::ostream& out, const TwoStage& t)
{
    std::vector<std::uint8_t> offsets;
    std::vector<std::uint16_t> starts;
    std::vector<std::uint16_t> units;
    for (std::size_t e = 0; e < t.entries.size(); ++e) {
        offsets.insert(offsets.end(), t.offsets[e].begin(), t.offsets[e].end());
        if (units.size() > 0xFFFF)
            fail(t.name + ": units exceed 16-bit starts");
        starts.push_back(static_cast<std::uint16_t>(units.size()));
        units.insert(units.end(), t.entries[e].begin(), t.entries[e].end());
    }
    out << "// " << t.name << ": " << t.mapped << " mapped code points, " << t.stage1.size() << " blocks of "
        << (1u << t.shift) << " over " << t.entries.size() << " second-stage entries.\n";
    writeArray(out, "const std::uint8_t " + t.name + "Stage1", t.stage1, 16, false);
    writeArray(out, "const std::uint8_t " + t.name + "Offsets", offsets, 17, false);
    writeArray(out, "const std::uint16_t " + t.name + "Starts", starts, 12, false);
    writeArray(out, "const char16_t " + t.name + "Units", units, 10, true);
}

void writeBitSet(std::ostream& out, const BitSet& s)
{
    out << "// " << s.name << ": " << s.members << " code units.\n";
    writeArray(out, "const std::uint8_t " + s.name + "Stage1", s.stage1, 16, false);
    std::vector<std::uint32_t> words = s.words;
    out << "const std::uint32_t " << s.name << "Words[" << words.size() << "] = {";
    for (std::size_t i = 0; i < words.size(); ++i) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%08X,", static_cast<unsigned>(words[i]));
        out << (i % 6 == 0 ? "\n    " : " ") << buf;
    }
    out << "\n};\n\n";
}

const char* const banner = "// Generated by tools/unicodegen from the Unicode Character Database,\n"
                           "// restricted to characters of the BMP assigned in Unicode 5.1.0.\n"
                           "// Do not edit: rebuild the target regenerate-unicode instead.\n";

void writeHeader(const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "#pragma once\n" << banner << R"(#include <cstdint>

namespace norvalt::unicode::tables {

// A mapping from a BMP code unit to a replacement of 1 to 255 units. Block
// b = u >> shift selects the second-stage entry stage1[b]; position
// i = u & (2^shift - 1) has the replacement
// units[starts[e] + offsets[e * (2^shift + 1) + i] ...  + offsets[... + i + 1]).
// The single unit 0xFFFF stands for "no mapping".
struct Mapping {
    unsigned shift;
    unsigned entryCount;
    const std::uint8_t* stage1;
    const std::uint8_t* offsets;
    const std::uint16_t* starts;
    const char16_t* units;
};

// A set of BMP code units: bit (u & 31) of words[stage1[u >> 5]].
struct BitSet {
    const std::uint8_t* stage1;
    const std::uint32_t* words;
};

extern const Mapping foldMapping;
extern const Mapping lowerMapping;
extern const Mapping upperMapping;
extern const Mapping titleMapping;
extern const Mapping unaccentMapping;

extern const BitSet whiteSpaceSet;
extern const BitSet graphicSet;

// The NOCASE/LIKE key of u: u + keyDeltas[keyStage1[u >> 5] * 32 + (u & 31)],
// modulo 2^16.
extern const std::uint8_t keyStage1[2048];
extern const std::uint16_t keyDeltas[];

} // namespace norvalt::unicode::tables
)";
    if (!out)
        fail("cannot write " + path);
}

void writeSource(const std::string& path, const std::vector<TwoStage>& tables, const std::vector<BitSet>& sets,
                 const KeyTable& key)
{
    std::ofstream out(path, std::ios::binary);
    out << banner << "#include \"text/generated/unicode_tables.h\"\n\nnamespace norvalt::unicode::tables {\n\nnamespace {\n\n";
    for (const auto& t : tables)
        writeTwoStage(out, t);
    for (const auto& s : sets)
        writeBitSet(out, s);
    out << "} // namespace\n\n";
    for (const auto& t : tables)
        out << "const Mapping " << t.name << "Mapping = {" << t.shift << ", " << t.entries.size() << ", " << t.name
            << "Stage1, " << t.name << "Offsets, " << t.name << "Starts, " << t.name << "Units};\n";
    out << "\n";
    for (const auto& s : sets)
        out << "const BitSet " << s.name << "Set = {" << s.name << "Stage1, " << s.name << "Words};\n";
    out << "\n// key: " << key.keys.size() / 32 << " distinct blocks of 32.\n";
    writeArray(out, "const std::uint8_t keyStage1", key.stage1, 16, false);
    writeArray(out, "const std::uint16_t keyDeltas", key.keys, 10, true);
    out << "} // namespace norvalt::unicode::tables\n";
    if (!out)
        fail("cannot write " + path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: unicodegen <ucd-directory> <output-directory>\n";
        return 2;
    }
    const std::string in = argv[1];
    const std::string outDir = argv[2];

    Database db;
    readAge(db, in);
    readUnicodeData(db, in);
    readCaseFolding(db, in);
    readWhiteSpace(db, in);

    std::vector<TwoStage> tables;
    const auto fold = foldMapping(db);
    const auto unaccent = Unaccent(db).mapping();
    tables.push_back(buildTwoStage("fold", fold, 5));
    tables.push_back(buildTwoStage("lower", simpleMapping(db, &CharInfo::lower), 5));
    tables.push_back(buildTwoStage("upper", simpleMapping(db, &CharInfo::upper), 6));
    tables.push_back(buildTwoStage("title", titleMapping(db), 6));
    tables.push_back(buildTwoStage("unaccent", unaccent, 5));
    const KeyTable key = buildKeyTable(fold, unaccent);

    std::vector<bool> white(planeSize), graphic(planeSize);
    for (std::uint32_t cp = 0; cp < planeSize; ++cp) {
        white[cp] = db.whiteSpace[cp];
        const std::string& gc = db.chars[cp].category;
        const bool graphicCategory = !gc.empty() && std::string("LMNPS").find(gc[0]) != std::string::npos;
        // Surrogate units are halves of graphic characters beyond the BMP.
        graphic[cp] = (db.old(cp) && graphicCategory) || (cp >= 0xD800 && cp <= 0xDFFF);
    }
    std::vector<BitSet> sets{buildBitSet("whiteSpace", white), buildBitSet("graphic", graphic)};

    writeHeader(outDir + "/unicode_tables.h");
    writeSource(outDir + "/unicode_tables.cpp", tables, sets, key);
    for (const auto& t : tables)
        std::cout << t.name << ": " << t.mapped << " mapped, " << t.stage1.size() << " blocks, " << t.entries.size()
                  << " entries\n";
    for (const auto& s : sets)
        std::cout << s.name << ": " << s.members << " units, " << s.words.size() << " words\n";
    std::cout << "key: " << key.keys.size() / 32 << " blocks\n";
    return 0;
}
