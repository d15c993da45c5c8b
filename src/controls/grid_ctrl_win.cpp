#include "controls/grid_ctrl.h"

#include <oleauto.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "controls/window_guard.h"
#include "text/format.h"
#include "text/unicode.h"
#include "text/wide.h"

namespace norvalt {

namespace {

// The window procedures that grids replaced: of their list views (one grid
// each) and of the list views' parents (several grids may share a dialog),
// with the procedure each replaced. Looked up on every message of those
// windows, so kept here rather than in window properties, which Wine fetches
// from its server on every call. The module's windows live on one thread.
struct Hook {
    WNDPROC previous = nullptr;
    std::vector<CGridCtrl*> grids;
};
using Hooks = std::unordered_map<HWND, Hook>;

Hooks& listHooks()
{
    static Hooks hooks;
    return hooks;
}
Hooks& parentHooks()
{
    static Hooks hooks;
    return hooks;
}

bool hook(Hooks& hooks, HWND window, WNDPROC procedure, CGridCtrl* grid)
{
    auto found = hooks.find(window);
    if (found != hooks.end()) {
        found->second.grids.push_back(grid);
        return true;
    }
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    if (!previous) return false;
    hooks[window] = Hook{previous, {grid}};
    return true;
}

// Gives the window back its previous procedure when no grid needs it any
// more, unless another procedure was put in front of the grid's since: then
// the grid's stays in the chain and only passes messages on.
void unhook(Hooks& hooks, HWND window, WNDPROC procedure, CGridCtrl* grid)
{
    auto found = hooks.find(window);
    if (found == hooks.end()) return;
    std::erase(found->second.grids, grid);
    if (!found->second.grids.empty()) return;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) != procedure) return;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->second.previous));
    hooks.erase(found);
}

LRESULT callParent(HWND parent, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto found = parentHooks().find(parent);
    if (found == parentHooks().end()) return DefWindowProcW(parent, message, wParam, lParam);
    return CallWindowProcW(found->second.previous, parent, message, wParam, lParam);
}

// Every record with two 32-bit fields shares the layout of GridNotifyCell.
static_assert(sizeof(GridNotifyRow) == sizeof(GridNotifyCell) && sizeof(GridNotifySort) == sizeof(GridNotifyCell));
static_assert(sizeof(GridNotifyPoint) == sizeof(GridNotifyCell) && sizeof(GridNotifyColumn) == sizeof(GridNotifyCell));

// Posted to the grid itself: put a column back to the width it had before a
// resize that the parent cancelled, once the header has finished tracking.
UINT restoreWidthMessage()
{
    static const UINT message = RegisterWindowMessageW(L"norvalt.grid.restoreColumnWidth");
    return message;
}

bool isListView(HWND window)
{
    std::u16string name(64, u'\0');
    int length = GetClassNameW(window, wideBuffer(name), static_cast<int>(name.size()));
    name.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return unicode::foldEqual(name, fromWide(WC_LISTVIEWW));
}

// A cell text read as a date in the user's default format, without the
// user's overrides, as a count of days that grows with time. Dates before
// 30 December 1899 are negative with a positive time of day (-1.25 is 29
// December, 6 o'clock): the time is added to the day instead.
std::optional<double> readLocaleDate(std::u16string_view text)
{
    std::u16string date(text);
    DATE value = 0;
    if (FAILED(VarDateFromStr(wideBuffer(date), LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, &value))) return std::nullopt;
    double day = std::trunc(value);
    return day + std::fabs(value - day);
}

struct SortCall {
    HWND grid;
    const GridSortKeys* keys;
};

// Rows carry their position before the sort as item data while it runs.
int CALLBACK compareRows(LPARAM first, LPARAM second, LPARAM call)
{
    const auto* sort = reinterpret_cast<const SortCall*>(call);
    return guardWindowEdge(sort->grid, 0, [&] {
        return sort->keys->compare(static_cast<std::size_t>(first), static_cast<std::size_t>(second));
    });
}

int formatOfAlign(GridAlign align)
{
    switch (align) {
    case GridAlign::right: return LVCFMT_RIGHT;
    case GridAlign::centre: return LVCFMT_CENTER;
    case GridAlign::left: break;
    }
    return LVCFMT_LEFT;
}

} // namespace

