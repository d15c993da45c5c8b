#include "ui/dlg_main.h"

#include <commctrl.h>

#include <stdexcept>

#include "res/resource_ids.h"
#include "text/string_table.h"
#include "text/wide.h"
#include "ui/about_dlg.h"
#include "ui/dialog_keys.h"
#include "ui/resource_module.h"
#include "ui/settings_dlg.h"
#include "workset/module_settings.h"

namespace norvalt {

namespace {

DlgMain* existing = nullptr;

ReportOpener& reportOpener()
{
    static ReportOpener opener = openWithShell;
    return opener;
}

struct CommandButton {
    int id;
    int icon;
    int tip;
};
// In the order of the column of buttons.
constexpr CommandButton commandButtons[] = {
    {IDC_ADD, IDI_ADD, IDS_TIP_ADD},
    {IDC_REMOVE, IDI_REMOVE, IDS_TIP_REMOVE_SELECTED},
    {IDC_REMOVE_ALL, IDI_REMOVE_ALL, IDS_TIP_REMOVE_ALL},
    {IDC_OPEN, IDI_OPEN, IDS_TIP_OPEN},
    {IDC_RELOAD, IDI_RELOAD, IDS_TIP_RELOAD},
    {IDC_SETTINGS, IDI_SETTINGS, IDS_TIP_SETTINGS},
    {IDC_REPORT, IDI_REPORT, IDS_TIP_REPORT},
    {IDC_ABOUT, IDI_ABOUT, IDS_TIP_ABOUT},
};

constexpr int buttonIconSize = 16;

ProfileRect outerRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

std::u16string windowText(HWND window)
{
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    const int length = GetWindowTextW(window, wideBuffer(text), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
}

} // namespace

const char16_t DlgMain::versionSuffix[] = u" 1.0.1.0";

DlgMain::DlgMain(Host host) : host_(host), profile_(host), set_(host, messages_, *this) {}

DlgMain::~DlgMain()
{
    if (existing == this) existing = nullptr;
}

DlgMain* DlgMain::create(HWND owner, Host host)
{
    auto* window = new DlgMain(host);
    existing = window;
    if (!window->createModeless(IDD_MAIN, owner)) {
        // A window that came and went during its creation took the object
        // with it.
        if (existing == window) delete window;
        return nullptr;
    }
    registerDialogKeys(window->hwnd());
    return window;
}

DlgMain* DlgMain::current()
{
    return existing;
}

void DlgMain::setReportOpener(ReportOpener opener)
{
    reportOpener() = opener ? std::move(opener) : ReportOpener(openWithShell);
}

bool DlgMain::onInitDialog()
{
    layout().add(IDC_MAIN_LIST, {0, 0, 1, 0.5});
    layout().add(IDC_MAIN_TABS, {0, 0.5, 1, 0.5});

    const HMENU systemMenu = GetSystemMenu(hwnd(), FALSE);
    if (systemMenu) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, aboutMenuCommand, wide(loadString(IDS_ABOUT_MENU)));
    }
    SetWindowTextW(hwnd(), wide(windowText(hwnd()) + versionSuffix));

