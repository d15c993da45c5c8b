#pragma once
// The base of the module's dialogs and pages: a window made from a dialog
// template of the resource module, whose procedure keeps every exception
// inside (guardWindowEdge) and runs inside the module's Common Controls 6
// context. Derived classes keep their handlers short and hand the work to
// plain logic; the base does the anchored layout and the minimum tracking
// size.
#include <windows.h>

#include <string>

#include "ui/anchored_layout.h"

namespace norvalt {

class DialogBase {
public:
    DialogBase() = default;
    virtual ~DialogBase();
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }

protected:
    // A modeless window (page or dialog) from template `templateId`; null
    // when the template cannot be made into a window.
    HWND createModeless(int templateId, HWND parent);
    // A modal dialog; gives the code it ended with, -1 when it could not open.
    INT_PTR runModal(int templateId, HWND parent);

    // WM_INITDIALOG; true lets the system set the focus.
    virtual bool onInitDialog() { return true; }
    // Any other message; true when handled, `result` being the answer
    // (given to the system through DWLP_MSGRESULT). WM_SIZE arrives here
    // after the layout has been applied.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // After WM_NCDESTROY, the window gone; a modeless dialog that owns
    // itself deletes itself here.
    virtual void onFinalMessage() {}

    // The window's present outer size becomes the smallest it can be dragged to.
    void recordMinimumTrackingSize();
    AnchoredLayout& layout() { return layout_; }

    // The text of a control, whole.
    std::u16string itemText(int id) const;
    void setItemText(int id, const std::u16string& text) const;

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    SIZE minTrack_{};
    AnchoredLayout layout_;
};

// Outer size of a window (frame included).
SIZE outerSize(HWND window);

} // namespace norvalt