CGridCtrl::CGridCtrl() = default;

CGridCtrl::~CGridCtrl()
{
    if (!hwnd_) return;
    if (editor_) {
        editor_->abandon();
        DestroyWindow(editor_->hwnd());
    }
    detach();
}

bool CGridCtrl::attach(HWND listView)
{
    if (hwnd_ || !listView || !IsWindow(listView) || !isListView(listView)) return false;
    HWND parent = GetParent(listView);
    if (!parent || listHooks().count(listView)) return false;
    if (!hook(listHooks(), listView, gridProc, this)) return false;
    if (!hook(parentHooks(), parent, parentProc, this)) {
        unhook(listHooks(), listView, gridProc, this);
        return false;
    }
    listProc_ = listHooks()[listView].previous;
    hwnd_ = listView;
    parent_ = parent;
    LONG_PTR style = GetWindowLongPtrW(listView, GWL_STYLE);
    if ((style & LVS_TYPEMASK) != LVS_REPORT)
        SetWindowLongPtrW(listView, GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | LVS_REPORT);
    // A mask of 0 replaces every extended style: exactly the base set.
    SendMessageW(listView, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, baseExtendedStyles);
    columnSortKinds_.assign(static_cast<std::size_t>(std::max(columnCount(), 0)), GridSortKind::none);
    return true;
}

bool CGridCtrl::attach(HWND dialog, int controlId)
{
    return attach(GetDlgItem(dialog, controlId));
}

void CGridCtrl::detach()
{
    if (!hwnd_) return;
    unhook(listHooks(), hwnd_, gridProc, this);
    unhook(parentHooks(), parent_, parentProc, this);
    hwnd_ = nullptr;
    parent_ = nullptr;
}

int CGridCtrl::controlId() const
{
    return hwnd_ ? GetDlgCtrlID(hwnd_) : 0;
}