    recordMinimumTrackingSize();
    ProfileRect stored;
    if (profile_.getRect(u"", u"WState", stored)) {
        SetWindowPos(hwnd(), nullptr, stored.left, stored.top, stored.right - stored.left, stored.bottom - stored.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }

    loadComponentAltNames(profile_);
    set_.setWaterMassFractionSetting(readWaterMassFraction(profile_));
    setWindowIcons(hwnd(), resourceModule());
    createButtons();
    createTooltips();

    list_.attach(hwnd(), IDC_MAIN_LIST);
    const std::u16string headers[] = {loadString(IDS_COL_FILE_NAME), loadString(IDS_COL_SAMPLE),
                                      loadString(IDS_COL_VOLUME),    loadString(IDS_COL_DATE),
                                      loadString(IDS_COL_KIND),      loadString(IDS_COL_MIXTURE)};
    const GridColumn columns[] = {
        {u"№", 30, GridAlign::centre},  {headers[0], 250}, {headers[1], 180}, {headers[2], 50},
        {headers[3], 95},               {headers[4], 80},  {headers[5], 110},
    };
    list_.insertColumns(columns);

    tabs_.attach(item(IDC_MAIN_TABS));
    const HWND tabControl = tabs_.tabControl();
    const auto page = [](HWND made) {
        if (!made) throw std::runtime_error("a page of the main window cannot be created");
        return made;
    };
    tabs_.add(loadString(IDS_TAB_COMPONENTS), page(componentsPage_.create(tabControl)));
    tabs_.add(loadString(IDS_TAB_GRADUATION), page(graduationPage_.create(tabControl)));
    tabs_.add(loadString(IDS_TAB_CALCULATION), page(calculationPage_.create(tabControl)));
    tabs_.add(loadString(IDS_TAB_MESSAGES), page(messagesPage_.create(tabControl)));
    tabs_.select(0);

    set_.recalculate();
    return true;
}

void DlgMain::createButtons()
{
    for (std::size_t i = 0; i < std::size(commandButtons); ++i) {
        buttonIcons_[i] = OwnedIcon(ownModule(), commandButtons[i].icon, buttonIconSize);
        SendDlgItemMessageW(hwnd(), commandButtons[i].id, BM_SETIMAGE, IMAGE_ICON,
                            reinterpret_cast<LPARAM>(buttonIcons_[i].get()));
    }
}

void DlgMain::createTooltips()
{
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_BALLOON,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                               ownModule(), nullptr);
    if (!tooltip_) return;
    for (const CommandButton& button : commandButtons) {
        std::u16string text = loadString(button.tip);
        TTTOOLINFOW tool{};
        // The size every tooltip version takes, the classic controls' too.
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(item(button.id));
        tool.lpszText = wideBuffer(text);
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
}

void DlgMain::relayToTooltip(HWND under, UINT mouseMessage)
{
    if (!tooltip_ || mouseMessage < WM_MOUSEFIRST || mouseMessage > WM_MOUSELAST) return;
    MSG msg{};
    msg.hwnd = under;
    msg.message = mouseMessage;
    msg.time = GetMessageTime();
    GetCursorPos(&msg.pt);
    POINT client = msg.pt;
    ScreenToClient(under, &client);
    msg.lParam = MAKELPARAM(client.x, client.y);
    SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

std::vector<std::int32_t> DlgMain::selectedIds() const
{
    std::vector<std::int32_t> ids;
    for (const int row : list_.selectedRows()) ids.push_back(list_.rowValue(row));
    return ids;
}

void DlgMain::onCommand(int id)
{
    // However the command ends, the list draws again afterwards.
    struct DrawAgain {
        std::optional<CGridCtrl::RedrawOff>& quiet;
        ~DrawAgain() { quiet.reset(); }
    } drawAgain{quietList_};
    switch (id) {
    case IDC_ADD:
        set_.addAssays();
        break;
    case IDC_REMOVE:
        set_.removeAssays(selectedIds());
        break;
    case IDC_REMOVE_ALL:
        set_.removeAll();
        break;
    case IDC_OPEN:
        set_.openInHost(selectedIds());
        break;
    case IDC_RELOAD:
        set_.reload();
        set_.recalculate();
        break;
    case IDC_SETTINGS:
        openSettings();
        break;
    case IDC_REPORT:
        makeReport();
        break;
    case IDC_ABOUT:
        showAbout();
        break;
    default:
        break;
    }
}

void DlgMain::openSettings()
{
    if (settingsOpen_) return;
    settingsOpen_ = SettingsDlg::open(hwnd(), host_) != nullptr;
}

void DlgMain::makeReport()
{
    const std::u16string folder = reportTemplateFolder(host_, noticeOwner());
    ReportJob job(ReportInput::of(set_, messages_), folder);
    job.setNoticeOwner(noticeOwner());
    job.run(reportOpener());
}

void DlgMain::showAbout()
{
    CAboutDlg about;
    about.run(hwnd());
}

void DlgMain::onSettingsClosed(WPARAM how)
{
    settingsOpen_ = false;
    set_.setWaterMassFractionSetting(readWaterMassFraction(profile_, set_.waterMassFractionSetting()));
    if (how == 1) set_.recalculate();
}

bool DlgMain::onListNotify(const NMHDR* hdr)
{
    switch (hdr->code) {
    case GRIDN_ROWSELECTED: {
        // Selecting every row marks rows to remove; the chromatogram
        // calculated for stays the one chosen before.
        if (selectingAll_) return true;
        const int row = reinterpret_cast<const GridNotifyRow*>(hdr)->row;
        set_.selectAssay(list_.rowValue(row));
        return true;
    }
    case LVN_KEYDOWN:
        onListKey(reinterpret_cast<const NMLVKEYDOWN*>(hdr)->wVKey);
        return false;
    case GRIDN_DBLCLICK:
        // No result written: the grid goes on with its own handling.
        set_.openInHost(selectedIds());
        return true;
    default:
        return hdr->code >= GRIDN_CELLCHANGED && hdr->code <= GRIDN_DBLCLICK;
    }
}

// What users of any list expect: Delete removes the selected rows as the
// remove button does, Ctrl+A selects every row.
void DlgMain::onListKey(WORD key)
{
    if (key == VK_DELETE && !(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_SHIFT) & 0x8000)) {
        onCommand(IDC_REMOVE);
    } else if (key == 'A' && (GetKeyState(VK_CONTROL) & 0x8000)) {
        selectingAll_ = true;
        for (int row = 0; row < list_.rowCount(); ++row)
            ListView_SetItemState(list_.hwnd(), row, LVIS_SELECTED, LVIS_SELECTED);
        selectingAll_ = false;
    }
}

void DlgMain::onDestroy()
{
    unregisterDialogKeys(hwnd());
    profile_.setRect(u"", u"WState", outerRect(hwnd()));
    if (tooltip_) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
}

void DlgMain::onFinalMessage()
{
    storeComponentAltNames(profile_);
    delete this;
}

bool DlgMain::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return false;
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(hwnd());
            return true;
        }
        onCommand(LOWORD(wParam));
        return true;
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr->idFrom == IDC_MAIN_LIST && hdr->hwndFrom == list_.hwnd()) return onListNotify(hdr);
        if (hdr->idFrom == IDC_MAIN_TABS && hdr->code == TCN_SELCHANGE) {
            tabs_.show(tabs_.selected());
            return true;
        }
        return false;
    }
    case SettingsClosedMessage:
        onSettingsClosed(wParam);
        return true;
    case WM_SIZE:
        tabs_.place();
        return false;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != aboutMenuCommand) return false;
        showAbout();
        return true;
    case WM_SETCURSOR:
        relayToTooltip(reinterpret_cast<HWND>(wParam), HIWORD(lParam));
        return false;
    case WM_DESTROY:
        onDestroy();
        return false;
    default:
        return false;
    }
}

