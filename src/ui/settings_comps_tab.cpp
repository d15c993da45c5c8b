#include "ui/settings_comps_tab.h"

#include "calc/components.h"
#include "res/resource_ids.h"
#include "text/string_table.h"

namespace norvalt {

namespace {
constexpr int altNameColumn = 2;
const GridSortKind columnKinds[] = {GridSortKind::number, GridSortKind::text, GridSortKind::text,
                                    GridSortKind::text};
} // namespace

HWND SettingsCompsTab::create(HWND parent)
{
    return createModeless(IDD_LIST_PAGE, parent);
}

bool SettingsCompsTab::onInitDialog()
{
    layout().add(IDC_PAGE_LIST, anchors::fill);
    grid_.attach(hwnd(), IDC_PAGE_LIST);
    const std::u16string name = loadString(IDS_COL_NAME);
    const std::u16string altName = loadString(IDS_COL_ALT_NAME);
    const std::u16string formula = loadString(IDS_COL_FORMULA);
    const GridColumn columns[] = {
        {u"№", 30, GridAlign::centre, columnKinds[0]},
        {name, 154, GridAlign::left, columnKinds[1]},
        {altName, 154, GridAlign::left, columnKinds[2]},
        {formula, 80, GridAlign::left, columnKinds[3]},
    };
    grid_.insertColumns(columns);
    {
        CGridCtrl::RedrawOff quiet(grid_);
        for (const Component& c : componentTable()) {
            if (c.id == UnidentifiedSubstance) continue;
            const int row = grid_.appendRow();
            grid_.setRowValue(row, c.id);
            grid_.setRowNumber(row, c.id + 1);
            grid_.setCellText(row, 1, c.name);
            grid_.setCellText(row, altNameColumn, c.altName);
            grid_.setCellText(row, 3, c.formula);
        }
    }
    grid_.sortByColumn(0, true);
    return false;
}

bool SettingsCompsTab::acceptAltName(int row, int column)
{
    if (column != altNameColumn) return false;
    const std::u16string text = grid_.cellText(row, column);
    if (normalizeName(text).empty()) return false;
    return setComponentAltName(grid_.rowValue(row), text);
}

bool SettingsCompsTab::onMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (message != WM_NOTIFY) return false;
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (hdr->idFrom != IDC_PAGE_LIST) return false;
    const auto* cell = reinterpret_cast<const GridNotifyCell*>(lParam);
    switch (hdr->code) {
    case GRIDN_SORTKIND: {
        const int sorted = reinterpret_cast<const GridNotifySort*>(lParam)->column;
        result = sorted >= 0 && sorted < 4 ? static_cast<LRESULT>(columnKinds[sorted]) : 0;
        return true;
    }
    case GRIDN_CANEDIT:
        result = cell->column == altNameColumn ? 1 : 0;
        return true;
    case GRIDN_CELLCHANGED:
        result = acceptAltName(cell->row, cell->column) ? 1 : 0;
        return true;
    default:
        return false;
    }
}

} // namespace norvalt
