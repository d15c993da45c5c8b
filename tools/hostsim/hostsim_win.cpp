// hostsim: a stand-in for the chromatography data system that loads a
// plug-in DLL, offers it the whole service catalogue over a real main menu,
// an assay dialog and a profile file, and plays a script of actions, so
// that tests and the demo run the real plug-in without the real host.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "assay_dialog_win.h"
#include "host/local_host.h"
#include "host/plugin_records.h"
#include "host_menu_win.h"
#include "host_options.h"
#include "profile_file.h"
#include "sample_lab.h"
#include "text/format.h"
#include "text/utf.h"
#include "text/wide.h"
#include "window_shot_win.h"

namespace norvalt::hostsim {

namespace {

constexpr UINT exitCommand = 100;
constexpr UINT_PTR actionTimer = 1;
constexpr int exitUsage = 2;
constexpr int exitPlugin = 3;
constexpr int exitAction = 4;

const char* const catalogue[] = {
    service::GetLanguage,    service::CreateNewMenu,   service::OpenAssayIdDlg,   service::OpenAssayFile,
    service::GetConnectionUri, service::TemplatePath,  service::ProfileGetInt,    service::ProfileSetInt,
    service::ProfileGetString, service::ProfileSetString, service::ProfileGetDouble, service::ProfileSetDouble,
    service::ProfileGetRect, service::ProfileSetRect,
};

// An export found by name, as the function type it is known to have.
template <class Function>
Function exported(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

std::u16string windowText(HWND window)
{
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, wideBuffer(text), static_cast<int>(text.size()))));
    return text;
}

// A text for the log, its line breaks written as "\\n".
std::string oneLine(const std::u16string& text)
{
    std::string line;
    for (char c : utf16ToUtf8(text))
        line += c == '\n' ? std::string("\\n") : c == '\r' ? std::string() : std::string(1, c);
    return line;
}

std::filesystem::path pathOf(const std::u16string& text)
{
    return std::filesystem::path(toWide(text));
}

class Simulator {
public:
    explicit Simulator(Options options) : options_(std::move(options)) {}

    int run();
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void log(const std::string& line);
    void fail(const std::string& line);
    void offerServices();
    bool loadPlugin();
    void unloadPlugin();
    void quit();
    void pickMenuItem(UINT id);
    void runNextAction();
    void runAction(const Action& action);
    HWND moduleWindow() const;
    HWND control(const Action& action);

    Options options_;
    LocalHost local_;
    std::ofstream log_;
    HWND window_ = nullptr;
    HostMenu* menu_ = nullptr;
    HMODULE plugin_ = nullptr;
    UnloadFunction unload_ = nullptr;
    bool loaded_ = false;
    std::u16string dataBase_;
    std::size_t nextAnswer_ = 0;
    std::size_t nextAction_ = 0;
    std::u16string status_;
    int exitCode_ = 0;
};

