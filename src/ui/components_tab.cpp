#include "ui/components_tab.h"

#include "res/resource_ids.h"
#include "text/string_table.h"
#include "workset/page_texts.h"

namespace norvalt {

namespace {
const GridSortKind columnKinds[] = {GridSortKind::number, GridSortKind::text, GridSortKind::text,
                                    GridSortKind::number};
}

HWND ComponentsTab::create(HWND parent)
{
    return createModeless(IDD_LIST_PAGE, parent);
}

bool ComponentsTab::onInitDialog()
{
    layout().add(IDC_PAGE_LIST, anchors::fill);
    grid_.attach(hwnd(), IDC_PAGE_LIST);
    grid_.addExtendedStyles(LVS_EX_HEADERDRAGDROP);
    const std::u16string name = loadString(IDS_COL_NAME);
    const std::u16string area = loadString(IDS_COL_AREA);
    const std::u16string time = loadString(IDS_COL_TIME);
    const GridColumn columns[] = {
        {u"№", 30, GridAlign::centre, columnKinds[0]},
        {name, 250, GridAlign::left, columnKinds[1]},
        {area, 90, GridAlign::centre, columnKinds[2]},
        {time, 90, GridAlign::centre, columnKinds[3]},
    };
    grid_.insertColumns(columns);
    return false;
}

void ComponentsTab::showPeaks(const Chromatogram& chromatogram)
{
    {
        CGridCtrl::RedrawOff quiet(grid_);
        grid_.deleteAllRows();
        int number = 1;
        for (const Peak& peak : chromatogram.peaks) {
            const auto cells = peakRowTexts(peak, number++);
            const int row = grid_.appendRow();
            for (int c = 0; c < static_cast<int>(cells.size()); ++c) grid_.setCellText(row, c, cells[c]);
        }
    }
    grid_.sortByColumn(0, true);
}

void ComponentsTab::clear()
{
    grid_.deleteAllRows();
}

bool ComponentsTab::onMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (message != WM_NOTIFY) return false;
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (hdr->idFrom != IDC_PAGE_LIST) return false;
    switch (hdr->code) {
    case GRIDN_SORTKIND: {
        const int column = reinterpret_cast<const GridNotifySort*>(lParam)->column;
        result = column >= 0 && column < 4 ? static_cast<LRESULT>(columnKinds[column]) : 0;
        return true;
    }
    case GRIDN_CANEDIT:
        result = 0;
        return true;
    default:
        return false;
    }
}

} // namespace norvalt
