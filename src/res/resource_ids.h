#pragma once
// Ids of the module's resources: dialog templates, their controls, icons and
// the manifest. Read by the resource compiler as well as by C++, so plain
// #defines; string ids are in text/string_table.h.

// Dialog templates.
#define IDD_MAIN 101
#define IDD_ABOUT 103
#define IDD_LIST_PAGE 108      // one list view filling the page
#define IDD_MESSAGES_PAGE 109  // one list box filling the page
#define IDD_SETTINGS 114
#define IDD_GRADUATION_PAGE 116

// Icons.
#define IDI_APP 102
#define IDI_ADD 104
#define IDI_REMOVE 105
#define IDI_REMOVE_ALL 106
#define IDI_OPEN 107
#define IDI_RELOAD 111
#define IDI_SETTINGS 112
#define IDI_REPORT 117
#define IDI_ABOUT 119

// The manifest that gives the module's windows Common Controls 6; a DLL's
// manifest under this id is found by CreateActCtx but never applied by
// itself.
#define IDR_MANIFEST 2

// Controls, by template.
#define IDC_ABOUT_ICON 1001     // 103
#define IDC_MAIN_LIST 1002      // 101
#define IDC_ADD 1003            // 101
#define IDC_REMOVE 1004         // 101
#define IDC_REMOVE_ALL 1005     // 101
#define IDC_OPEN 1006           // 101
#define IDC_MAIN_TABS 1007      // 101
#define IDC_PAGE_LIST 1008      // 108
#define IDC_RELOAD 1010         // 101
#define IDC_MESSAGES 1011       // 109
#define IDC_SETTINGS 1012       // 101
#define IDC_REPORT 1013         // 101
#define IDC_SETTINGS_TABS 1013  // 114
#define IDC_ABOUT 1014          // 101
#define IDC_GRAD_COMPONENT 1017 // 116
#define IDC_GRAD_TABLE 1018     // 116
#define IDC_GRAD_CHART 1019     // 116
#define IDC_WATER_MASS 1021     // 114
#define IDC_WATER_LABEL 1022    // 114
#define IDC_PERCENT_LABEL 1023  // 114

#ifndef RC_INVOKED
// Every dialog and icon the module loads, for the check that the compiled
// resources hold them.
inline constexpr int moduleDialogIds[] = {IDD_MAIN, IDD_ABOUT, IDD_LIST_PAGE, IDD_MESSAGES_PAGE, IDD_SETTINGS,
                                          IDD_GRADUATION_PAGE};
inline constexpr int moduleIconIds[] = {IDI_APP,    IDI_ADD,      IDI_REMOVE, IDI_REMOVE_ALL, IDI_OPEN,
                                        IDI_RELOAD, IDI_SETTINGS, IDI_REPORT, IDI_ABOUT};
#endif
