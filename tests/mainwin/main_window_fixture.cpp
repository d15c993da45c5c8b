#include "main_window_fixture.h"

#include <algorithm>

#include "data/database.h"
#include "host/host_services.h"
#include "sample_lab.h"
#include "ui/dlg_main.h"
#include "workset/module_settings.h"

namespace norvalt::test {

const std::filesystem::path& sampleLabDatabase()
{
    static const std::filesystem::path path =
        writeSampleLab(std::filesystem::temp_directory_path() / "norvalt-main-window-lab");
    return path;
}

std::u16string templateFolder()
{
    // Wine shows the Linux root as drive Z:.
    std::u16string folder = u"Z:";
    for (const char c : std::string(NORVALT_TEMPLATES)) folder.push_back(c == '/' ? u'\\' : static_cast<char16_t>(c));
    return folder;
}

StandInHost::StandInHost()
{
    local.offerProfileStore();
    setModuleProfilePrefix();
    // The laboratory's water mass fraction; without one no determination runs.
    local.profile()[u"plugins\\kestrin\\Settings/WaterMass"] = u"0.08";
    setHostServices(local.table());
    connection().uri = sampleLabDatabase().u16string();
    local.offer(service::OpenAssayIdDlg, [this](HostArg capacity, HostArg buffer) -> HostResult {
        ++dialogCalls;
        if (duringDialog) duringDialog();
        if (dialogAnswers.empty()) return 0;
        const std::vector<std::int32_t> ids = dialogAnswers.front();
        dialogAnswers.erase(dialogAnswers.begin());
        const std::size_t n = std::min<std::size_t>(ids.size(), static_cast<std::size_t>(capacity));
        std::copy_n(ids.begin(), n, reinterpret_cast<std::int32_t*>(buffer));
        return static_cast<HostResult>(n);
    });
    local.offer(service::OpenAssayFile, [this](HostArg, HostArg file) -> HostResult {
        openedFiles.emplace_back(reinterpret_cast<const char16_t*>(file));
        return 1;
    });
    local.offer(service::TemplatePath, [](HostArg capacity, HostArg buffer) -> HostResult {
        const std::u16string folder = templateFolder();
        const std::size_t n = std::min<std::size_t>(folder.size(), static_cast<std::size_t>(capacity) - 1);
        std::copy_n(folder.begin(), n, reinterpret_cast<char16_t*>(buffer));
        return 1;
    });
    DlgMain::setReportOpener([this](const std::u16string& path) { reports.push_back(path); });
}

StandInHost::~StandInHost()
{
    if (DlgMain* window = DlgMain::current()) DestroyWindow(window->hwnd());
    DlgMain::setReportOpener(nullptr);
    setHostServices(nullptr);
    setProfilePrefix(u"");
}

HWND mainWindow()
{
    DlgMain* window = DlgMain::current();
    return window ? window->hwnd() : nullptr;
}

void pressButton(HWND window, int id)
{
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

} // namespace norvalt::test
