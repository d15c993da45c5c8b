#pragma once
// The stand-in host's command line: what it offers the plug-in and the
// script of actions it plays, so that tests and the demo drive a real
// plug-in DLL without anyone at the keyboard.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace norvalt::hostsim {

// One step of the script, run from the host's message loop in order.
struct Action {
    enum Kind {
        Menu,     // pick the plug-in's first menu item, as the user would
        Wait,     // let the message loop run for `number` milliseconds
        Command,  // BN_CLICKED of control `number` to the module's top window
        Select,   // select row `row` (-1: none) of list control `number` there and focus it
        Text,     // set the text of control `number` there
        Tab,      // select page `row` of tab control `number` there, as a click would
        Key,      // press and release key `number` (a virtual-key code) through the input queue,
                  // with Ctrl (row & 1) and Shift (row & 2) held
        Focus,    // log the id and class of the window that has the keyboard focus
        HostFocus,  // give the keyboard focus to the host's own window
        Close,    // WM_CLOSE to the module's top window (a message box too)
        Count,    // log the number of rows of list control `number` there, and of selected ones
        Shot,     // save the module's top window as a 24-bit BMP file `text`
        Unload,   // call the plug-in's Unload now
        Quit,     // end the host
    };
    Kind kind = Quit;
    int number = 0;
    int row = 0;
    std::u16string text;
};

struct Options {
    std::u16string plugin;                    // the DLL; default norvalt.dll beside the host
    std::u16string db;                        // "DB/GetConnectionUri"
    std::u16string sampleLab;                 // a folder to write the sample laboratory into, then use its db
    std::u16string templates;                 // "Cfg/TemplatePath"
    std::optional<std::int32_t> language;     // "System/GetLanguage"; 1049 when not given
    std::set<std::string> without;            // services the host does not offer
    std::vector<std::vector<std::int32_t>> assays;  // the answers of successive "Main/OpenAssayIdDlg" calls
    bool assaysScripted = false;              // false: the real assay dialog
    std::u16string profile;                   // the profile store's file
    std::u16string log;                       // one line per call, event and action
    std::vector<Action> actions;
    bool scripted = false;                    // false: the user drives the host until it is closed
    bool skipModulesLoaded = false;           // never raise "System/ModulesLoaded"
};

// Parses the arguments after the program's name; a message in `error` and
// nullopt for a bad command line.
std::optional<Options> parseOptions(const std::vector<std::u16string>& args, std::string& error);

extern const char* const usage;

} // namespace norvalt::hostsim
