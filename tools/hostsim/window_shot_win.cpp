#include "window_shot_win.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "text/wide.h"

namespace norvalt::hostsim {

namespace {

struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc() { ReleaseDC(nullptr, dc); }
};
struct MemoryDc {
    HDC dc;
    explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~MemoryDc() { DeleteDC(dc); }
};
struct Bitmap {
    HBITMAP bitmap;
    Bitmap(HDC like, int cx, int cy) : bitmap(CreateCompatibleBitmap(like, cx, cy)) {}
    ~Bitmap() { DeleteObject(bitmap); }
};

} // namespace

bool saveWindowShot(HWND window, const std::u16string& path)
{
    RECT r{};
    if (!GetWindowRect(window, &r)) return false;
    const int cx = r.right - r.left;
    const int cy = r.bottom - r.top;
    if (cx <= 0 || cy <= 0) return false;
    // Let every pending paint happen first.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);

    ScreenDc screen;
    MemoryDc memory(screen.dc);
    Bitmap bitmap(screen.dc, cx, cy);
    if (!memory.dc || !bitmap.bitmap) return false;
    HGDIOBJ old = SelectObject(memory.dc, bitmap.bitmap);
    BitBlt(memory.dc, 0, 0, cx, cy, screen.dc, r.left, r.top, SRCCOPY | CAPTUREBLT);
    SelectObject(memory.dc, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = cx;
    info.biHeight = cy;  // bottom-up rows, as BMP files keep them
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(cx) * 3 + 3) & ~3u;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(cy));
    if (!GetDIBits(memory.dc, bitmap.bitmap, 0, static_cast<UINT>(cy), pixels.data(),
                   reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
        return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(std::filesystem::path(toWide(path)), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

} // namespace norvalt::hostsim
