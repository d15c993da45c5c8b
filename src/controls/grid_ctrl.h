#pragma once
// CGridCtrl: the module's table. A list view in report view with per-row
// colours, an owner's value per row, sorting by a click on a column header
// and editing of single cells in place (CGridCtrlEditCell). The window that
// owns the grid decides through WM_NOTIFY notifications what is allowed and
// learns what happened; it answers like any notification (a dialog through
// DWLP_MSGRESULT and TRUE).
//
// The grid attaches to an existing list-view window (from a dialog template
// or created by the owner) and subclasses it and its parent (replacing their
// window procedures, each kept to be called on): the list view's
// own notifications to the parent (custom draw, double click, item changed,
// column click, deleted items) come back to the grid there, as a control's
// reflected notifications; the parent sees only those the grid passes on.
//
// Decisions of this module where the table's behaviour is otherwise open:
// - The row records are owned by the grid and freed whenever their row goes,
//   however it is deleted (LVM_DELETEITEM from the owner included); an item
//   data value that the grid did not make is never freed or read as a record.
// - While the grid sorts, the list view's item-changed notifications caused
//   by the sort itself are not passed on: the rows' states do not change.
// - A zero-width column can also not be widened by a double click on its
//   divider (the header's automatic width).
// - A sort or an edit asked for a row or column that does not exist does
//   nothing; a sort request is then not stored either.
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "controls/grid_sort.h"

namespace norvalt {

// Notification codes sent to the grid's parent (NMHDR::code).
enum : UINT {
    GRIDN_CELLCHANGED = 0x0D62,  // GridNotifyCell; non-zero keeps the new text, 0 restores the old one
    GRIDN_CANEDIT = 0x0D63,      // GridNotifyCell; non-zero opens the editor, 0 refuses
    GRIDN_ROWSELECTED = 0x0D64,  // GridNotifyRow; answer not used
    GRIDN_CONTEXTMENU = 0x0D65,  // GridNotifyPoint (screen coordinates); answer not used
    GRIDN_SORTKIND = 0x0D66,     // GridNotifySort; answer: a GridSortKind value
    GRIDN_COLUMNMOVED = 0x0D67,  // GridNotifyColumn (value: new display position); 1 cancels the move
    GRIDN_BEGINRESIZE = 0x0D68,  // GridNotifyColumn (value: 0); non-zero refuses the resize
    GRIDN_COLUMNRESIZED = 0x0D69,// GridNotifyColumn (value: new width in pixels); 1 cancels the width
    GRIDN_DBLCLICK = 0x0D6A,     // GridNotifyDblClick; answer not used, see its result field
};

// The records of the notifications: the header {grid window, grid control
// id, code} and two 32-bit fields (pointer-sized in GridNotifyDblClick).
struct GridNotifyCell {
    NMHDR hdr;
    std::int32_t row;
    std::int32_t column;
};
struct GridNotifyRow {
    NMHDR hdr;
    std::int32_t row;
    std::int32_t subItem; // the sub-item of the list view's change
};
struct GridNotifyPoint {
    NMHDR hdr;
    std::int32_t x;
    std::int32_t y;
};
struct GridNotifySort {
    NMHDR hdr;
    std::int32_t column;
    std::int32_t ascending; // 1 or 0
};
struct GridNotifyColumn {
    NMHDR hdr;
    std::int32_t column;
    std::int32_t value;
};
struct GridNotifyDblClick {
    NMHDR hdr;
    const NMITEMACTIVATE* activation; // row and column of the hit (iItem -1 below the rows)
    std::int32_t* result;             // a parent that handles the double click itself writes non-zero
};

// The 32-bit module hands these records to a 32-bit host's windows: the two
// fields follow the header directly.
static_assert(offsetof(GridNotifyCell, row) == sizeof(NMHDR) && sizeof(GridNotifyCell) == sizeof(NMHDR) + 8);
static_assert(offsetof(GridNotifySort, ascending) == sizeof(NMHDR) + 4);
static_assert(offsetof(GridNotifyDblClick, activation) == sizeof(NMHDR));
#ifndef _WIN64
static_assert(sizeof(NMHDR) == 12 && sizeof(GridNotifyDblClick) == 20);
#endif

// The record each row made by appendRow carries as its item data.
struct GridRowData {
    COLORREF textColour = CLR_DEFAULT;       // 0xFF000000: the list view's own colour
    COLORREF backgroundColour = CLR_DEFAULT;
    std::int32_t value = 0;                  // the owner's value (an assay id, a component id)
};

enum class GridAlign { left, right, centre };

// A column as the owner declares it. sortKind is only remembered for the
// owner, who can answer GRIDN_SORTKIND with columnSortKind(); the grid itself
// always asks.
struct GridColumn {
    std::u16string_view header;
    int width = 100;
    GridAlign align = GridAlign::left;
    GridSortKind sortKind = GridSortKind::none;
};

class CGridCtrlEditCell;

class CGridCtrl {
public:
    static constexpr int editorId = 9801;
    // Exactly grid lines, full-row selection and info tips.
    static constexpr DWORD baseExtendedStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;

