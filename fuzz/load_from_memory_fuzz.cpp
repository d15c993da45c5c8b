// loadFromMemory on arbitrary images: it must stay inside the buffer, never
// reserve memory for counts the image cannot hold, and return one of its codes.
#include <cstddef>
#include <cstdint>

#include "data/corvane_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    norvalt::CCorvaneFile4 file;
    const int code = file.loadFromMemory(data, size);
    if (code > 0 || code < -6) __builtin_trap();
    return 0;
}
