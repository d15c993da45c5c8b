// loadFromFile on arbitrary files, checked against loadFromMemory on the same
// bytes; a file that loads must survive saveToFile and load again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "record_compare.h"

namespace {

std::u16string tempPath(const char* suffix)
{
    const auto path = std::filesystem::temp_directory_path() /
                      ("norvalt-fuzz-" + std::to_string(static_cast<long>(getpid())) + suffix);
    return path.u16string();
}

// The memory loader's codes in the file loader's numbering.
int asFileCode(int memoryCode)
{
    switch (memoryCode) {
    case -1: return -3;  // bad magic
    case -2: return -4;  // version above 1
    case -3: return -7;  // XML part
    case -4: return -2;  // short header
    default: return memoryCode;  // 0, -5 and -6 mean the same in both
    }
}

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::u16string input = tempPath(".in");
    static const std::u16string saved = tempPath(".out");
    static const std::string inputName = std::filesystem::path(input).string();

    std::FILE* f = std::fopen(inputName.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);

    norvalt::CCorvaneFile4 fromFile;
    const int code = fromFile.loadFromFile(input);
    norvalt::CCorvaneFile4 fromMemory;
    check(asFileCode(fromMemory.loadFromMemory(data, size)) == code);
    check(norvalt::fuzz::sameRecord(fromFile, fromMemory, false));
    if (code != 0) return 0;

    check(fromFile.saveToFile(saved) == 0);
    norvalt::CCorvaneFile4 again;
    check(again.loadFromFile(saved) == 0);
    check(norvalt::fuzz::sameRecord(fromFile, again, true));
    return 0;
}
