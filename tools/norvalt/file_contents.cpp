// norvalt inspect FILE [--json]: everything a chromatogram file holds except
// the sample words themselves.
#include <charconv>
#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "data/corvane_file.h"
#include "text/utf.h"

namespace norvalt::cli {

namespace {

using Json = nlohmann::ordered_json;

struct InspectOptions {
    std::string file;
    bool json = false;
};

// The shortest text that reads back as the same double, with a point.
std::string number(double v)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string hex(const Channel::BlockValue& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (std::uint8_t b : bytes) {
        s.push_back(digits[b >> 4]);
        s.push_back(digits[b & 15]);
    }
    return s;
}

std::string text(const std::u16string& s)
{
    return utf16ToUtf8(s);
}

const char* yesNo(bool v)
{
    return v ? "true" : "false";
}

Json toJson(const CCorvaneFile4& file)
{
    const Passport& p = file.passport;
    Json columns = Json::array();
    for (const PassportColumn& c : p.columns) {
        columns.push_back({{"channel", c.channel},     {"name", text(c.name)},
                           {"brand", text(c.brand)},   {"type", c.type},
                           {"diameter", c.diameter},   {"length", c.length},
                           {"carrier", text(c.carrier)}, {"phase", text(c.phase)},
                           {"percent", c.percent},     {"unit", c.unit},
                           {"fraction0", c.fraction0}, {"fraction1", c.fraction1},
                           {"film", c.film},           {"part", text(c.part)},
                           {"serial", text(c.serial)}});
    }
    Json values = Json::array();
    for (const PassportValue& v : p.values)
        values.push_back({{"name", text(v.name)}, {"title", text(v.title)}, {"value", text(v.value)}});

    Json channels = Json::array();
    for (const Channel& ch : file.channels) {
        Json peaks = Json::array();
        for (const Peak& k : ch.peaks) {
            peaks.push_back({{"front", k.front},
                             {"back", k.back},
                             {"time", k.time},
                             {"area", k.area},
                             {"height", k.height},
                             {"concent", k.concent},
                             {"name", text(k.name)},
                             {"reference", k.reference},
                             {"left", k.left},
                             {"right", k.right},
                             {"flags", k.flags},
                             {"front_base_height", k.front_base_height},
                             {"back_base_height", k.back_base_height},
                             {"index", k.index}});
        }
        channels.push_back({{"number", ch.number},
                            {"sampleCount", ch.samples.size()},
                            {"blockValueA", hex(ch.blockValueA)},
                            {"blockValueB", hex(ch.blockValueB)},
                            {"peaks", std::move(peaks)}});
    }

    return {{"version", static_cast<int>(file.version)},
            {"passport",
             {{"assayid", text(p.assayid)},
              {"series", text(p.series)},
              {"andate", p.andate},
              {"duration", p.duration},
              {"sample", text(p.sample)},
              {"method", text(p.method)},
              {"graduation", p.graduation},
              {"date", p.date},
              {"defect", p.defect},
              {"mixture", text(p.mixture)},
              {"columns", std::move(columns)},
              {"values", std::move(values)}}},
            {"channels", std::move(channels)}};
}

void printText(const CCorvaneFile4& file, std::ostream& out)
{
    const Passport& p = file.passport;
    out << "version: " << static_cast<int>(file.version) << '\n'
        << "passport:\n"
        << "  assayid: " << text(p.assayid) << '\n'
        << "  series: " << text(p.series) << '\n'
        << "  andate: " << p.andate << '\n'
        << "  duration: " << number(p.duration) << '\n'
        << "  sample: " << text(p.sample) << '\n'
        << "  method: " << text(p.method) << '\n'
        << "  graduation: " << yesNo(p.graduation) << '\n'
        << "  date: " << p.date << '\n'
        << "  defect: " << yesNo(p.defect) << '\n'
        << "  mixture: " << text(p.mixture) << '\n'
        << "  columns: " << p.columns.size() << '\n';
    for (std::size_t i = 0; i < p.columns.size(); ++i) {
        const PassportColumn& c = p.columns[i];
        out << "  column " << i + 1 << ":\n"
            << "    channel: " << c.channel << '\n'
            << "    name: " << text(c.name) << '\n'
            << "    brand: " << text(c.brand) << '\n'
            << "    type: " << c.type << '\n'
            << "    diameter: " << number(c.diameter) << '\n'
            << "    length: " << number(c.length) << '\n'
            << "    carrier: " << text(c.carrier) << '\n'
            << "    phase: " << text(c.phase) << '\n'
            << "    percent: " << number(c.percent) << '\n'
            << "    unit: " << c.unit << '\n'
            << "    fraction0: " << number(c.fraction0) << '\n'
            << "    fraction1: " << number(c.fraction1) << '\n'
            << "    film: " << number(c.film) << '\n'
            << "    part: " << text(c.part) << '\n'
            << "    serial: " << text(c.serial) << '\n';
    }
    out << "  values: " << p.values.size() << '\n';
    for (const PassportValue& v : p.values)
        out << "    " << text(v.name) << ": title \"" << text(v.title) << "\", value \"" << text(v.value) << "\"\n";

    out << "channels: " << file.channels.size() << '\n';
    for (const Channel& ch : file.channels) {
        out << "channel " << ch.number << ": " << ch.samples.size() << " samples, blockValueA "
            << hex(ch.blockValueA) << ", blockValueB " << hex(ch.blockValueB) << '\n'
            << "  peaks: " << ch.peaks.size() << '\n';
        if (ch.peaks.empty()) continue;
        out << "  front\tback\ttime\tarea\theight\tconcent\tname\treference\tleft\tright\tflags\t"
               "front_base_height\tback_base_height\tindex\n";
        for (const Peak& k : ch.peaks) {
            out << "  " << number(k.front) << '\t' << number(k.back) << '\t' << number(k.time) << '\t'
                << number(k.area) << '\t' << number(k.height) << '\t' << number(k.concent) << '\t'
                << text(k.name) << '\t' << yesNo(k.reference) << '\t' << k.left << '\t' << k.right << '\t'
                << k.flags << '\t' << number(k.front_base_height) << '\t' << number(k.back_base_height) << '\t'
                << number(k.index) << '\n';
        }
    }
}

int inspect(const InspectOptions& options)
{
    CCorvaneFile4 file;
    const int code = file.loadFromFile(utf8ToUtf16(options.file));
    if (code != 0) {
        std::cerr << "error " << code << '\n';
        return exitFailed;
    }
    if (options.json) std::cout << toJson(file).dump(2) << '\n';
    else printText(file, std::cout);
    return exitOk;
}

} // namespace

void addInspectCommand(CLI::App& app, int& exitCode)
{
    auto options = std::make_shared<InspectOptions>();
    CLI::App* command = app.add_subcommand(
        "inspect", "Print a chromatogram file: version, passport, channels and their peak tables.");
    command->add_option("FILE", options->file, "The chromatogram file.")->required();
    command->add_flag("--json", options->json, "Print one JSON object instead of text.");
    command->callback([options, &exitCode] { exitCode = inspect(*options); });
}

} // namespace norvalt::cli
