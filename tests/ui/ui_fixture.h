#pragma once
// What the window tests share: a top-level owner window that records the
// messages posted to it, a message pump, and a recording notifier in place
// of message boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/user_notifier.h"
#include "ui/list_view.h"

namespace norvalt::test {

struct PostedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Dispatches every message waiting in this thread's queue.
    static void pump();

    HWND owner() const { return owner_; }
    // Messages of the private range (WM_APP and below WM_USER + 0x0C00) that
    // reached the owner, in order.
    const std::vector<PostedMessage>& posted() const;
    RecordingNotifier notifier;

private:
    HWND owner_ = nullptr;
    UserNotifier* previousNotifier_ = nullptr;
};

std::u16string windowText(HWND window);
// The rectangle of a control in its parent's client coordinates.
RECT childRect(HWND control);
// A dialog-unit rectangle (x, y, width, height) of `dialog` in pixels.
RECT dialogUnits(HWND dialog, int x, int y, int width, int height);

// List-view input as the user gives it, by messages: a click on a column
// header, the focus and selection on a row, a double click on a cell, and
// the in-place editor's text ended with a key (VK_RETURN or VK_ESCAPE).
void clickHeader(HWND list, int column);
void focusRow(HWND list, int row);
void doubleClickCell(HWND list, int row, int column);
HWND cellEditor(HWND list);
void finishEdit(HWND list, const wchar_t* text, WPARAM key);
// The texts of one column, top to bottom.
std::vector<std::u16string> columnTexts(HWND list, int column);

} // namespace norvalt::test
