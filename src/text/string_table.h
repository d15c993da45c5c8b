#pragma once
// The module's texts by string-table id. The built-in table is Russian; a
// language module installs a lookup that is asked first.
#include <functional>
#include <optional>
#include <string>

namespace norvalt {

// The ids that code refers to by name; the table itself is
// src/res/strings_ru.inc.
enum StringId : int {
    IDS_MENU_PATH = 110,
    IDS_CAPTION = 111,
    IDS_KIND_GRAD1_NO_TEG = 112,
    IDS_KIND_GRAD1_WITH_TEG = 113,
    IDS_WATER_MASS_TITLE = 114,
    IDS_KI = 115,
    IDS_ABOUT_MENU = 116,
    IDS_TIP_ADD = 117,
    IDS_KIND_ANALYSIS1 = 118,
    IDS_KIND_GRAD2_NO_TEG = 119,
    IDS_KIND_GRAD2_WITH_TEG = 120,
    IDS_KIND_ANALYSIS2 = 121,
    IDS_KIND_UNDETERMINED = 122,
    IDS_TIP_REMOVE_SELECTED = 123,
    IDS_TIP_REMOVE_ALL = 124,
    IDS_TIP_OPEN = 125,
    IDS_TIP_RELOAD = 126,
    IDS_TIP_SETTINGS = 127,
    IDS_TIP_REPORT = 128,
    IDS_COL_FILE_NAME = 130,
    IDS_COL_SAMPLE = 131,
    IDS_COL_VOLUME = 132,
    IDS_COL_DATE = 133,
    IDS_COL_KIND = 134,
    IDS_COL_MIXTURE = 135,
    IDS_NO_TEMPLATE_SERVICE = 138,
    IDS_ERR_GRAD_NO_MIXTURE = 139,
    IDS_ERR_MIXTURE_NEEDS_EG_DEG = 140,
    IDS_ERR_CHROM_NEEDS_EG_DEG = 141,
    IDS_ERR_ANALYSIS_HAS_MIXTURE = 142,
    IDS_ERR_OPEN_FILE = 143,
    IDS_TAB_COMPONENTS = 144,
    IDS_TAB_GRADUATION = 145,
    IDS_TAB_CALCULATION = 146,
    IDS_TAB_MESSAGES = 147,
    IDS_COL_NAME = 148,
    IDS_COL_AREA = 149,
    IDS_COL_TIME = 150,
    IDS_COL_MASS_FRACTION = 151,
    IDS_COL_NORM = 152,
    IDS_COL_COMPLIES = 153,
    IDS_YES = 154,
    IDS_NO = 155,
    IDS_COL_GRAD_POINT = 156,
    IDS_COL_PEAK_AREA = 157,
    IDS_COL_CONCENTRATION = 158,
    IDS_MEAN = 159,
    IDS_HEAD_ERRORS = 160,
    IDS_HEAD_WARNINGS = 161,
    IDS_HEAD_INFORMATION = 162,
    IDS_ERR_NO_SELECTION = 163,
    IDS_ERR_SELECTED_NOT_ANALYSIS = 164,
    IDS_ERR_COLUMN_MISMATCH = 165,
    IDS_ERR_TEG_MIXED = 166,
    IDS_ERR_GRAD_COUNT = 167,
    IDS_ERR_MIXTURE_PAIRS = 168,
    IDS_ERR_ANALYSIS_COUNT = 169,
    IDS_ERR_WATER_MASS = 170,
    IDS_ERR_PEAK_NAMES = 171,
    IDS_COL_ALT_NAME = 172,
    IDS_COL_FORMULA = 173,
    IDS_ERR_REPORT = 174,
    IDS_ERR_REPORT_CODE = 175,
    IDS_ERR_TEMPLATE = 176,
    IDS_ERR_TEMPLATE_CODE = 177,
    IDS_TIP_ABOUT = 178,
    // The module's own texts beyond the host's numbering.
    IDS_ERR_DATABASE = 200,
    IDS_ERR_WATER_NOT_NUMBER = 201,
    IDS_ERR_AT_WINDOW_EDGE = 202,
};

// The text of `id` in the current language: the installed lookup's text if
// it has one, else the built-in Russian text, else an empty text.
std::u16string loadString(int id);

// The built-in Russian text, or nullopt for an id the table does not hold.
std::optional<std::u16string> builtinString(int id);

// Installs (or, with an empty function, removes) the lookup of a language
// module. It is asked first and may answer nullopt to fall back.
using StringLookup = std::function<std::optional<std::u16string>(int id)>;
void setStringLookup(StringLookup lookup);

} // namespace norvalt