Simulator* current = nullptr;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (current) return current->handle(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

void Simulator::log(const std::string& line)
{
    if (log_.is_open()) log_ << line << '\n' << std::flush;
}

void Simulator::fail(const std::string& line)
{
    log("error " + line);
    std::cerr << "hostsim: " << line << '\n';
    exitCode_ = exitAction;
}

void Simulator::offerServices()
{
    local_.setTrace([this](const std::string& line) { log(line); });
    local_.offerProfileStore();
    local_.offer(service::GetLanguage,
                 [this](HostArg, HostArg) -> HostResult { return options_.language.value_or(1049); });
    local_.offer(service::CreateNewMenu, [this](HostArg, HostArg second) -> HostResult {
        const auto* item = reinterpret_cast<const MenuItemRecord*>(second);
        if (!item || !item->menuPath || !item->serviceName) return 0;
        const std::u16string path(item->menuPath);
        if (!menu_->addItem(path, item->serviceName)) return 0;
        DrawMenuBar(window_);
        log("menu " + utf16ToUtf8(path) + " -> " + item->serviceName);
        return 1;
    });
    local_.offer(service::OpenAssayIdDlg, [this](HostArg capacity, HostArg buffer) -> HostResult {
        std::vector<std::int32_t> ids;
        if (options_.assaysScripted) {
            if (nextAnswer_ < options_.assays.size()) ids = options_.assays[nextAnswer_++];
        } else {
            ids = chooseAssays(window_, dataBase_);
        }
        const std::size_t n = std::min<std::size_t>(ids.size(), capacity > 0 ? static_cast<std::size_t>(capacity) : 0);
        if (buffer) std::copy_n(ids.begin(), n, reinterpret_cast<std::int32_t*>(buffer));
        std::string line = "assays";
        for (std::size_t i = 0; i < n; ++i) line += ' ' + std::to_string(ids[i]);
        log(line);
        return static_cast<HostResult>(n);
    });
    local_.offer(service::OpenAssayFile, [this](HostArg, HostArg path) -> HostResult {
        if (!path) return 0;
        status_ = u"Opened: " + std::u16string(reinterpret_cast<const char16_t*>(path));
        InvalidateRect(window_, nullptr, TRUE);
        log("open-file " + utf16ToUtf8(reinterpret_cast<const char16_t*>(path)));
        return 0;
    });
    local_.offer(service::GetConnectionUri,
                 [this](HostArg, HostArg) -> HostResult { return Host::arg(dataBase_.c_str()); });
    local_.offer(service::TemplatePath, [this](HostArg capacity, HostArg buffer) -> HostResult {
        if (!buffer || capacity <= 0) return 0;
        auto* out = reinterpret_cast<char16_t*>(buffer);
        const std::size_t n = std::min(options_.templates.size(), static_cast<std::size_t>(capacity) - 1);
        std::copy_n(options_.templates.begin(), n, out);
        out[n] = 0;
        return 0;
    });
    for (const std::string& name : options_.without)
        local_.withdraw(name);
}

bool Simulator::loadPlugin()
{
    std::u16string path = options_.plugin;
    if (path.empty()) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        path = fromWide((pathOf(std::u16string(fromWide(self))).parent_path() / L"norvalt.dll").wstring());
    }
    plugin_ = LoadLibraryW(wide(path));
    if (!plugin_) {
        const DWORD error = GetLastError();
        std::cerr << "hostsim: cannot load " << utf16ToUtf8(path) << " (error " << error << ")\n";
        return false;
    }
    auto getInfo = exported<GetPluginInfoFunction>(plugin_, "GetPluginInfo");
    auto load = exported<LoadFunction>(plugin_, "Load");
    unload_ = exported<UnloadFunction>(plugin_, "Unload");
    if (!getInfo || !load || !unload_) {
        std::cerr << "hostsim: " << utf16ToUtf8(path) << " does not export GetPluginInfo, Load and Unload\n";
        return false;
    }
    // The host reads the record before it loads the plug-in.
    if (const PluginInfo* info = getInfo()) {
        char version[16];
        std::snprintf(version, sizeof version, "0x%08X", static_cast<unsigned>(info->version));
        log("info " + utf16ToUtf8(info->name ? info->name : u"") + ' ' + version + " size " +
            std::to_string(info->structSize));
        SetWindowTextW(window_, wide(u"hostsim \u2014 " + std::u16string(info->name ? info->name : u"")));
    }
    log("load " + std::to_string(load(local_.table())));
    loaded_ = true;
    if (!options_.skipModulesLoaded) {
        log("event System/ModulesLoaded");
        local_.raise(service::ModulesLoaded);
    }
    return true;
}

void Simulator::unloadPlugin()
{
    if (!loaded_) return;
    loaded_ = false;
    log("unload " + std::to_string(unload_()));
}

// As a host ends: the plug-in unloaded first, then the host's window with
// the windows it owns.
void Simulator::quit()
{
    KillTimer(window_, actionTimer);
    unloadPlugin();
    DestroyWindow(window_);
}

void Simulator::pickMenuItem(UINT id)
{
    const std::string* name = menu_->serviceOf(id);
    if (!name) return;
    HostServiceHandler handler = local_.registered(*name);
    log("menu-command " + *name + (handler ? "" : " (not registered)"));
    if (handler) handler(reinterpret_cast<HostArg>(window_));
}

struct WindowSearch {
    HWND host;
    HWND found = nullptr;
};

