#include "ui/calculation_tab.h"

#include <commctrl.h>

#include "res/resource_ids.h"
#include "text/string_table.h"
#include "ui/list_view.h"
#include "workset/page_texts.h"

namespace norvalt {

HWND CalculationTab::create(HWND parent)
{
    return createModeless(IDD_LIST_PAGE, parent);
}

bool CalculationTab::onInitDialog()
{
    layout().add(IDC_PAGE_LIST, anchors::fill);
    const HWND list = item(IDC_PAGE_LIST);
    // Header clicks do nothing here: the rows keep the calculator's order.
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    const ColumnSpec columns[] = {
        {u"№", 30, ColumnAlign::Centre},
        {loadString(IDS_COL_NAME), 200, ColumnAlign::Left},
        {loadString(IDS_COL_MASS_FRACTION), 140, ColumnAlign::Centre},
        {loadString(IDS_COL_NORM), 65, ColumnAlign::Centre},
        {loadString(IDS_COL_COMPLIES), 85, ColumnAlign::Centre},
    };
    for (int i = 0; i < 5; ++i) insertListColumn(list, i, columns[i]);
    return false;
}

void CalculationTab::refresh()
{
    const HWND list = item(IDC_PAGE_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    int number = 1;
    for (const ComponentResult& result : results_) {
        const auto cells = resultRowTexts(result, number++);
        const int row = appendListRow(list, cells[0]);
        for (int c = 1; c < static_cast<int>(cells.size()); ++c) setListCell(list, row, c, cells[c]);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CalculationTab::clearView()
{
    SendMessageW(item(IDC_PAGE_LIST), LVM_DELETEALLITEMS, 0, 0);
}

} // namespace norvalt
