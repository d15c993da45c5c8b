#include "ui/list_view.h"

#include <commctrl.h>

#include "text/wide.h"

namespace norvalt {

namespace {
int columnFormat(ColumnAlign align)
{
    switch (align) {
    case ColumnAlign::Centre: return LVCFMT_CENTER;
    case ColumnAlign::Right: return LVCFMT_RIGHT;
    case ColumnAlign::Left: break;
    }
    return LVCFMT_LEFT;
}
} // namespace

void insertListColumn(HWND list, int index, const ColumnSpec& column)
{
    std::u16string header = column.header;
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    c.fmt = columnFormat(column.align);
    c.cx = column.width;
    c.pszText = wideBuffer(header);
    c.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&c));
}

int appendListRow(HWND list, const std::u16string& firstCell)
{
    std::u16string text = firstCell;
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = listRowCount(list);
    item.pszText = wideBuffer(text);
    return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void setListCell(HWND list, int row, int column, const std::u16string& text)
{
    std::u16string copy = text;
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wideBuffer(copy);
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

std::u16string listCell(HWND list, int row, int column)
{
    std::u16string text(512, u'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wideBuffer(text);
    item.cchTextMax = static_cast<int>(text.size());
    const auto length = SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

int listRowCount(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

} // namespace norvalt