// ChromatogramSetViews: the set's view of the list and the pages.

void DlgMain::appendRow(std::int32_t assayId)
{
    if (!quietList_) quietList_.emplace(list_);
    const int row = list_.appendRow();
    list_.setRowValue(row, assayId);
    const auto cells = set_.rowTexts(assayId, row);
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) list_.setCellText(row, c, cells[c]);
}

void DlgMain::clearRows()
{
    if (!quietList_) quietList_.emplace(list_);
    list_.deleteAllRows();
}

void DlgMain::selectLastRow()
{
    const int last = list_.rowCount() - 1;
    list_.clearSelection();
    if (last < 0) return;
    list_.selectRow(last, true);  // the grid's GRIDN_ROWSELECTED selects the assay
    list_.ensureVisible(last);
    list_.clearSelection();
}

void DlgMain::showPeaks(const Chromatogram& chromatogram)
{
    componentsPage_.showPeaks(chromatogram);
}

void DlgMain::clearPeaks()
{
    componentsPage_.clear();
}

void DlgMain::setGraduation(const std::vector<CalibrationSeries>& series,
                            const std::map<std::u16string, double>& componentValues)
{
    graduationPage_.setData(series, componentValues);
}

void DlgMain::refreshGraduation()
{
    graduationPage_.refresh();
}

void DlgMain::clearGraduation()
{
    graduationPage_.clear();
}

void DlgMain::setResults(const std::vector<ComponentResult>& results)
{
    calculationPage_.setResults(results);
}

void DlgMain::refreshResults()
{
    calculationPage_.refresh();
}

void DlgMain::clearResults()
{
    calculationPage_.clearView();
}

void DlgMain::refreshMessages()
{
    messagesPage_.refresh();
}

void DlgMain::clearMessageView()
{
    messagesPage_.clearView();
}

} // namespace norvalt
