#pragma once
// The few list-view operations the pages use on a plain list view, taking
// the module's texts.
#include <windows.h>

#include <string>

namespace norvalt {

enum class ColumnAlign { Left, Centre, Right };

struct ColumnSpec {
    std::u16string header;
    int width;
    ColumnAlign align;
};

// Appends a column. The list view always draws its first column
// left-aligned, whatever it is asked.
void insertListColumn(HWND list, int index, const ColumnSpec& column);
// Appends a row with its first cell; gives its index.
int appendListRow(HWND list, const std::u16string& firstCell);
void setListCell(HWND list, int row, int column, const std::u16string& text);
std::u16string listCell(HWND list, int row, int column);
int listRowCount(HWND list);

} // namespace norvalt
