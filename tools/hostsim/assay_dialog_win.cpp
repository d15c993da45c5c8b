#include "assay_dialog_win.h"

#include <cstring>

#include "data/database.h"
#include "text/format.h"
#include "text/utf.h"
#include "text/wide.h"

namespace norvalt::hostsim {

namespace {

constexpr int listId = 100;

// A dialog template in memory: the header, then each item DWORD-aligned.
class TemplateWriter {
public:
    void header(DWORD style, short items, short cx, short cy, std::u16string_view title)
    {
        DLGTEMPLATE t{};
        t.style = style | DS_SETFONT;
        t.cdit = items;
        t.cx = cx;
        t.cy = cy;
        put(&t, sizeof t);
        word(0);  // no menu
        word(0);  // the standard dialog class
        text(title);
        word(9);  // the font: 9 points
        text(u"Segoe UI");
    }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, std::u16string_view title)
    {
        while (bytes_.size() % 4) bytes_.push_back(0);
        DLGITEMTEMPLATE t{};
        t.style = style | WS_CHILD | WS_VISIBLE;
        t.x = x;
        t.y = y;
        t.cx = cx;
        t.cy = cy;
        t.id = id;
        put(&t, sizeof t);
        word(0xFFFF);
        word(classAtom);
        text(title);
        word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

private:
    void put(const void* p, std::size_t n)
    {
        const auto* b = static_cast<const unsigned char*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
    }
    void word(WORD w) { put(&w, sizeof w); }
    void text(std::u16string_view s)
    {
        for (char16_t c : s) word(c);
        word(0);
    }
    std::vector<unsigned char> bytes_;
};

struct Dialog {
    const std::u16string* dataBase;
    std::vector<std::int32_t> chosen;
};

void fill(HWND list, const std::u16string& dataBase)
{
    auto add = [list](const std::u16string& line, std::int32_t id) {
        const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(line)));
        SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), id);
    };
    try {
        DataBaseHandle handle;
        openDataBase(handle, dataBase);
        auto statement = prepareStatement(
            handle, u"SELECT id, ifnull(sample, ''), ifnull(filename, '') FROM [assay] WHERE isdeleted = 0 ORDER BY id;");
        readRows<std::int32_t, std::u16string, std::u16string>(
            statement, [&add](std::int32_t id, const std::u16string& sample, const std::u16string& file) {
                add(format(u"%d\t%s\t%s", id, sample, file), id);
            });
    } catch (const std::exception& failure) {
        add(u"Cannot read the database: " + utf8ToUtf16(failure.what()), -1);
    }
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        auto* state = reinterpret_cast<Dialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            fill(GetDlgItem(dialog, listId), *reinterpret_cast<Dialog*>(lParam)->dataBase);
            return TRUE;
        }
        if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
            if (LOWORD(wParam) == IDOK) {
                HWND list = GetDlgItem(dialog, listId);
                const auto count = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
                std::vector<int> rows(static_cast<std::size_t>(count > 0 ? count : 0));
                if (!rows.empty()) SendMessageW(list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
                for (int row : rows) {
                    const auto id = static_cast<std::int32_t>(SendMessageW(list, LB_GETITEMDATA, row, 0));
                    if (id >= 0) state->chosen.push_back(id);
                }
            }
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
    } catch (...) {
        EndDialog(dialog, IDCANCEL);
    }
    return FALSE;
}

} // namespace

std::vector<std::int32_t> chooseAssays(HWND owner, const std::u16string& dataBase)
{
    TemplateWriter t;
    t.header(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 3, 300, 200, u"Select assays");
    t.item(LBS_EXTENDEDSEL | LBS_USETABSTOPS | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 7, 286, 166, listId, 0x0083, u"");
    t.item(BS_DEFPUSHBUTTON | WS_TABSTOP, 186, 179, 50, 14, IDOK, 0x0080, u"OK");
    t.item(BS_PUSHBUTTON | WS_TABSTOP, 243, 179, 50, 14, IDCANCEL, 0x0080, u"Cancel");
    Dialog state{&dataBase, {}};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner, dialogProc, reinterpret_cast<LPARAM>(&state));
    return state.chosen;
}

} // namespace norvalt::hostsim
