#pragma once
// The clock of the Windows benchmark programs (Google Benchmark is not built
// for Windows here): milliseconds from the performance counter.
#include <windows.h>

namespace norvalt::bench {

inline double milliseconds()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

} // namespace norvalt::bench