void CGridCtrl::addExtendedStyles(DWORD styles)
{
    if (hwnd_) SendMessageW(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
}

DWORD CGridCtrl::extendedStyles() const
{
    return hwnd_ ? static_cast<DWORD>(SendMessageW(hwnd_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)) : 0;
}

// Columns

int CGridCtrl::insertColumn(const GridColumn& column)
{
    if (!hwnd_) return -1;
    int index = columnCount();
    std::u16string header(column.header);
    LVCOLUMNW item{};
    item.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    item.fmt = formatOfAlign(column.align);
    item.cx = column.width;
    item.pszText = wideBuffer(header);
    item.iSubItem = index;
    index = static_cast<int>(SendMessageW(hwnd_, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) return -1;
    if (columnSortKinds_.size() <= static_cast<std::size_t>(index))
        columnSortKinds_.resize(static_cast<std::size_t>(index) + 1, GridSortKind::none);
    columnSortKinds_[static_cast<std::size_t>(index)] = column.sortKind;
    return index;
}

void CGridCtrl::insertColumns(std::span<const GridColumn> columns)
{
    for (const auto& column : columns) insertColumn(column);
}

int CGridCtrl::columnCount() const
{
    if (!hwnd_) return 0;
    HWND header = ListView_GetHeader(hwnd_);
    return header ? Header_GetItemCount(header) : 0;
}

int CGridCtrl::columnWidth(int column) const
{
    return hwnd_ ? ListView_GetColumnWidth(hwnd_, column) : 0;
}

void CGridCtrl::setColumnWidth(int column, int width)
{
    if (hwnd_) ListView_SetColumnWidth(hwnd_, column, width);
}

GridAlign CGridCtrl::columnAlign(int column) const
{
    LVCOLUMNW item{};
    item.mask = LVCF_FMT;
    if (!hwnd_ || !SendMessageW(hwnd_, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&item))) return GridAlign::left;
    switch (item.fmt & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_LEFT: return GridAlign::left;
    case LVCFMT_RIGHT: return GridAlign::right;
    default: return GridAlign::centre;
    }
}

GridSortKind CGridCtrl::columnSortKind(int column) const
{
    if (column < 0 || static_cast<std::size_t>(column) >= columnSortKinds_.size()) return GridSortKind::none;
    return columnSortKinds_[static_cast<std::size_t>(column)];
}

// Rows and cells

int CGridCtrl::appendRow()
{
    if (!hwnd_) return -1;
    auto record = std::make_unique<GridRowData>();
    GridRowData* data = record.get();
    records_.emplace(data, std::move(record));
    std::u16string empty;
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = rowCount();
    item.pszText = wideBuffer(empty);
    item.lParam = reinterpret_cast<LPARAM>(data);
    int row = static_cast<int>(SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) records_.erase(data);
    return row;
}

int CGridCtrl::rowCount() const
{
    return hwnd_ ? ListView_GetItemCount(hwnd_) : 0;
}

void CGridCtrl::deleteRow(int row)
{
    // The record goes with the row's LVN_DELETEITEM.
    if (hwnd_) ListView_DeleteItem(hwnd_, row);
}

void CGridCtrl::deleteAllRows()
{
    if (!hwnd_) return;
    ListView_DeleteAllItems(hwnd_);
    records_.clear();
}

void CGridCtrl::setCellText(int row, int column, std::u16string_view text)
{
    if (!hwnd_) return;
    std::u16string cell(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wideBuffer(cell);
    SendMessageW(hwnd_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

std::u16string CGridCtrl::cellText(int row, int column) const
{
    if (!hwnd_) return {};
    // The list view copies at most the buffer less one unit; a text that
    // fills it may have been cut, so read again with room to spare.
    for (std::size_t size = 128;; size *= 4) {
        std::u16string text(size, u'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = wideBuffer(text);
        item.cchTextMax = static_cast<int>(size);
        auto length = static_cast<std::size_t>(SendMessageW(hwnd_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < size || size >= 0x100000) {
            text.resize(std::min(length, size - 1));
            return text;
        }
    }
}

void CGridCtrl::setRowNumber(int row, int number)
{
    setCellText(row, 0, format(u"%d", number));
}

void CGridCtrl::setCellNumber(int row, int column, std::u16string_view pattern, double value)
{
    setCellText(row, column, format(pattern, value));
}

GridRowData* CGridCtrl::rowData(int row) const
{
    if (!hwnd_ || sorting_) return nullptr;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    auto found = records_.find(reinterpret_cast<const GridRowData*>(item.lParam));
    return found == records_.end() ? nullptr : found->second.get();
}

std::int32_t CGridCtrl::rowValue(int row) const
{
    const GridRowData* data = rowData(row);
    return data ? data->value : 0;
}

void CGridCtrl::setRowValue(int row, std::int32_t value)
{
    if (GridRowData* data = rowData(row)) data->value = value;
}

void CGridCtrl::setRowColours(int row, COLORREF text, COLORREF background)
{
    GridRowData* data = rowData(row);
    if (!data) return;
    data->textColour = text;
    data->backgroundColour = background;
    ListView_RedrawItems(hwnd_, row, row);
}

int CGridCtrl::findRowByValue(std::int32_t value) const
{
    for (int row = 0, count = rowCount(); row < count; ++row) {
        const GridRowData* data = rowData(row);
        if (data && data->value == value) return row;
    }
    return -1;
}

// Selection and focus

void CGridCtrl::setItemState(int row, UINT state, UINT mask)
{
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void CGridCtrl::clearSelection()
{
    if (!hwnd_) return;
    for (int row = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED); row != -1;
         row = ListView_GetNextItem(hwnd_, row, LVNI_SELECTED))
        setItemState(row, 0, LVIS_SELECTED | LVIS_FOCUSED);
}

void CGridCtrl::selectRow(int row, bool focus)
{
    if (!hwnd_ || row < 0) return;
    UINT state = LVIS_SELECTED | (focus ? LVIS_FOCUSED : 0u);
    setItemState(row, state, state);
}

bool CGridCtrl::isRowSelected(int row) const
{
    return hwnd_ && (ListView_GetItemState(hwnd_, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

std::vector<int> CGridCtrl::selectedRows() const
{
    std::vector<int> rows;
    if (!hwnd_) return rows;
    for (int row = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED); row != -1;
         row = ListView_GetNextItem(hwnd_, row, LVNI_SELECTED))
        rows.push_back(row);
    return rows;
}

int CGridCtrl::focusedRow() const
{
    return hwnd_ ? ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED) : -1;
}

bool CGridCtrl::ensureVisible(int row)
{
    return hwnd_ && ListView_EnsureVisible(hwnd_, row, TRUE);
}

// Editing

CGridCtrlEditCell* CGridCtrl::beginEdit(int row, int column)
{
    if (!hwnd_ || row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return nullptr;
    if (!ListView_EnsureVisible(hwnd_, row, TRUE)) return nullptr;
    if (!notifyParent(GRIDN_CANEDIT, row, column)) return nullptr;
    RECT cell{};
    if (!ListView_GetSubItemRect(hwnd_, row, column, LVIR_LABEL, &cell)) return nullptr;
    cell.top -= 2;
    cell.bottom += 2;
    return CGridCtrlEditCell::open(*this, row, column, cell, columnAlign(column), cellText(row, column));
}

void CGridCtrl::editorClosed(CGridCtrlEditCell* editor)
{
    if (editor_ == editor) editor_ = nullptr;
}

void CGridCtrl::onEndEdit(const NMLVDISPINFOW* info)
{
    const LVITEMW& item = info->item;
    if (!item.pszText) return; // cancelled
    int row = item.iItem;
    int column = item.iSubItem;
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return;
    std::u16string text(fromWide(item.pszText));
    std::u16string old = cellText(row, column);
    if (text == old) return;
    setCellText(row, column, text);
    if (!notifyParent(GRIDN_CELLCHANGED, row, column)) setCellText(row, column, old);
}

// Sorting

void CGridCtrl::sortByColumn(int column, bool ascending)
{
    if (!hwnd_ || column < 0 || column >= columnCount()) return;
    if (GetWindowLongPtrW(hwnd_, GWL_STYLE) & LVS_NOSORTHEADER) return;
    sortColumn_ = column;
    sortAscending_ = ascending ? 1 : 0;
    sortKind_ = static_cast<std::int32_t>(notifyParent(GRIDN_SORTKIND, sortColumn_, sortAscending_));
    if (sortKind_ == 0) return;
    markSortedHeader();
    sortRows(gridSortKindOfAnswer(sortKind_), ascending);
}

void CGridCtrl::markSortedHeader()
{
    HWND header = ListView_GetHeader(hwnd_);
    for (int column = 0, count = Header_GetItemCount(header); column < count; ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!Header_GetItem(header, column, &item)) continue;
        int format = item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == sortColumn_) format |= sortAscending_ ? HDF_SORTUP : HDF_SORTDOWN;
        if (format == item.fmt) continue;
        item.fmt = format;
        Header_SetItem(header, column, &item);
    }
}

void CGridCtrl::sortRows(GridSortKind kind, bool ascending)
{
    int count = rowCount();
    GridSortKeys keys(kind, ascending, readLocaleDate);
    std::vector<LPARAM> itemData(static_cast<std::size_t>(count));
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    for (int row = 0; row < count; ++row) {
        keys.add(cellText(row, sortColumn_));
        item.iItem = row;
        SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        itemData[static_cast<std::size_t>(row)] = item.lParam;
    }
    // Redraw stays off while the item data is rewritten twice, unless the
    // owner has turned it off already (it is filling the grid).
    std::optional<RedrawOff> quiet;
    if (redrawOff_ == 0) quiet.emplace(*this);
    // While the list view sorts, each row's item data is its position
    // before the sort, the index of its key; the owner's data (a record or
    // whatever a row not made by appendRow carries) is put back afterwards.
    sorting_ = true;
    struct SortingEnds {
        bool& sorting;
        ~SortingEnds() { sorting = false; }
    } ends{sorting_};
    for (int row = 0; row < count; ++row) {
        item.iItem = row;
        item.lParam = row;
        SendMessageW(hwnd_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    SortCall call{hwnd_, &keys};
    SendMessageW(hwnd_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&call), reinterpret_cast<LPARAM>(compareRows));
    for (int row = 0; row < count; ++row) {
        item.iItem = row;
        SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        auto before = static_cast<std::size_t>(item.lParam);
        item.lParam = before < itemData.size() ? itemData[before] : 0;
        SendMessageW(hwnd_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void CGridCtrl::onColumnClick(int column)
{
    // The sorted column clicked again turns round; any other starts ascending.
    bool ascending = !(column == sortColumn_ && sortAscending_);
    sortByColumn(column, ascending);
}

// Notifications

LRESULT CGridCtrl::notifyParent(UINT code, std::int32_t first, std::int32_t second) const
{
    GridNotifyCell record{};
    record.hdr.hwndFrom = hwnd_;
    record.hdr.idFrom = static_cast<UINT_PTR>(controlId());
    record.hdr.code = code;
    record.row = first;
    record.column = second;
    return SendMessageW(parent_, WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

LRESULT CGridCtrl::onCustomDraw(NMLVCUSTOMDRAW* draw) const
{
    DWORD stage = draw->nmcd.dwDrawStage;
    if (stage == CDDS_ITEMPREPAINT || stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
        int row = static_cast<int>(draw->nmcd.dwItemSpec);
        if (const GridRowData* data = rowData(row)) {
            draw->clrText = data->textColour;
            draw->clrTextBk = data->backgroundColour;
        }
        if (isRowSelected(row)) {
            // The highlight stays when the grid loses the focus: the list view
            // is told the row is not selected, so it keeps these colours
            // instead of its own (grey or none) for an inactive selection.
            draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
            draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
            draw->nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
        }
    }
    return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
}

bool CGridCtrl::onItemChanged(const NMLISTVIEW* change)
{
    bool newlySelected = (change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
                         !(change->uOldState & LVIS_SELECTED);
    if (!newlySelected) return false;
    notifyParent(GRIDN_ROWSELECTED, change->iItem, change->iSubItem);
    return true;
}

void CGridCtrl::onDoubleClick(const NMITEMACTIVATE* activation)
{
    std::int32_t result = 0;
    GridNotifyDblClick record{};
    record.hdr.hwndFrom = hwnd_;
    record.hdr.idFrom = static_cast<UINT_PTR>(controlId());
    record.hdr.code = GRIDN_DBLCLICK;
    record.activation = activation;
    record.result = &result;
    SendMessageW(parent_, WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
    if (result != 0 || activation->iItem < 0 || !hwnd_) return;
    int row = activation->iItem;
    if (ListView_GetItemState(hwnd_, row, LVIS_FOCUSED) & LVIS_FOCUSED)
        beginEdit(row, activation->iSubItem);
    else
        setItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CGridCtrl::onContextMenu(LPARAM screenPoint)
{
    POINT point{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: just inside the grid's top-left corner.
        point = {5, 5};
        ClientToScreen(hwnd_, &point);
    }
    notifyParent(GRIDN_CONTEXTMENU, point.x, point.y);
}

LRESULT CGridCtrl::onHeaderNotify(NMHDR* hdr, WPARAM wParam, LPARAM lParam)
{
    auto* header = reinterpret_cast<NMHEADERW*>(hdr);
    int column = header->iItem;
    switch (hdr->code) {
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
        // A hidden column stays hidden.
        if (columnWidth(column) == 0) return TRUE;
        if (notifyParent(GRIDN_BEGINRESIZE, column, 0)) return TRUE;
        trackStartWidth_ = columnWidth(column);
        break;
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA:
        if (columnWidth(column) == 0) return 0;
        break;
    case HDN_ENDTRACKW:
    case HDN_ENDTRACKA:
        if (header->pitem && (header->pitem->mask & HDI_WIDTH) && columnWidth(column) != 0 &&
            notifyParent(GRIDN_COLUMNRESIZED, column, header->pitem->cxy) == 1) {
            PostMessageW(hwnd_, restoreWidthMessage(), static_cast<WPARAM>(column), trackStartWidth_);
            return TRUE;
        }
        break;
    case HDN_ENDDRAG:
        if (header->pitem && (header->pitem->mask & HDI_ORDER) && columnWidth(column) != 0) {
            HDITEMW now{};
            now.mask = HDI_ORDER;
            Header_GetItem(hdr->hwndFrom, column, &now);
            if (now.iOrder != header->pitem->iOrder &&
                notifyParent(GRIDN_COLUMNMOVED, column, header->pitem->iOrder) == 1)
                return TRUE;
        }
        break;
    default:
        break;
    }
    return CallWindowProcW(listProc_, hwnd_, WM_NOTIFY, wParam, lParam);
}

LRESULT CGridCtrl::onGridMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->code == LVN_ENDLABELEDITW && hdr->idFrom == editorId && hdr->hwndFrom == hwnd_) {
            onEndEdit(reinterpret_cast<const NMLVDISPINFOW*>(lParam));
            return 0;
        }
        if (hdr->hwndFrom == ListView_GetHeader(hwnd_)) return onHeaderNotify(hdr, wParam, lParam);
        break;
    }
    case WM_CONTEXTMENU:
        onContextMenu(lParam);
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        // Scrolling first takes the focus, which ends an edit under way.
        if (GetFocus() != hwnd_) SetFocus(hwnd_);
        break;
    case WM_DESTROY:
        if (editor_) editor_->abandon();
        break;
    default:
        if (message == restoreWidthMessage() && message != 0) {
            ListView_SetColumnWidth(hwnd_, static_cast<int>(wParam), static_cast<int>(lParam));
            return 0;
        }
        break;
    }
    return CallWindowProcW(listProc_, hwnd_, message, wParam, lParam);
}

LRESULT CGridCtrl::onParentMessage(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    handled = true;
    switch (hdr->code) {
    case NM_CUSTOMDRAW:
        return onCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
    case NM_DBLCLK:
        onDoubleClick(reinterpret_cast<const NMITEMACTIVATE*>(lParam));
        return 0;
    case LVN_COLUMNCLICK:
        onColumnClick(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
        return 0;
    case LVN_ITEMCHANGING:
        if (sorting_) return FALSE;
        break;
    case LVN_ITEMCHANGED:
        if (sorting_ || onItemChanged(reinterpret_cast<const NMLISTVIEW*>(lParam))) return 0;
        break;
    case LVN_DELETEITEM: {
        auto* data = reinterpret_cast<const GridRowData*>(reinterpret_cast<const NMLISTVIEW*>(lParam)->lParam);
        LRESULT result = callParent(parent, message, wParam, lParam);
        records_.erase(data);
        return result;
    }
    case LVN_DELETEALLITEMS:
        // Each row must be reported on its own, so that its record goes.
        callParent(parent, message, wParam, lParam);
        return FALSE;
    default:
        break;
    }
    handled = false;
    return 0;
}

LRESULT CALLBACK CGridCtrl::gridProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto found = listHooks().find(hwnd);
    if (found == listHooks().end()) return DefWindowProcW(hwnd, message, wParam, lParam);
    WNDPROC previous = found->second.previous;
    CGridCtrl* grid = found->second.grids.empty() ? nullptr : found->second.grids.front();
    if (message == WM_NCDESTROY) {
        if (grid) grid->detach();
        LRESULT result = CallWindowProcW(previous, hwnd, message, wParam, lParam);
        listHooks().erase(hwnd);
        if (grid) grid->records_.clear();
        return result;
    }
    if (!grid) return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    return guardWindowEdge(hwnd, LRESULT(0), [&] { return grid->onGridMessage(message, wParam, lParam); });
}

LRESULT CALLBACK CGridCtrl::parentProc(HWND parent, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto found = parentHooks().find(parent);
    if (found == parentHooks().end()) return DefWindowProcW(parent, message, wParam, lParam);
    if (message == WM_NOTIFY) {
        HWND from = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
        for (CGridCtrl* grid : found->second.grids) {
            if (grid->hwnd_ != from) continue;
            bool handled = false;
            LRESULT result = guardWindowEdge(parent, LRESULT(0), [&] {
                return grid->onParentMessage(parent, message, wParam, lParam, handled);
            });
            if (handled) return result;
            break;
        }
    } else if (message == WM_NCDESTROY) {
        WNDPROC previous = found->second.previous;
        parentHooks().erase(found);
        return CallWindowProcW(previous, parent, message, wParam, lParam);
    }
    return CallWindowProcW(found->second.previous, parent, message, wParam, lParam);
}

// Redraw

CGridCtrl::RedrawOff::RedrawOff(CGridCtrl& grid) : grid_(grid), hwnd_(grid.hwnd())
{
    if (!hwnd_) return;
    if (grid_.redrawOff_++ == 0) SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
}

CGridCtrl::RedrawOff::~RedrawOff()
{
    if (!hwnd_) return;
    if (--grid_.redrawOff_ != 0 || grid_.hwnd() != hwnd_) return;
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

} // namespace norvalt
