#include "ui/anchored_layout.h"

#include <cmath>

namespace norvalt {

namespace {
int share(double part, int delta)
{
    return static_cast<int>(std::lround(part * delta));
}
} // namespace

RECT anchoredRect(const RECT& initial, const Anchor& anchor, int dx, int dy)
{
    RECT r = initial;
    r.left += share(anchor.moveX, dx);
    r.top += share(anchor.moveY, dy);
    r.right = r.left + (initial.right - initial.left) + share(anchor.growX, dx);
    r.bottom = r.top + (initial.bottom - initial.top) + share(anchor.growY, dy);
    return r;
}

void AnchoredLayout::attach(HWND dialog)
{
    dialog_ = dialog;
    entries_.clear();
    RECT client{};
    GetClientRect(dialog, &client);
    reference_ = {client.right, client.bottom};
}

void AnchoredLayout::add(int controlId, Anchor anchor)
{
    const HWND control = GetDlgItem(dialog_, controlId);
    if (!control) return;
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, dialog_, reinterpret_cast<POINT*>(&r), 2);
    entries_.push_back({control, r, anchor});
}

void AnchoredLayout::apply() const
{
    if (!dialog_ || entries_.empty()) return;
    RECT client{};
    GetClientRect(dialog_, &client);
    const int dx = client.right - reference_.cx;
    const int dy = client.bottom - reference_.cy;
    // One deferred move of all controls: no intermediate repaints.
    HDWP batch = BeginDeferWindowPos(static_cast<int>(entries_.size()));
    for (const Entry& e : entries_) {
        const RECT r = anchoredRect(e.initial, e.anchor, dx, dy);
        if (batch) {
            batch = DeferWindowPos(batch, e.control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            MoveWindow(e.control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        }
    }
    if (batch) EndDeferWindowPos(batch);
}

} // namespace norvalt
