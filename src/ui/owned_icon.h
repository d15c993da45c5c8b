#pragma once
// An icon loaded at a size of our choosing, destroyed with its owner (a
// shared icon is only right at the system's own icon sizes).
#include <windows.h>

namespace norvalt {

class OwnedIcon {
public:
    OwnedIcon() = default;
    OwnedIcon(HINSTANCE module, int id, int size)
        : icon_(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)))
    {
    }
    ~OwnedIcon()
    {
        if (icon_) DestroyIcon(icon_);
    }
    OwnedIcon(OwnedIcon&& other) noexcept : icon_(other.icon_) { other.icon_ = nullptr; }
    OwnedIcon& operator=(OwnedIcon&& other) noexcept
    {
        if (this != &other) {
            if (icon_) DestroyIcon(icon_);
            icon_ = other.icon_;
            other.icon_ = nullptr;
        }
        return *this;
    }
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;

    HICON get() const { return icon_; }

private:
    HICON icon_ = nullptr;
};

} // namespace norvalt
