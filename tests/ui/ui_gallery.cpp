// Shows every window of this floor with sample data, side by side on the
// screen, for a screenshot: the three result pages, each in a tab control as
// the main window holds them, and the settings dialog; with "templates" as
// the second argument, the bare templates of the main window, the about box
// and the graduation page instead. Ends after the number of seconds given
// (default 20).
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string_view>

#include "calc/components.h"
#include "host/local_host.h"
#include "res/resource_ids.h"
#include "text/string_table.h"
#include "text/wide.h"
#include "ui/calculation_tab.h"
#include "ui/common_controls_scope.h"
#include "ui/components_tab.h"
#include "ui/messages_tab.h"
#include "ui/resource_module.h"
#include "ui/settings_dlg.h"
#include "ui/tab_pages.h"
#include "workset/module_settings.h"

using namespace norvalt;

namespace {

Peak peak(const char16_t* name, double time, double area)
{
    Peak p;
    p.name = name;
    p.time = time;
    p.area = area;
    return p;
}

HWND frame(const wchar_t* title, int x, int y, int width, int height)
{
    static const bool registered = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = DefWindowProcW;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"NorvaltGalleryFrame";
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        return RegisterClassW(&c) != 0;
    }();
    (void)registered;
    return CreateWindowExW(0, L"NorvaltGalleryFrame", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// A tab control filling the frame, holding one page.
HWND tabsIn(HWND frameWindow)
{
    CommonControlsScope scope;
    RECT client{};
    GetClientRect(frameWindow, &client);
    const HWND tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 4, 4,
                                      client.right - 8, client.bottom - 8, frameWindow, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return tabs;
}

INT_PTR CALLBACK bareDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

HWND bareDialog(int templateId, HWND parent, int x, int y)
{
    CommonControlsScope scope;
    const HWND dialog = CreateDialogParamW(resourceModule(), MAKEINTRESOURCEW(templateId), parent, bareDialogProc, 0);
    SetWindowPos(dialog, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    return dialog;
}

void pumpFor(int seconds)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
}

// The templates as the resource compiler made them, with the icons set on
// the buttons as the main window does, to see their layout.
void showTemplates(int seconds)
{
    const HWND main = bareDialog(IDD_MAIN, nullptr, 0, 0);
    const int buttons[][2] = {{IDC_ADD, IDI_ADD},         {IDC_REMOVE, IDI_REMOVE}, {IDC_REMOVE_ALL, IDI_REMOVE_ALL},
                              {IDC_OPEN, IDI_OPEN},       {IDC_RELOAD, IDI_RELOAD}, {IDC_SETTINGS, IDI_SETTINGS},
                              {IDC_REPORT, IDI_REPORT},   {IDC_ABOUT, IDI_ABOUT}};
    for (const auto& b : buttons) {
        const auto icon = LoadImageW(resourceModule(), MAKEINTRESOURCEW(b[1]), IMAGE_ICON, 16, 16, LR_SHARED);
        SendDlgItemMessageW(main, b[0], BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
    const HWND about = bareDialog(IDD_ABOUT, main, 0, 560);
    const auto large = LoadImageW(resourceModule(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 80, 80, LR_SHARED);
    SendDlgItemMessageW(about, IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(large), 0);
    const HWND graduationFrame = frame(L"", 460, 560, 620, 260);
    const HWND graduation = bareDialog(IDD_GRADUATION_PAGE, graduationFrame, 0, 0);
    SetWindowPos(graduation, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    pumpFor(seconds);
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    if (argc > 2 && std::string_view(argv[2]) == "templates") {
        showTemplates(seconds);
        return 0;
    }
    LocalHost host;
    host.offerProfileStore();
    setModuleProfilePrefix();
    host.profile()[u"plugins\\kestrin\\Settings/WaterMass"] = u"0.125";
    const char16_t* names[] = {u"ЭГ", u"ДЭГ", u"ТЭГ", u"Вода", u"Нонанол-1", u"Бензиловый спирт"};
    for (std::int32_t id = 0; id < 6; ++id) setComponentAltName(id, names[id]);

    Chromatogram chromatogram;
    chromatogram.peaks = {peak(u"Вода", 0.85, 0.412), peak(u"ЭГ", 3.12, 1520.337), peak(u"Нонанол-1", 5.47, 98.204),
                          peak(u"ДЭГ", 7.93, 0.731), peak(u"", 9.4, 0.018), peak(u"ТЭГ", 12.05, 0.122)};
    MessageList messages;
    messages.addMessage(MessageLevel::Error, u"Количество анализируемых хроматограмм должно быть не менее 2 "
                                             u"(п.7.3.4 ГОСТ 19710—2019)");
    messages.addMessage(MessageLevel::Warning, u"В хроматограмме 'ЭГ-0412.chr' пик без имени на 9.40 мин");
    messages.addMessage(MessageLevel::Information, u"Градуировка: 3 хроматограммы, смеси ГС-1 и ГС-2");

    ComponentsTab components;
    CalculationTab calculation;
    MessagesTab messagesPage(messages);
    struct Shown {
        HWND frame;
        HWND tabs;
        TabPages pages;
    };
    Shown shown[3];
    const wchar_t* titles[] = {L"Компоненты", L"Рассчет", L"Сообщения"};
    const int ids[] = {IDS_TAB_COMPONENTS, IDS_TAB_CALCULATION, IDS_TAB_MESSAGES};
    for (int i = 0; i < 3; ++i) {
        shown[i].frame = frame(titles[i], i == 1 ? 640 : 0, i == 2 ? 330 : 0, 640, 320);
        shown[i].tabs = tabsIn(shown[i].frame);
        shown[i].pages.attach(shown[i].tabs);
    }
    shown[0].pages.add(loadString(ids[0]), components.create(shown[0].tabs));
    shown[1].pages.add(loadString(ids[1]), calculation.create(shown[1].tabs));
    shown[2].pages.add(loadString(ids[2]), messagesPage.create(shown[2].tabs));
    for (Shown& s : shown) s.pages.select(0);

    components.showPeaks(chromatogram);
    calculation.setResults({{u"Этиленгликоль", 99.812, true, 0.998},
                            {u"Диэтиленгликоль", 0.061, false, 0.0005},
                            {u"Триэтиленгликоль", 0.002, true, 0.0}});
    calculation.refresh();
    messagesPage.refresh();

    const HWND owner = frame(L"owner", 1080, 900, 200, 100);
    SettingsDlg* settings = SettingsDlg::open(owner, Host(host.table()));
    if (settings) SetWindowPos(settings->hwnd(), HWND_TOP, 600, 330, 0, 0, SWP_NOSIZE);

    pumpFor(seconds);
    if (settings) DestroyWindow(settings->hwnd());
    return 0;
}
