#pragma once
// A stand-in host for the main window: the profile store (with a water
// mass fraction of 0.08 %), the database of
// the sample laboratory, an assay dialog that answers with the ids a test
// gives, a record of the files the host was asked to open, the template
// folder of the source tree, and a record of the reports written.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/local_host.h"

namespace norvalt::test {

// The sample laboratory, written once per program into the temporary folder.
const std::filesystem::path& sampleLabDatabase();
// The template folder of the source tree as Windows names it.
std::u16string templateFolder();

class StandInHost {
public:
    StandInHost();
    ~StandInHost();

    LocalHost local;
    // What the next assay dialogs answer, one list per dialog; an empty
    // list (or none left) is a dialog closed without a choice.
    std::vector<std::vector<std::int32_t>> dialogAnswers;
    // Runs inside the dialog, while it is open (a nested command).
    std::function<void()> duringDialog;
    int dialogCalls = 0;
    std::vector<std::u16string> openedFiles;
    std::vector<std::u16string> reports;  // the HTML files the report command opened
};

// The main window (null when none exists), and a press of one of its buttons.
HWND mainWindow();
void pressButton(HWND window, int id);

} // namespace norvalt::test
