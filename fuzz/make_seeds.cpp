// Writes the seed corpus of the fuzz targets: chromatogram files as
// saveToFile writes them, from an empty record to one that uses every field.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "data/corvane_file.h"

namespace {

using norvalt::CCorvaneFile4;
using norvalt::Channel;

Channel channel(std::uint8_t number, unsigned count)
{
    std::vector<std::uint32_t> words(count);
    for (unsigned i = 0; i < count; ++i) words[i] = i * 2654435761u;
    return Channel(number, Channel::BlockValue{1, 0, 0, 0, 0, 0, 0xF0, 0x3F}, Channel::BlockValue{0x10, 0x27},
                   words.data(), words.size());
}

norvalt::Peak peak(double time, const char16_t* name)
{
    norvalt::Peak p;
    p.front = time - 0.05;
    p.back = time + 0.07;
    p.time = time;
    p.area = time * 13.7;
    p.height = 0.125;
    p.concent = 0.3;
    p.name = name;
    p.reference = time > 5;
    p.left = static_cast<int>(time * 100);
    p.right = p.left + 12;
    p.flags = 0x11;
    p.front_base_height = 1e-3;
    p.back_base_height = -2e-3;
    p.index = 1012.5;
    return p;
}

CCorvaneFile4 fullRecord()
{
    CCorvaneFile4 f;
    norvalt::Passport& p = f.passport;
    p.assayid = u"6F9619FF-8B86-D011-B42D-00C04FC964FF";
    p.series = u"Серия 1";
    p.andate = 1700000000;
    p.duration = 25.5;
    p.sample = u"Образец <А&Б>";
    p.method = u"ГОСТ 19710-2019";
    p.graduation = true;
    p.date = 1700000100;
    p.mixture = u"Смесь 7";
    norvalt::PassportColumn c;
    c.channel = 1;
    c.name = u"FFAP";
    c.type = 2;
    c.diameter = 0.32;
    c.length = 50;
    c.percent = 5;
    c.unit = 1;
    c.fraction0 = 0.1;
    c.fraction1 = 0.9;
    c.film = 0.5;
    p.columns = {c, c};
    p.values = {{u"volume", u"Объём пробы, мкл", u"0.2"}, {u"water", u"Массовая доля воды, %", u"0.05"}};
    f.channels = {channel(1, 16), channel(2, 3)};
    f.channels[0].peaks = {peak(1.5, u"Нонанол-1"), peak(4.25, u"Этиленгликоль"), peak(6.0, u"ДЭГ")};
    f.channels[1].peaks = {peak(2.0, u"")};
    return f;
}

bool save(CCorvaneFile4& f, const std::filesystem::path& path)
{
    const int code = f.saveToFile(path.u16string());
    if (code != 0) std::cerr << "cannot write " << path << ": " << code << '\n';
    return code == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make-fuzz-seeds DIRECTORY\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);

    CCorvaneFile4 empty;
    CCorvaneFile4 full = fullRecord();
    CCorvaneFile4 version0 = fullRecord();
    version0.version = 0;
    version0.channels.resize(1);
    version0.passport.columns.clear();
    if (!save(empty, dir / "empty.stg") || !save(full, dir / "full.stg") || !save(version0, dir / "version0.stg"))
        return 1;

    // The same record with a byte order mark before its XML part.
    std::ifstream in(dir / "full.stg", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const std::size_t xml = bytes.find("<?xml");
    if (xml == std::string::npos) return 1;
    bytes.insert(xml, "\xEF\xBB\xBF");
    std::ofstream(dir / "bom.stg", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return 0;
}
