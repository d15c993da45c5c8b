#pragma once
// The module's main window (template 101): the chromatogram list (grid 1002)
// with its eight command buttons to the left and the four result pages in
// the tab control 1007 below it. It owns the determination under work (the
// message list, then the chromatogram set) and turns button presses and list
// notifications into the set's commands; the set drives the list and pages
// back through ChromatogramSetViews. Modeless and resizable: the list takes
// all of the change in width and half of the change in height, the tabs the
// rest. Its rectangle and the components' alternative names live in the
// host's profile; closing (OK, Cancel, the close box) destroys the window
// and the object, and the next one starts empty.
//
// Decided here:
// - The runtime's character-type locale is left alone: case mapping and
//   character classes of Cyrillic names come from the module's own Unicode
//   tables, and a plug-in that calls setlocale changes the host's locale.
// - The message list is a member declared before the set and made the
//   module's current list for the window's life (message_list.h); the
//   Messages page only shows it.
// - A settings dialog still open when the window closes goes with it,
//   storing its rectangle and tab as its own closing does.
// - The list does not draw while a command rebuilds it (see quietList_).
// - A failure of a command that is no database error (those the set tells
//   itself) reaches the dialog procedure's edge guard and is told there
//   (string 202); the window stays open and the set keeps what it had.
#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "calc/message_list.h"
#include "controls/grid_ctrl.h"
#include "host/host_services.h"
#include "host/profile_settings.h"
#include "report/report_job.h"
#include "ui/calculation_tab.h"
#include "ui/components_tab.h"
#include "ui/dialog_base.h"
#include "ui/graduation_tab.h"
#include "ui/messages_tab.h"
#include "ui/owned_icon.h"
#include "ui/tab_pages.h"
#include "workset/chromatogram_set.h"

namespace norvalt {

class DlgMain : public DialogBase, public ChromatogramSetViews {
public:
    // The system-menu command of the about box; 16 to 31 all open it.
    static constexpr UINT aboutMenuCommand = 16;
    // " 1.0.1.0", appended to the template's caption.
    static const char16_t versionSuffix[];

    // The main window, created owned by `owner` (hidden until shown); null
    // when its window cannot be made.
    static DlgMain* create(HWND owner, Host host);
    // The one that exists, or null.
    static DlgMain* current();

    ChromatogramSet& set() { return set_; }
    MessageList& messages() { return messages_; }
    CGridCtrl& list() { return list_; }
    TabPages& tabs() { return tabs_; }
    ComponentsTab& componentsPage() { return componentsPage_; }
    GraduationTab& graduationPage() { return graduationPage_; }
    CalculationTab& calculationPage() { return calculationPage_; }
    MessagesTab& messagesPage() { return messagesPage_; }
    bool settingsOpen() const { return settingsOpen_; }

    // What the report command does with the HTML file it wrote (the
    // shell's "open" unless a host or a test says otherwise).
    static void setReportOpener(ReportOpener opener);

    // ChromatogramSetViews.
    void appendRow(std::int32_t assayId) override;
    void clearRows() override;
    void selectLastRow() override;
    void showPeaks(const Chromatogram& chromatogram) override;
    void clearPeaks() override;
    void setGraduation(const std::vector<CalibrationSeries>& series,
                       const std::map<std::u16string, double>& componentValues) override;
    void refreshGraduation() override;
    void clearGraduation() override;
    void setResults(const std::vector<ComponentResult>& results) override;
    void refreshResults() override;
    void clearResults() override;
    void refreshMessages() override;
    void clearMessageView() override;
    NoticeOwner noticeOwner() const override { return {hwnd()}; }

protected:
    bool onInitDialog() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void onFinalMessage() override;

private:
    explicit DlgMain(Host host);
    ~DlgMain() override;

    void onCommand(int id);
    bool onListNotify(const NMHDR* hdr);
    void onListKey(WORD key);
    void onSettingsClosed(WPARAM how);
    void onDestroy();
    void showAbout();
    void makeReport();
    void openSettings();
    void createButtons();
    void createTooltips();
    void relayToTooltip(HWND under, UINT mouseMessage);
    std::vector<std::int32_t> selectedIds() const;

    Host host_;
    ProfileSettings profile_;
    MessageList messages_;
    CurrentMessageList currentMessages_{messages_};
    CGridCtrl list_;
    // The list does not draw while a command rebuilds it (the first row
    // appended or the list emptied turns it off, the end of the command on):
    // a list view that draws every row it is given takes seconds for 256.
    std::optional<CGridCtrl::RedrawOff> quietList_;
    HWND tooltip_ = nullptr;
    std::array<OwnedIcon, 8> buttonIcons_;
    TabPages tabs_;
    ComponentsTab componentsPage_;
    GraduationTab graduationPage_;
    CalculationTab calculationPage_;
    MessagesTab messagesPage_{messages_};
    ChromatogramSet set_;
    bool settingsOpen_ = false;
    bool selectingAll_ = false;
};

} // namespace norvalt