    CGridCtrl();
    ~CGridCtrl();
    CGridCtrl(const CGridCtrl&) = delete;
    CGridCtrl& operator=(const CGridCtrl&) = delete;

    // Takes over a list-view window: report view, the extended styles set to
    // exactly baseExtendedStyles, the subclassing of it and its parent. False
    // (and nothing changed) when the window is no list view or the grid is
    // attached already. The grid detaches itself when the window is destroyed.
    bool attach(HWND listView);
    // Attaches to the list view with the given control id of a dialog.
    bool attach(HWND dialog, int controlId);
    HWND hwnd() const { return hwnd_; }
    int controlId() const;

    // Extended styles added to (never removing) the base set.
    void addExtendedStyles(DWORD styles);
    DWORD extendedStyles() const;

    // Columns: appended in order; the index of the new column.
    int insertColumn(const GridColumn& column);
    void insertColumns(std::span<const GridColumn> columns);
    int columnCount() const;
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);
    GridAlign columnAlign(int column) const;
    GridSortKind columnSortKind(int column) const;

    // Rows and cells.
    int appendRow(); // an empty row at the end with a default GridRowData; its index
    int rowCount() const;
    void deleteRow(int row);
    void deleteAllRows(); // frees every row's record
    void setCellText(int row, int column, std::u16string_view text);
    std::u16string cellText(int row, int column) const;
    void setRowNumber(int row, int number);                                      // "%d" into column 0
    void setCellNumber(int row, int column, std::u16string_view format, double value); // e.g. "%.3f"
    GridRowData* rowData(int row) const; // nullptr for a row not made by appendRow
    std::int32_t rowValue(int row) const; // 0 for a row without record
    void setRowValue(int row, std::int32_t value);
    void setRowColours(int row, COLORREF text, COLORREF background);
    int findRowByValue(std::int32_t value) const; // -1 when no row has it

    // Selection and focus.
    void clearSelection(); // removes the selected and focused states from every selected row
    void selectRow(int row, bool focus = true);
    bool isRowSelected(int row) const;
    std::vector<int> selectedRows() const;
    int focusedRow() const; // -1 when none
    bool ensureVisible(int row);

    // Opens the editor on a cell when the row can be scrolled into view and
    // the parent answers GRIDN_CANEDIT with non-zero; the editor, or nullptr.
    CGridCtrlEditCell* beginEdit(int row, int column);
    CGridCtrlEditCell* editor() const { return editor_; }

    // Sorts by a column when the parent answers GRIDN_SORTKIND with a kind,
    // and marks the column's header with the direction.
    void sortByColumn(int column, bool ascending);
    int sortColumn() const { return sortColumn_; }
    bool sortAscending() const { return sortAscending_ != 0; }
    std::int32_t sortKindAnswer() const { return sortKind_; }
    GridSortKind sortKind() const { return gridSortKindOfAnswer(sortKind_); }