bool isModuleWindow(HWND w, HWND host)
{
    return w && w != host && IsWindowVisible(w) && (GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

BOOL CALLBACK firstModuleWindow(HWND w, LPARAM search)
{
    auto* s = reinterpret_cast<WindowSearch*>(search);
    if (!isModuleWindow(w, s->host)) return TRUE;
    s->found = w;
    return FALSE;
}

// The module's window that an action is meant for: the active one, or else
// the topmost captioned window of this thread that is not the host's.
HWND Simulator::moduleWindow() const
{
    WindowSearch search{window_};
    if (HWND active = GetActiveWindow(); isModuleWindow(active, window_)) return active;
    EnumThreadWindows(GetCurrentThreadId(), firstModuleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Simulator::control(const Action& action)
{
    HWND target = moduleWindow();
    HWND item = target ? GetDlgItem(target, action.number) : nullptr;
    if (!item) fail("no control " + std::to_string(action.number) + (target ? " in the module's window" : ": no module window"));
    return item;
}

void Simulator::runNextAction()
{
    if (nextAction_ >= options_.actions.size()) {
        quit();
        return;
    }
    // Advanced first: an action that opens a modal box lets later ones run
    // inside that box's message loop (to answer it).
    const Action action = options_.actions[nextAction_++];
    SetTimer(window_, actionTimer, action.kind == Action::Wait ? static_cast<UINT>(action.number) : 10, nullptr);
    runAction(action);
}

void Simulator::runAction(const Action& action)
{
    switch (action.kind) {
    case Action::Menu:
        log("action menu");
        if (const UINT id = menu_->firstItem()) pickMenuItem(id);
        else fail("no menu item of the plug-in");
        break;
    case Action::Wait:
        break;
    case Action::Command:
        log("action command " + std::to_string(action.number));
        if (HWND item = control(action))
            SendMessageW(GetParent(item), WM_COMMAND, MAKEWPARAM(action.number, BN_CLICKED), reinterpret_cast<LPARAM>(item));
        break;
    case Action::Select:
        log("action select " + std::to_string(action.number) + ' ' + std::to_string(action.row));
        if (HWND item = control(action)) {
            LVITEMW state{};
            state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            state.state = 0;
            SendMessageW(item, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
            if (action.row >= 0) {
                state.state = LVIS_SELECTED | LVIS_FOCUSED;
                SendMessageW(item, LVM_SETITEMSTATE, static_cast<WPARAM>(action.row), reinterpret_cast<LPARAM>(&state));
            }
            // As a click would, the list takes the keyboard focus.
            SetFocus(item);
        }
        break;
    case Action::Tab:
        log("action tab " + std::to_string(action.number) + ' ' + std::to_string(action.row));
        if (HWND item = control(action)) {
            // TCM_SETCURSEL tells nobody: the parent hears of it as of a click.
            SendMessageW(item, TCM_SETCURSEL, static_cast<WPARAM>(action.row), 0);
            NMHDR header{item, static_cast<UINT_PTR>(action.number), static_cast<UINT>(TCN_SELCHANGE)};
            SendMessageW(GetParent(item), WM_NOTIFY, static_cast<WPARAM>(action.number), reinterpret_cast<LPARAM>(&header));
        }
        break;
    case Action::Key: {
        log("action key " + std::to_string(action.number) + ((action.row & 1) ? " ctrl" : "") +
            ((action.row & 2) ? " shift" : ""));
        // Through the input queue, as a keyboard would: the message reaches
        // the focused window by this host's own message loop.
        std::vector<INPUT> inputs;
        auto key = [&inputs](WORD code, bool up) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = code;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        if (action.row & 1) key(VK_CONTROL, false);
        if (action.row & 2) key(VK_SHIFT, false);
        key(static_cast<WORD>(action.number), false);
        key(static_cast<WORD>(action.number), true);
        if (action.row & 2) key(VK_SHIFT, true);
        if (action.row & 1) key(VK_CONTROL, true);
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        break;
    }
    case Action::Focus: {
        HWND focus = GetFocus();
        wchar_t name[64] = {};
        if (focus) GetClassNameW(focus, name, 64);
        log("focus " + std::to_string(focus ? GetDlgCtrlID(focus) : 0) + ' ' + utf16ToUtf8(fromWide(name)));
        break;
    }
    case Action::HostFocus:
        log("action host-focus");
        SetForegroundWindow(window_);
        SetFocus(window_);
        break;
    case Action::Text:
        log("action text " + std::to_string(action.number) + ' ' + utf16ToUtf8(action.text));
        if (HWND item = control(action)) SetWindowTextW(item, wide(action.text));
        break;
    case Action::Close:
        log("action close");
        if (HWND target = moduleWindow()) {
            // What was closed: its class, caption and, for a message box, its text.
            wchar_t name[64] = {};
            GetClassNameW(target, name, 64);
            std::u16string text;
            if (HWND body = GetDlgItem(target, 0xFFFF)) text = windowText(body);
            log("closed " + utf16ToUtf8(fromWide(name)) + " '" + oneLine(windowText(target)) + "' '" + oneLine(text) +
                "'");
            SendMessageW(target, WM_CLOSE, 0, 0);
        } else {
            fail("no module window to close");
        }
        break;
    case Action::Count:
        if (HWND item = control(action)) {
            wchar_t name[64] = {};
            GetClassNameW(item, name, 64);
            const bool listBox = fromWide(name) == u"ListBox";
            const LRESULT n = SendMessageW(item, listBox ? LB_GETCOUNT : LVM_GETITEMCOUNT, 0, 0);
            const LRESULT selected = SendMessageW(item, listBox ? LB_GETSELCOUNT : LVM_GETSELECTEDCOUNT, 0, 0);
            log("count " + std::to_string(action.number) + ' ' + std::to_string(n) + " selected " +
                std::to_string(selected));
        }
        break;
    case Action::Shot: {
        log("action shot " + utf16ToUtf8(action.text));
        HWND target = moduleWindow();
        if (!saveWindowShot(target ? target : window_, action.text)) fail("cannot save " + utf16ToUtf8(action.text));
        break;
    }
    case Action::Unload:
        log("action unload");
        unloadPlugin();
        break;
    case Action::Quit:
        log("action quit");
        quit();
        break;
    }
}

LRESULT Simulator::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && LOWORD(wParam) == exitCommand) {
                quit();
                return 0;
            }
            if (HIWORD(wParam) == 0) pickMenuItem(LOWORD(wParam));
            return 0;
        case WM_TIMER:
            if (wParam == actionTimer) runNextAction();
            return 0;
        case WM_CLOSE:
            quit();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT r;
            GetClientRect(window, &r);
            InflateRect(&r, -12, -12);
            const std::u16string text = u"Stand-in host. The plug-in's commands are in the menu.\n\n" + status_;
            SetBkMode(dc, TRANSPARENT);
            DrawTextW(dc, wide(text), -1, &r, DT_LEFT | DT_TOP | DT_WORDBREAK);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(exitCode_);
            return 0;
        }
    } catch (const std::exception& failure) {
        fail(std::string("unexpected failure: ") + failure.what());
    } catch (...) {
        fail("unexpected failure");
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int Simulator::run()
{
    if (!options_.log.empty()) {
        log_.open(pathOf(options_.log), std::ios::binary | std::ios::trunc);
        if (!log_) {
            std::cerr << "hostsim: cannot write the log " << utf16ToUtf8(options_.log) << '\n';
            return exitUsage;
        }
    }
    for (const std::string& name : options_.without)
        if (std::none_of(std::begin(catalogue), std::end(catalogue), [&](const char* s) { return name == s; })) {
            std::cerr << "hostsim: --without: not a service of the catalogue: " << name << '\n';
            return exitUsage;
        }
    dataBase_ = options_.db;
    if (!options_.sampleLab.empty()) {
        try {
            dataBase_ = fromWide(writeSampleLab(pathOf(options_.sampleLab)).wstring());
        } catch (const std::exception& failure) {
            std::cerr << "hostsim: cannot write the sample laboratory: " << failure.what() << '\n';
            return exitUsage;
        }
    }
    if (!options_.profile.empty()) local_.profile() = readProfileFile(pathOf(options_.profile));

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"NorvaltHostSim";
    RegisterClassW(&windowClass);
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, exitCommand, L"Exit");
    AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(file), L"File");
    HostMenu menu(bar);
    menu_ = &menu;
    current = this;
    window_ = CreateWindowExW(0, windowClass.lpszClassName, L"hostsim", WS_OVERLAPPEDWINDOW, 20, 20, 900, 650,
                              nullptr, bar, windowClass.hInstance, nullptr);
    log("host-window " + std::to_string(reinterpret_cast<std::uintptr_t>(window_)));
    offerServices();
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    // The script starts before the plug-in does: a message box of its
    // start-up runs a message loop, in which the script can answer it.
    if (options_.scripted) SetTimer(window_, actionTimer, 10, nullptr);
    if (!loadPlugin()) {
        KillTimer(window_, actionTimer);
        DestroyWindow(window_);
        current = nullptr;
        return exitPlugin;
    }

    MSG message;
    int code = 0;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // The host's own keys, to show that a plug-in leaves them alone.
        if (message.message == WM_KEYDOWN && message.hwnd == window_)
            log("host-key " + std::to_string(message.wParam));
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    code = static_cast<int>(message.wParam);
    unloadPlugin();
    if (!options_.profile.empty() && !writeProfileFile(pathOf(options_.profile), local_.profile())) {
        std::cerr << "hostsim: cannot write the profile " << utf16ToUtf8(options_.profile) << '\n';
        code = exitUsage;
    }
    log("exit " + std::to_string(code));
    current = nullptr;
    return code;
}

} // namespace

} // namespace norvalt::hostsim

int main()
{
    using namespace norvalt::hostsim;
    try {
        int argc = 0;
        wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        std::vector<std::u16string> args;
        for (int i = 1; i < argc; ++i)
            args.push_back(norvalt::wideToUtf16(argv[i]));
        LocalFree(argv);
        if (args.size() == 1 && (args[0] == u"--help" || args[0] == u"-h")) {
            std::cout << usage;
            return 0;
        }
        std::string error;
        auto options = parseOptions(args, error);
        if (!options) {
            std::cerr << "hostsim: " << error << '\n' << usage;
            return exitUsage;
        }
        Simulator simulator(std::move(*options));
        return simulator.run();
    } catch (const std::exception& failure) {
        std::cerr << "hostsim: " << failure.what() << '\n';
        return 1;
    }
}
