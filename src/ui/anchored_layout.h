#pragma once
// Controls that follow the size of their dialog: each control moves and
// grows by its own share of the change in the dialog's client width and
// height since the layout was attached.
#include <windows.h>

#include <vector>

namespace norvalt {

// Shares of the width change (x) and height change (y), 0 to 1.
struct Anchor {
    double moveX = 0;
    double moveY = 0;
    double growX = 0;
    double growY = 0;
};

namespace anchors {
inline constexpr Anchor fixed{0, 0, 0, 0};
inline constexpr Anchor fill{0, 0, 1, 1};
inline constexpr Anchor bottomRight{1, 1, 0, 0};
inline constexpr Anchor bottom{0, 1, 0, 0};
} // namespace anchors

// The control's rectangle after a change of dx, dy, each share rounded to
// the nearest pixel.
RECT anchoredRect(const RECT& initial, const Anchor& anchor, int dx, int dy);

class AnchoredLayout {
public:
    // Takes the dialog's present client size as the reference.
    void attach(HWND dialog);
    // Takes the control's present rectangle; ids that the dialog does not
    // have are ignored.
    void add(int controlId, Anchor anchor);
    // Places every control for the dialog's present client size.
    void apply() const;

private:
    struct Entry {
        HWND control;
        RECT initial;
        Anchor anchor;
    };
    HWND dialog_ = nullptr;
    SIZE reference_{};
    std::vector<Entry> entries_;
};

} // namespace norvalt
