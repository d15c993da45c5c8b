// Loading a chromatogram file against reading the same bytes into memory:
// the loader should add little to the cost of the read itself.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "data/corvane_file.h"

namespace {

using norvalt::CCorvaneFile4;

// A 16 MB file: 4 channels of 1 M samples (4 x 4 MiB) and a peak table of 50
// peaks per channel, written once and removed at exit.
class BenchFile {
public:
    BenchFile()
        : path_(std::filesystem::temp_directory_path() / ("norvalt-bench-" + std::to_string(getpid()) + ".stg"))
    {
        CCorvaneFile4 file;
        file.passport.sample = u"Гликоль";
        file.passport.values.push_back({u"volume", u"Объём пробы", u"0.2"});
        std::vector<std::uint32_t> samples(1 << 20);
        for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint32_t>(i * 2654435761u);
        for (std::uint8_t number = 1; number <= 4; ++number) {
            norvalt::Channel& channel = file.channels.emplace_back(number, norvalt::Channel::BlockValue{},
                                                                    norvalt::Channel::BlockValue{},
                                                                    samples.data(), samples.size());
            for (int k = 0; k < 50; ++k) {
                norvalt::Peak& peak = channel.peaks.emplace_back();
                peak.time = 0.5 + k * 0.37;
                peak.front = peak.time - 0.05;
                peak.back = peak.time + 0.06;
                peak.area = 1000.0 / (k + 1);
                peak.height = 12.5 + k;
                peak.name = u"Пик " + std::u16string(1, static_cast<char16_t>(u'А' + k % 32));
                peak.left = k * 100;
                peak.right = k * 100 + 40;
            }
        }
        ok_ = file.saveToFile(path_.u16string()) == 0;
        size_ = ok_ ? std::filesystem::file_size(path_) : 0;
    }
    ~BenchFile()
    {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }

    bool ok() const { return ok_; }
    const std::filesystem::path& path() const { return path_; }
    std::int64_t size() const { return static_cast<std::int64_t>(size_); }

private:
    std::filesystem::path path_;
    bool ok_ = false;
    std::uintmax_t size_ = 0;
};

const BenchFile& benchFile()
{
    static const BenchFile file;
    return file;
}

void BM_LoadFile16MB(benchmark::State& state)
{
    const BenchFile& file = benchFile();
    if (!file.ok()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    const std::u16string path = file.path().u16string();
    for (auto _ : state) {
        CCorvaneFile4 loaded;
        if (loaded.loadFromFile(path) != 0) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(loaded.channels.data());
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(BM_LoadFile16MB)->Unit(benchmark::kMillisecond);

// The plain read that the loader is measured against: the whole file into
// one buffer.
void BM_ReadFile16MB(benchmark::State& state)
{
    const BenchFile& file = benchFile();
    if (!file.ok()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    const std::string path = file.path().string();
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) {
            state.SkipWithError("cannot open the file");
            break;
        }
        std::vector<unsigned char> bytes(static_cast<std::size_t>(file.size()));
        const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        if (read != bytes.size()) {
            state.SkipWithError("short read");
            break;
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(BM_ReadFile16MB)->Unit(benchmark::kMillisecond);

} // namespace