    // No drawing while a grid is filled; one redraw at the end. Nests: the
    // outermost one turns drawing back on.
    class RedrawOff {
    public:
        explicit RedrawOff(CGridCtrl& grid);
        ~RedrawOff();
        RedrawOff(const RedrawOff&) = delete;
        RedrawOff& operator=(const RedrawOff&) = delete;

    private:
        CGridCtrl& grid_;
        HWND hwnd_;
    };

private:
    friend class CGridCtrlEditCell;

    static LRESULT CALLBACK gridProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK parentProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT onGridMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onParentMessage(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT onHeaderNotify(NMHDR* hdr, WPARAM wParam, LPARAM lParam);
    LRESULT onCustomDraw(NMLVCUSTOMDRAW* draw) const;
    bool onItemChanged(const NMLISTVIEW* change);
    void onDoubleClick(const NMITEMACTIVATE* activation);
    void onColumnClick(int column);
    void onEndEdit(const NMLVDISPINFOW* info);
    void onContextMenu(LPARAM screenPoint);
    void onDestroy();
    void detach();

    LRESULT notifyParent(UINT code, std::int32_t first, std::int32_t second) const;
    void markSortedHeader();
    void sortRows(GridSortKind kind, bool ascending);
    void editorClosed(CGridCtrlEditCell* editor);
    void setItemState(int row, UINT state, UINT mask);

    HWND hwnd_ = nullptr;
    HWND parent_ = nullptr;
    WNDPROC listProc_ = nullptr; // the list view's own procedure
    std::int32_t sortColumn_ = -1;
    std::int32_t sortAscending_ = 1;
    std::int32_t sortKind_ = 0;
    bool sorting_ = false;
    int redrawOff_ = 0;       // RedrawOff objects alive
    int trackStartWidth_ = 0; // width of the column whose divider is being dragged
    CGridCtrlEditCell* editor_ = nullptr;
    std::vector<GridSortKind> columnSortKinds_;
    std::unordered_map<const GridRowData*, std::unique_ptr<GridRowData>> records_;
};

// The in-place editor of one cell: a single-line edit, child of the grid with
// id 9801, on the cell's label rectangle. It ends when it loses the focus
// (Enter, Escape, a click elsewhere, a scroll of the grid), reports its text
// to the grid as LVN_ENDLABELEDITW (no text when cancelled) and deletes
// itself with its window. It asks for every key (DLGC_WANTALLKEYS) and
// handles Enter and Escape itself, so that neither becomes the default or
// cancel button of a dialog around the grid, whether or not the host's
// message loop runs IsDialogMessage.
class CGridCtrlEditCell {
public:
    HWND hwnd() const { return hwnd_; }
    int row() const { return row_; }
    int column() const { return column_; }
    const std::u16string& initialText() const { return initialText_; }
    bool cancelled() const { return cancelled_ != 0; }
    // Ends the edit like Escape: the grid gets no text.
    void cancel();

private:
    friend class CGridCtrl;

    CGridCtrlEditCell(CGridCtrl& grid, int row, int column, std::u16string text);
    static CGridCtrlEditCell* open(CGridCtrl& grid, int row, int column, const RECT& cell, GridAlign align,
                                   std::u16string text);
    static LRESULT CALLBACK editProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT callEdit(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void end();
    void abandon() { ended_ = true; } // the grid goes away: nothing to report


    CGridCtrl& grid_;
    HWND hwnd_ = nullptr;
    WNDPROC editProc_ = nullptr; // the edit control's own procedure
    std::int32_t row_;
    std::int32_t column_;
    std::u16string initialText_;
    std::int32_t cancelled_ = 0;
    bool ended_ = false;      // the text was reported (or is not to be)
    bool destroying_ = false; // the window is on its way out
};

} // namespace norvalt
